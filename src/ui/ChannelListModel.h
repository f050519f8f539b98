// The rows of the main window's service list: the texts of every service, taken from the image
// when the list is rebuilt and kept until the next rebuild (the list is a view, never edited).
#pragma once

#include "db/DbImage.h"

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <vector>

class QFontMetrics;

namespace tovu::ui {

inline constexpr int kChannelListColumnCount = 13;  // "No." and the twelve field columns

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
    std::vector<std::array<QString, kChannelListColumnCount>> rows_;
};

}  // namespace tovu::ui
