// The rows of the main window's service list: the texts of every service, taken from the image
// when the list is rebuilt and kept until the next rebuild (the list is a view, never edited).
#pragma once

#include "db/ChannelRecord.h"
#include "db/DbImage.h"

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <vector>

class QFontMetrics;

namespace tovu::ui {

inline constexpr int kChannelListColumnCount = 13;  // "No." and the twelve field columns

// Roles beside the texts: the key a column sorts by (a number for a text that starts with one,
// so numbers sort as numbers) and, in column 0, the text the filter looks in.
inline constexpr int kSortKeyRole = Qt::UserRole;
inline constexpr int kFilterTextRole = Qt::UserRole + 1;

// The text a column shows for a field of a service (names converted from the code page).
[[nodiscard]] QString fieldText(const ChannelRecord& record, unsigned field);

// The texts the filter looks in: Name, Service Id, Transponder Id, Original Net Id and Frequency
// as the list shows them, one per line, so that a match never spans two of them.
[[nodiscard]] QString filterText(const ChannelRecord& record);
// The filter texts of every service of the image, by channel index.
[[nodiscard]] std::vector<QString> filterTexts(const ChannelDbImage& image);

class ChannelListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ChannelListModel(QObject* parent = nullptr);

    // Replaces every row by the services of the image, in record order.
    void rebuild(const ChannelDbImage& image);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The width of the widest text of a column in the given font metrics.
    [[nodiscard]] int widestText(int column, const QFontMetrics& metrics) const;

    // Column widths in pixels, column 0 first.
    [[nodiscard]] static int columnWidth(int column);

private:
    struct Row {
        std::array<QString, kChannelListColumnCount> texts;
        QString filterText;
    };
    std::vector<Row> rows_;
};

}  // namespace tovu::ui
