#include "ui/ChannelListModel.h"

#include "db/FieldText.h"
#include "db/NameCodec.h"
#include "ui/EditorTexts.h"

#include <QFontMetrics>
#include <QSet>

#include <algorithm>

namespace tovu::ui {
namespace {

// The column titles and the words of the field texts, which the database library keeps in English
// (kdattool prints them so); the list shows them translated.
[[maybe_unused]] const char* const kFieldWords[] = {
    QT_TRANSLATE_NOOP("Channel", "No."),
    QT_TRANSLATE_NOOP("Channel", "Name"),
    QT_TRANSLATE_NOOP("Channel", "Service Id"),
    QT_TRANSLATE_NOOP("Channel", "Transponder Id"),
    QT_TRANSLATE_NOOP("Channel", "Original Net Id"),
    QT_TRANSLATE_NOOP("Channel", "Frequency"),
    QT_TRANSLATE_NOOP("Channel", "SymRate"),
    QT_TRANSLATE_NOOP("Channel", "Qam"),
    QT_TRANSLATE_NOOP("Channel", "Parent Lock"),
    QT_TRANSLATE_NOOP("Channel", "Audio Track"),
    QT_TRANSLATE_NOOP("Channel", "Subtitle"),
    QT_TRANSLATE_NOOP("Channel", "Descrambled"),
    QT_TRANSLATE_NOOP("Channel", "Prog type"),
    QT_TRANSLATE_NOOP("Channel", "Locked"),
    QT_TRANSLATE_NOOP("Channel", "UnLocked"),
    QT_TRANSLATE_NOOP("Channel", "Left"),
    QT_TRANSLATE_NOOP("Channel", "Right"),
    QT_TRANSLATE_NOOP("Channel", "Stereo"),
    QT_TRANSLATE_NOOP("Channel", "Mono"),
    QT_TRANSLATE_NOOP("Channel", "On"),
    QT_TRANSLATE_NOOP("Channel", "Off"),
    QT_TRANSLATE_NOOP("Channel", "Yes"),
    QT_TRANSLATE_NOOP("Channel", "No"),
    QT_TRANSLATE_NOOP("Channel", "TV"),
    QT_TRANSLATE_NOOP("Channel", "Radio"),
    QT_TRANSLATE_NOOP("Channel", "Unkownn"),
    QT_TRANSLATE_NOOP("Channel", "16QAM"),
    QT_TRANSLATE_NOOP("Channel", "32QAM"),
    QT_TRANSLATE_NOOP("Channel", "64QAM"),
    QT_TRANSLATE_NOOP("Channel", "128QAM"),
    QT_TRANSLATE_NOOP("Channel", "256QAM"),
    QT_TRANSLATE_NOOP("Channel", "Unknown QAM"),
};

const ChannelListColumn& columnAt(int column) {
    return column == 0 ? kNumberColumn : kChannelListColumns[column - 1];
}

// The number a text starts with ("474000 KHz", "64QAM"), or the text itself.
QVariant sortKey(const QString& text) {
    qsizetype digits = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    while (digits < text.size() && text[digits].isDigit()) ++digits;
    bool number = false;
    const qlonglong value = text.first(digits).toLongLong(&number);
    return number ? QVariant(value) : QVariant(text);
}

}  // namespace

ChannelListModel::ChannelListModel(QObject* parent) : QAbstractTableModel(parent) {}

QString fieldText(const ChannelRecord& record, unsigned field) {
    // Names are stored in the code page; the other texts are plain ASCII: numbers, a number and
    // its unit ("474000 KHz"), or a word.
    const std::string text = recordFieldText(record, field);
    switch (field) {
        case kFieldName: return QString::fromStdString(nameToUtf8(text));
        case kFieldServiceId:
        case kFieldTransponderId:
        case kFieldOriginalNetworkId: return QString::fromLatin1(text);
        case kFieldFrequency:
        case kFieldSymbolRate:
            return fieldWord(field == kFieldFrequency ? QT_TRANSLATE_NOOP("Channel", "%1 KHz")
                                                      : QT_TRANSLATE_NOOP("Channel", "%1 Kbs"))
                .arg(QString::fromLatin1(text.substr(0, text.find(' '))));
        default: return fieldWord(text.c_str());
    }
}

QString filterText(const ChannelRecord& record) {
    QString text;
    for (const unsigned field :
         {kFieldName, kFieldServiceId, kFieldTransponderId, kFieldOriginalNetworkId, kFieldFrequency})
        text += fieldText(record, field) + QLatin1Char('\n');
    return text;
}

std::vector<QString> filterTexts(const ChannelDbImage& image) {
    std::vector<QString> texts;
    for (int i = 0; i < channelCount(image); ++i) {
        ChannelRecord record;
        texts.push_back(getChannel(image, i, record) ? filterText(record) : QString());
    }
    return texts;
}

void ChannelListModel::rebuild(const ChannelDbImage& image) {
    beginResetModel();
    rows_.clear();
    const int n = channelCount(image);
    rows_.reserve(static_cast<size_t>(n > 0 ? n : 0));
    for (int i = 0; i < n; ++i) {
        auto& row = rows_.emplace_back();
        row.texts[0] = QString::number(i + 1);
        ChannelRecord record;
        if (!getChannel(image, i, record)) continue;
        for (int c = 1; c < kChannelListColumnCount; ++c)
            row.texts[static_cast<size_t>(c)] = fieldText(record, kChannelListColumns[c - 1].field);
        row.filterText = filterText(record);
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
    const Row& row = rows_[static_cast<size_t>(index.row())];
    const QString& text = row.texts[static_cast<size_t>(index.column())];
    switch (role) {
        case Qt::DisplayRole: return text;
        case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        case kFilterTextRole: return row.filterText;
        case kSortKeyRole: return sortKey(text);
        default: return {};
    }
}

QVariant ChannelListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kChannelListColumnCount) return {};
    if (role == Qt::DisplayRole) return fieldWord(columnAt(section).title);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

int ChannelListModel::widestText(int column, const QFontMetrics& metrics) const {
    if (column < 0 || column >= kChannelListColumnCount) return 0;
    // Most columns hold a handful of distinct texts; each is measured once.
    QSet<QString> seen;
    int widest = 0;
    for (const auto& row : rows_) {
        const QString& text = row.texts[static_cast<size_t>(column)];
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
