#include "ui/ChannelSortFilterProxy.h"

#include "ui/ChannelListModel.h"

namespace tovu::ui {

ChannelSortFilterProxy::ChannelSortFilterProxy(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(kSortKeyRole);
    setDynamicSortFilter(true);
    // The C locale's collation compares code points, which puts "Service 10" before "Service 9".
    if (QLocale().language() == QLocale::C) collator_ = QCollator(QLocale(QLocale::English));
    collator_.setNumericMode(true);
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

void ChannelSortFilterProxy::setFilterText(const QString& text) {
    if (text == filter_) return;
    filter_ = text;
    invalidateRowsFilter();
}

bool ChannelSortFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (filter_.isEmpty()) return true;
    const QModelIndex row = sourceModel()->index(sourceRow, 0, sourceParent);
    return row.data(kFilterTextRole).toString().contains(filter_, Qt::CaseInsensitive);
}

bool ChannelSortFilterProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const QVariant a = left.data(sortRole());
    const QVariant b = right.data(sortRole());
    const bool aNumber = a.typeId() == QMetaType::LongLong;
    const bool bNumber = b.typeId() == QMetaType::LongLong;
    // Numbers come before texts; equal keys keep record order (the sort is stable).
    if (aNumber != bNumber) return aNumber;
    if (aNumber) return a.toLongLong() < b.toLongLong();
    return collator_.compare(a.toString(), b.toString()) < 0;
}

}  // namespace tovu::ui
