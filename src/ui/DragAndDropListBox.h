// A list box with extended selection whose selected rows are moved by dragging them with the
// left mouse button. A marker line shows where the rows will go; beyond the top or bottom edge
// the list scrolls by itself, faster the further away the pointer is. The rows' texts and their
// attached values (Qt::UserRole) move together; the control never changes a text.
#pragma once

#include <QLine>
#include <QListWidget>
#include <QTimer>

#include <optional>
#include <vector>

namespace tovu::ui {

// Inserts index into the ascending list sel at its place, unless it is already there.
void insertSorted(std::vector<int>& sel, int index);

// The new row order when the selected rows (ascending) are moved as one block before row
// dropIndex (-1: after the last row); unsel holds the other rows, ascending. pos receives the
// row at which the block starts in the new order.
[[nodiscard]] std::vector<int> mergeOrder(const std::vector<int>& sel, const std::vector<int>& unsel,
                                          int dropIndex, int& pos);

// Auto-scroll interval in milliseconds for a pointer d whole row heights beyond the edge.
[[nodiscard]] constexpr int autoScrollInterval(int d) { return 250 / (d + 1); }

class CDragAndDropListBox : public QListWidget {
    Q_OBJECT

public:
    explicit CDragAndDropListBox(QWidget* parent = nullptr);

    // Drag state: the row the drag started on (-1: no drag possible), the marker position (the
    // row before which the block goes; -1 after the last row), whether a drag is under way and
    // the interval of the running auto-scroll timer (0 when none runs).
    [[nodiscard]] int dragIndex() const { return dragIndex_; }
    [[nodiscard]] int dropIndex() const { return dropIndex_; }
    [[nodiscard]] bool capturing() const { return capturing_; }
    [[nodiscard]] int scrollInterval() const { return scrollInterval_; }
    [[nodiscard]] bool scrollingDown() const { return scrollDownTimer_.isActive(); }
    [[nodiscard]] bool scrollingUp() const { return scrollUpTimer_.isActive(); }

    // Whether rows may be dragged (while some rows are hidden, they may not).
    void setRowsMovable(bool movable) { rowsMovable_ = movable; }
    [[nodiscard]] bool rowsMovable() const { return rowsMovable_; }

    // The marker line as the viewport draws it now (viewport coordinates), if one is shown.
    [[nodiscard]] std::optional<QLine> markerLine() const;

signals:
    // After every drop inside the control, whether rows moved or not: the selection-change
    // notification of the drag.
    void dropSelectionChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    [[nodiscard]] QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                                       const QEvent* event) const override;

private:
    void stopScrollTimers();
    void autoScroll(int y);
    void scrollStep(bool down);
    void markAt(QPoint point);
    void drawDropMarker(int target);
    void dropSelection();
    void moveSelection();

    int dragIndex_ = -1;
    int dropIndex_ = -1;
    bool capturing_ = false;
    int scrollInterval_ = 0;
    QTimer scrollDownTimer_;
    QTimer scrollUpTimer_;
    // A plain press on a row that is already selected keeps the selection, so that the block
    // can be dragged; a release on that row without a drag then selects the row alone.
    int deferredClickRow_ = -1;
    bool rowsMovable_ = true;
};

}  // namespace tovu::ui
