#include "ui/ChannelListModel.h"

#include "db/ChannelRecord.h"
#include "db/FieldText.h"
#include "db/NameCodec.h"

#include <QFontMetrics>
#include <QSet>

#include <algorithm>

namespace tovu::ui {
namespace {

const ChannelListColumn& columnAt(int column) {
    return column == 0 ? kNumberColumn : kChannelListColumns[column - 1];
}

}  // namespace

ChannelListModel::ChannelListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ChannelListModel::rebuild(const ChannelDbImage& image) {
    beginResetModel();
    rows_.clear();
    const int n = channelCount(image);
    rows_.reserve(static_cast<size_t>(n > 0 ? n : 0));
    // A field text is at most a 32-byte name and its NUL; the buffer is larger, as the list's
    // own buffer always was.
    char text[256];
    for (int i = 0; i < n; ++i) {
        auto& row = rows_.emplace_back();
        row[0] = QString::number(i + 1);
        for (int c = 1; c < kChannelListColumnCount; ++c) {
            text[0] = '\0';
            const unsigned field = kChannelListColumns[c - 1].field;
            if (!formatChannelField(image, i, text, field)) continue;
            // Names are stored in the code page; the other texts are plain ASCII.
            row[static_cast<size_t>(c)] = field == kFieldName
                                              ? QString::fromStdString(nameToUtf8(std::string_view(text)))
                                              : QString::fromLatin1(text);
        }
    }
    endResetModel();
}

int ChannelListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ChannelListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kChannelListColumnCount;
}

QVariant ChannelListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kChannelListColumnCount) return {};
    if (role == Qt::DisplayRole)
        return rows_[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())];
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

QVariant ChannelListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kChannelListColumnCount) return {};
    if (role == Qt::DisplayRole) return QString::fromLatin1(columnAt(section).title);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

int ChannelListModel::widestText(int column, const QFontMetrics& metrics) const {
    if (column < 0 || column >= kChannelListColumnCount) return 0;
    // Most columns hold a handful of distinct texts; each is measured once.
    QSet<QString> seen;
    int widest = 0;
    for (const auto& row : rows_) {
        const QString& text = row[static_cast<size_t>(column)];
        if (seen.contains(text)) continue;
        seen.insert(text);
        widest = std::max(widest, metrics.horizontalAdvance(text));
    }
    return widest;
}

int ChannelListModel::columnWidth(int column) {
    return (column >= 0 && column < kChannelListColumnCount) ? columnAt(column).width : 0;
}

}  // namespace tovu::ui
