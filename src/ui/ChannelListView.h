// The main window's service list: a table of the image's services that the user may filter and
// sort by a column, with columns that fit their texts. It is the one place where the view's rows
// are mapped to the records they show; everything outside speaks of records (channel indexes).
#pragma once

#include "db/DbImage.h"
#include "ui/ChannelListModel.h"

#include <QList>
#include <QTableView>

#include <array>

namespace tovu::ui {

class ChannelSortFilterProxy;

class ChannelListView final : public QTableView {
    Q_OBJECT
public:
    explicit ChannelListView(QWidget* parent = nullptr);

    // Replaces the rows by the image's services and fits the columns to their texts.
    void rebuild(const ChannelDbImage& image);
    // The number of services, shown or not.
    [[nodiscard]] int recordCount() const;

    // Selects the rows of the records that are shown, the first of them current and scrolled into
    // view. When the first is not shown, the shown record nearest to it in record order (the next
    // one, else the one before) is selected instead.
    void selectRecords(const QList<int>& records);
    // The records of the selected rows, lowest first.
    [[nodiscard]] QList<int> selectedRecords() const;
    // The record of the current row, or -1.
    [[nodiscard]] int currentRecord() const;

    void setFilterText(const QString& text);

    // The widths the user gave columns by dragging (0 for a column that fits its texts), column
    // 0 first; restoring takes widths of 8 to 4000 pixels and fits the other columns.
    [[nodiscard]] QList<int> userColumnWidths() const;
    void restoreUserColumnWidths(const QList<int>& widths);

    // The width of a cell that shows a text of the given width, and a column's present width.
    [[nodiscard]] int cellWidth(int textWidth) const;
    [[nodiscard]] int fittedWidth(int column) const { return widths_[static_cast<size_t>(column)]; }

protected:
    bool viewportEvent(QEvent* event) override;

private:
    [[nodiscard]] int recordOf(const QModelIndex& viewIndex) const;
    [[nodiscard]] QModelIndex viewIndexOf(int record) const;
    void fitColumns();
    void applyColumnWidths();

    ChannelListModel* model_ = nullptr;
    ChannelSortFilterProxy* proxy_ = nullptr;
    // Column widths: fitted to the texts, or as the user dragged them.
    std::array<int, kChannelListColumnCount> widths_{};
    std::array<bool, kChannelListColumnCount> userSized_{};
    bool applyingWidths_ = false;
};

}  // namespace tovu::ui
