// The service list as the view shows it: only the rows whose texts hold the filter text, in
// record order or sorted by one column (numbers as numbers, names in natural order). It is only
// a view; the records never move.
#pragma once

#include <QCollator>
#include <QSortFilterProxyModel>
#include <QString>

namespace tovu::ui {

class ChannelSortFilterProxy final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit ChannelSortFilterProxy(QObject* parent = nullptr);

    // Shows the rows whose filter text holds `text`, ignoring case; an empty text shows all.
    void setFilterText(const QString& text);
    [[nodiscard]] const QString& filterText() const { return filter_; }

protected:
    [[nodiscard]] bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    [[nodiscard]] bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QString filter_;
    QCollator collator_;
};

}  // namespace tovu::ui
