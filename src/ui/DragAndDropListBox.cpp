#include "ui/DragAndDropListBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace tovu::ui {

void insertSorted(std::vector<int>& sel, int index) {
    const auto at = std::lower_bound(sel.begin(), sel.end(), index);
    if (at == sel.end() || *at != index) sel.insert(at, index);
}

std::vector<int> mergeOrder(const std::vector<int>& sel, const std::vector<int>& unsel, int dropIndex,
                            int& pos) {
    if (dropIndex == -1) {
        pos = static_cast<int>(unsel.size());
    } else {
        const auto below = std::lower_bound(sel.begin(), sel.end(), dropIndex) - sel.begin();
        pos = std::clamp(dropIndex - static_cast<int>(below), 0, static_cast<int>(unsel.size()));
    }
    std::vector<int> order;
    order.reserve(sel.size() + unsel.size());
    order.insert(order.end(), unsel.begin(), unsel.begin() + pos);
    order.insert(order.end(), sel.begin(), sel.end());
    order.insert(order.end(), unsel.begin() + pos, unsel.end());
    return order;
}

CDragAndDropListBox::CDragAndDropListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The control moves rows itself; the view's own drag and drop stays off.
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setDragEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One scroll-bar step is one row, so a scroll step makes the next row the top row.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUniformItemSizes(true);
    connect(&scrollDownTimer_, &QTimer::timeout, this, [this] { scrollStep(true); });
    connect(&scrollUpTimer_, &QTimer::timeout, this, [this] { scrollStep(false); });
}

std::optional<QLine> CDragAndDropListBox::markerLine() const {
    const int n = count();
    if (!capturing_ || dragIndex_ < 0 || dropIndex_ == dragIndex_ || n == 0) return std::nullopt;
    const QRect client = viewport()->rect();
    if (dropIndex_ >= 0) {
        if (dropIndex_ >= n) return std::nullopt;
        const QRect row = visualItemRect(item(dropIndex_));
        if (!client.contains(row.topLeft())) return std::nullopt;
        return QLine(row.left(), row.top() + 1, row.right(), row.top() + 1);
    }
    // The end position: along the bottom edge of the last row.
    const QRect last = visualItemRect(item(n - 1));
    const int bottom = last.top() + last.height();
    if (!client.contains(QPoint(0, bottom))) return std::nullopt;
    return QLine(last.left(), bottom, last.right(), bottom);
}

QItemSelectionModel::SelectionFlags CDragAndDropListBox::selectionCommand(const QModelIndex& index,
                                                                          const QEvent* event) const {
    if (event && event->type() == QEvent::MouseButtonPress && deferredClickRow_ >= 0)
        return QItemSelectionModel::NoUpdate;
    if (event && event->type() == QEvent::MouseButtonRelease) {
        if (deferredClickRow_ >= 0 && index.isValid() && index.row() == deferredClickRow_)
            return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
        return QItemSelectionModel::NoUpdate;
    }
    return QListWidget::selectionCommand(index, event);
}

void CDragAndDropListBox::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const bool left = event->button() == Qt::LeftButton;
    deferredClickRow_ = -1;
    if (left && rowsMovable_ && !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) {
        const QModelIndex pressed = indexAt(point);
        if (pressed.isValid() && selectionModel()->isSelected(pressed)) deferredClickRow_ = pressed.row();
    }
    // The view's own selection handling, without its delayed scroll to the pressed row, which
    // would undo an auto-scroll during the drag.
    const bool viewAutoScroll = hasAutoScroll();
    setAutoScroll(false);
    QListWidget::mousePressEvent(event);
    setAutoScroll(viewAutoScroll);
    if (!left) return;

    stopScrollTimers();
    dragIndex_ = -1;
    dropIndex_ = -1;
    capturing_ = false;
    const QModelIndex hit = indexAt(point);
    if (hit.isValid() && rowsMovable_) dragIndex_ = hit.row();
}

void CDragAndDropListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // A press soon after the previous one arrives as a double click; it is a press all the
    // same, so it may start a drag.
    QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->scenePosition(),
                      event->globalPosition(), event->button(), event->buttons(), event->modifiers(),
                      event->pointingDevice());
    mousePressEvent(&press);
}

void CDragAndDropListBox::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || dragIndex_ == -1) {
        QListWidget::mouseMoveEvent(event);
        return;
    }
    // While a drag is armed the view's own drag selection stays out: the selection is the block
    // being moved. The button stays grabbed by the viewport until it is released.
    if (!capturing_) {
        capturing_ = true;
        deferredClickRow_ = -1;
    }
    const QPoint point = event->position().toPoint();
    if (viewport()->rect().contains(point)) {
        stopScrollTimers();
        markAt(point);
    } else {
        autoScroll(point.y());
    }
}

void CDragAndDropListBox::wheelEvent(QWheelEvent* event) {
    QListWidget::wheelEvent(event);
    // The rows moved under the pointer; the marker goes where the pointer points now.
    const QPoint point = event->position().toPoint();
    if (capturing_ && viewport()->rect().contains(point)) markAt(point);
}

void CDragAndDropListBox::markAt(QPoint point) {
    // A row under the pointer, or the end position below the last row. Rows scrolled out of
    // view lie outside the client area; they are never a target.
    const QModelIndex hit = indexAt(point);
    const int target = hit.isValid() ? hit.row() : -1;
    if (target != dropIndex_) drawDropMarker(target);
}

void CDragAndDropListBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool left = event->button() == Qt::LeftButton;
    if (left) {
        if (dragIndex_ != -1 && capturing_) {
            const QPoint point = event->position().toPoint();
            const bool inside = viewport()->rect().contains(point);
            // Below the list, auto-scrolled down to the end: the marker shown at the end
            // position is where the rows go.
            const bool atEndBelow =
                !inside && point.y() >= viewport()->height() && dropIndex_ == -1 && markerLine().has_value();
            stopScrollTimers();
            if (inside) markAt(point);
            capturing_ = false;
            if (inside || atEndBelow)
                dropSelection();
            else
                viewport()->update();
        }
        dragIndex_ = -1;
        dropIndex_ = -1;
    }
    QListWidget::mouseReleaseEvent(event);
    if (left) deferredClickRow_ = -1;
}

void CDragAndDropListBox::paintEvent(QPaintEvent* event) {
    QListWidget::paintEvent(event);
    if (const auto line = markerLine()) {
        QPainter painter(viewport());
        painter.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(*line);
    }
}

void CDragAndDropListBox::stopScrollTimers() {
    scrollDownTimer_.stop();
    scrollUpTimer_.stop();
    scrollInterval_ = 0;
}

void CDragAndDropListBox::autoScroll(int y) {
    const int h = viewport()->height();
    const int rowHeight = count() > 0 ? std::max(1, visualItemRect(item(0)).height()) : 1;
    const bool down = y > h;
    if (!down && y >= 0) {  // beside the control
        stopScrollTimers();
        return;
    }
    const int d = down ? (y - h) / rowHeight : (-y) / rowHeight;
    const int interval = autoScrollInterval(d);
    QTimer& timer = down ? scrollDownTimer_ : scrollUpTimer_;
    QTimer& other = down ? scrollUpTimer_ : scrollDownTimer_;
    // Restart only when the interval changes, or when the pointer crossed to the other edge
    // without passing over the control (the other timer must not go on scrolling).
    if (interval == scrollInterval_ && !other.isActive()) return;
    other.stop();
    scrollInterval_ = interval;
    timer.start(interval);
    scrollStep(down);
}

void CDragAndDropListBox::scrollStep(bool down) {
    // The marker moves one position per step and stays within rows 0..n-1 and the end
    // position: a step down from the end and a step up from row 0 keep it where it is.
    const int n = count();
    int target = dropIndex_;
    if (target < -1 || target >= n) target = -1;
    if (down) {
        if (target != -1) target = target + 1 < n ? target + 1 : -1;
    } else {
        if (target == -1)
            target = n - 1;
        else if (target > 0)
            target -= 1;
    }
    drawDropMarker(target);
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + (down ? 1 : -1));
}

void CDragAndDropListBox::drawDropMarker(int target) {
    // The marker is drawn by the viewport from the drag state; no marker shows at the drag row.
    dropIndex_ = target;
    viewport()->update();
}

void CDragAndDropListBox::dropSelection() {
    if (dragIndex_ != dropIndex_) {
        moveSelection();
        viewport()->update();
    }
    emit dropSelectionChanged();
}

void CDragAndDropListBox::moveSelection() {
    const int n = count();
    if (dragIndex_ < 0 || dragIndex_ >= n || dropIndex_ < -1 || dropIndex_ >= n) return;

    std::vector<int> sel;
    sel.reserve(static_cast<size_t>(n) + 1);
    for (int row = 0; row < n; ++row)
        if (item(row)->isSelected()) sel.push_back(row);
    insertSorted(sel, dragIndex_);
    item(dragIndex_)->setSelected(true);
    const int s = static_cast<int>(sel.size());

    std::vector<int> unsel;
    unsel.reserve(static_cast<size_t>(n));
    for (int row = 0; row < n; ++row)
        if (!item(row)->isSelected()) unsel.push_back(row);
    // Rows that do not add up leave the list as it is; nothing is lost.
    if (static_cast<int>(unsel.size()) != n - s) return;

    int pos = 0;
    const std::vector<int> order = mergeOrder(sel, unsel, dropIndex_, pos);
    struct Row {
        QString text;
        QVariant value;
    };
    std::vector<Row> rows;
    rows.reserve(order.size());
    for (const int from : order) rows.push_back({item(from)->text(), item(from)->data(Qt::UserRole)});

    // Emptying the list scrolls it to the top; the rows shown before the drop stay in view.
    const int top = verticalScrollBar()->value();
    clear();
    for (const Row& row : rows) {
        auto* moved = new QListWidgetItem(row.text);
        moved->setData(Qt::UserRole, row.value);
        addItem(moved);
    }
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(top);
    // The moved block stays selected, its first row the current one.
    selectionModel()->setCurrentIndex(model()->index(pos, 0), QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(model()->index(pos, 0), model()->index(pos + s - 1, 0)),
                             QItemSelectionModel::ClearAndSelect);
}

}  // namespace tovu::ui
