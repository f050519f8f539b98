#include "ui/ChannelListView.h"

#include "ui/ChannelSortFilterProxy.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QStyle>

#include <algorithm>

namespace tovu::ui {

ChannelListView::ChannelListView(QWidget* parent) : QTableView(parent) {
    model_ = new ChannelListModel(this);
    proxy_ = new ChannelSortFilterProxy(this);
    proxy_->setSourceModel(model_);
    setModel(proxy_);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView* header = horizontalHeader();
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setMinimumSectionSize(8);
    // A header click sorts by that column, the next one reverses, the third returns to record order.
    header->setSectionsClickable(true);
    header->setSortIndicatorClearable(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    setSortingEnabled(true);
    // The sort indicator takes room in its header.
    connect(header, &QHeaderView::sortIndicatorChanged, this, &ChannelListView::fitColumns);
    // A width the user drags stays; the other columns keep fitting their texts.
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (applyingWidths_ || column < 0 || column >= kChannelListColumnCount) return;
        userSized_[static_cast<size_t>(column)] = true;
        widths_[static_cast<size_t>(column)] = width;
        applyColumnWidths();
    });
    // The selection stays visible while the list has no focus.
    QPalette colors = palette();
    colors.setColor(QPalette::Inactive, QPalette::Highlight,
                    colors.color(QPalette::Active, QPalette::Highlight));
    colors.setColor(QPalette::Inactive, QPalette::HighlightedText,
                    colors.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colors);
    fitColumns();
}

void ChannelListView::rebuild(const ChannelDbImage& image) {
    model_->rebuild(image);
    fitColumns();
}

int ChannelListView::recordCount() const { return model_->rowCount(); }

int ChannelListView::recordOf(const QModelIndex& viewIndex) const {
    return viewIndex.isValid() ? proxy_->mapToSource(viewIndex).row() : -1;
}

QModelIndex ChannelListView::viewIndexOf(int record) const {
    return proxy_->mapFromSource(model_->index(record, 0));
}

void ChannelListView::selectRecords(const QList<int>& records) {
    const int n = recordCount();
    QItemSelection selection;
    QModelIndex first;
    for (const int record : records) {
        const QModelIndex index = viewIndexOf(record);
        if (!index.isValid()) continue;
        selection.select(index, index);
        if (!first.isValid()) first = index;
    }
    if (!first.isValid() && !records.isEmpty() && n > 0) {
        // The wanted row is filtered out: the nearest shown one in record order.
        const int wanted = std::clamp(records.first(), 0, n - 1);
        for (int record = wanted; record < n && !first.isValid(); ++record) first = viewIndexOf(record);
        for (int record = wanted - 1; record >= 0 && !first.isValid(); --record) first = viewIndexOf(record);
        if (first.isValid()) selection.select(first, first);
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (!first.isValid()) return;
    selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    scrollTo(first, QAbstractItemView::EnsureVisible);
}

QList<int> ChannelListView::selectedRecords() const {
    QList<int> records;
    for (const QModelIndex& index : selectionModel()->selectedRows()) records << recordOf(index);
    std::sort(records.begin(), records.end());
    return records;
}

int ChannelListView::currentRecord() const { return recordOf(currentIndex()); }

void ChannelListView::setFilterText(const QString& text) { proxy_->setFilterText(text); }

QList<int> ChannelListView::userColumnWidths() const {
    QList<int> out;
    for (int c = 0; c < kChannelListColumnCount; ++c)
        out << (userSized_[static_cast<size_t>(c)] ? widths_[static_cast<size_t>(c)] : 0);
    return out;
}

void ChannelListView::restoreUserColumnWidths(const QList<int>& widths) {
    if (widths.size() != kChannelListColumnCount) return;
    for (int c = 0; c < kChannelListColumnCount; ++c) {
        const bool sane = widths[c] >= 8 && widths[c] <= 4000;
        userSized_[static_cast<size_t>(c)] = sane;
        if (sane) widths_[static_cast<size_t>(c)] = widths[c];
    }
    fitColumns();
}

int ChannelListView::cellWidth(int textWidth) const {
    // The cell's text margins on both sides, as the view draws them, the grid line, and one pixel
    // for the fraction of a pixel that the rounded text width leaves out (the view elides a text
    // that is wider than its room by any fraction).
    return textWidth + 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 2;
}

void ChannelListView::fitColumns() {
    // Each column is as wide as its widest text, and at least as wide as its standard width.
    const QHeaderView* header = horizontalHeader();
    const QFontMetrics metrics = fontMetrics();
    for (int c = 0; c < kChannelListColumnCount; ++c) {
        if (userSized_[static_cast<size_t>(c)]) continue;
        widths_[static_cast<size_t>(c)] =
            std::max({ChannelListModel::columnWidth(c), cellWidth(model_->widestText(c, metrics)),
                      header->sectionSizeHint(c)});
    }
    applyColumnWidths();
}

void ChannelListView::applyColumnWidths() {
    constexpr size_t kName = 1;
    // Width the list has beyond what the columns need goes to the Name column, until the user
    // sizes that column himself.
    int others = 0;
    for (size_t c = 0; c < widths_.size(); ++c)
        if (c != kName) others += widths_[c];
    int name = widths_[kName];
    if (!userSized_[kName]) name = std::max(name, viewport()->width() - others);
    applyingWidths_ = true;
    for (size_t c = 0; c < widths_.size(); ++c)
        setColumnWidth(static_cast<int>(c), c == kName ? name : widths_[c]);
    applyingWidths_ = false;
}

bool ChannelListView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Resize) applyColumnWidths();
    return QTableView::viewportEvent(event);
}

}  // namespace tovu::ui
