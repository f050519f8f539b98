#include "ui/ResortDialog.h"

#include "db/ChannelRecord.h"
#include "db/FavLists.h"
#include "db/NameCodec.h"
#include "ui/ChannelListModel.h"
#include "ui/DragAndDropListBox.h"
#include "ui/EditorTexts.h"
#include "ui/FilterField.h"
#include "ui/UserPrompts.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tovu::ui {

namespace {

constexpr const char* kSelectToResort =
    QT_TRANSLATE_NOOP("tovu::ui::ResortDialog", "Please select the channel want to Resort!");
constexpr const char* kPositionTooSmall =
    QT_TRANSLATE_NOOP("tovu::ui::ResortDialog", "Please Input new position want to move to!");
constexpr const char* kPositionTooLarge =
    QT_TRANSLATE_NOOP("tovu::ui::ResortDialog", "New position vlaue must less than Channel Count!");
constexpr const char* kListUnreadable = QT_TRANSLATE_NOOP("tovu::ui::ResortDialog", "Fail..");
// The system's own message for a field that does not hold an integer.
constexpr const char* kNotAnInteger = QT_TRANSLATE_NOOP("tovu::ui::ResortDialog", "请键入一个整数。");

// The stored name of a favourite list, or an empty text.
QString storedListName(const ChannelDbImage& image, int listId) {
    uint8_t name[kListNameSize] = {};
    if (!getListName(image, listId, name, static_cast<int>(kListNameSize))) return {};
    return QString::fromStdString(nameToUtf8(name, kListNameSize));
}

}  // namespace

std::vector<ListChoice> buildListChoices(const ChannelDbImage& image) {
    std::vector<ListChoice> choices = {{kListTv, ResortDialog::tr("TV List")},
                                       {kListRadio, ResortDialog::tr("Radio List")},
                                       {kListData, ResortDialog::tr("Data List")}};
    for (int id = kListFirstDefault; id <= kListLastDefault; ++id) {
        const QString stored = storedListName(image, id);
        choices.push_back(
            {id, stored.isEmpty() ? ResortDialog::tr("Fav%1 List").arg(id - kListFirstDefault + 1) : stored});
    }
    int userIds[kUserFavCount] = {};
    int userCount = static_cast<int>(kUserFavCount);
    listUserLists(image, userIds, userCount);
    for (int k = 0; k < userCount; ++k) {
        const QString stored = storedListName(image, userIds[k]);
        choices.push_back(
            {userIds[k], stored.isEmpty() ? ResortDialog::tr("Fav%1 List").arg(6 + k) : stored});
    }
    return choices;
}

QString resortRowText(const ChannelDbImage& image, int position, uint16_t channel) {
    ChannelRecord record;
    // An entry that names no service (possible in a loaded file) shows its index instead.
    const QString name = getChannel(image, channel, record)
                             ? QString::fromStdString(nameToUtf8(record.name.data(), kNameSize))
                             : ResortDialog::tr("(no channel %1)").arg(channel);
    return QString::asprintf("%4d ", position) + name;
}

ResortDialog::ResortDialog(ChannelDbImage& image, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), image_(image), prompts_(prompts) {
    setWindowTitle(tr("Resort Channel List"));

    auto* label = new QLabel(sharedText(kChannelListLabel), this);
    listChoice_ = new QComboBox(this);
    listChoice_->setMinimumWidth(230);
    label->setBuddy(listChoice_);
    filter_ = new FilterField(this);
    rows_ = new CDragAndDropListBox(this);
    filter_->setList(rows_);
    rows_->setMinimumSize(410, 200);
    // Fixed-pitch, so that the right-aligned row numbers line up.
    rows_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    moveUp_ = new QPushButton(tr("Move Up"), this);
    moveDown_ = new QPushButton(tr("Move Down"), this);
    moveTo_ = new QPushButton(tr("Move To"), this);
    position_ = new QLineEdit(QStringLiteral("0"), this);
    position_->setMaximumWidth(50);
    save_ = new QPushButton(sharedText(kSaveChange), this);
    save_->setDefault(true);
    quit_ = new QPushButton(sharedText(kQuitWithoutSave), this);

    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(listChoice_);
    top->addStretch();
    auto* moves = new QHBoxLayout;
    moves->addWidget(moveUp_);
    moves->addWidget(moveDown_);
    moves->addWidget(moveTo_);
    moves->addWidget(position_);
    moves->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(save_);
    bottom->addStretch();
    bottom->addWidget(quit_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(filter_);
    layout->addWidget(rows_);
    layout->addLayout(moves);
    layout->addLayout(bottom);

    filterTexts_ = filterTexts(image_);
    choices_ = buildListChoices(image_);
    for (const ListChoice& choice : choices_) listChoice_->addItem(choice.name);
    workingCount_ = 0;
    listChoice_->setCurrentIndex(0);
    loadChosenList();

    connect(listChoice_, &QComboBox::currentIndexChanged, this, &ResortDialog::loadChosenList);
    connect(filter_, &QLineEdit::textChanged, this, &ResortDialog::applyFilter);
    connect(rows_, &CDragAndDropListBox::dropSelectionChanged, this, &ResortDialog::renumberRows);
    connect(moveUp_, &QPushButton::clicked, this, &ResortDialog::moveUp);
    connect(moveDown_, &QPushButton::clicked, this, &ResortDialog::moveDown);
    connect(moveTo_, &QPushButton::clicked, this, &ResortDialog::moveTo);
    connect(save_, &QPushButton::clicked, this, &ResortDialog::saveChange);
    connect(quit_, &QPushButton::clicked, this, &QDialog::reject);
}

void ResortDialog::showMessage(const QString& text) {
    prompts_.showMessage(this, text, QCoreApplication::applicationName(), MessageIcon::None);
}

void ResortDialog::applyFilter() {
    const bool filtering = !filter_->text().isEmpty();
    for (int row = 0; row < rows_->count(); ++row) {
        const auto channel = static_cast<size_t>(rows_->item(row)->data(Qt::UserRole).toInt());
        rows_->setRowHidden(
            row, channel < filterTexts_.size() ? !filter_->matches(filterTexts_[channel]) : filtering);
    }
    rows_->setRowsMovable(!filtering);
    moveUp_->setEnabled(!filtering);
    moveDown_->setEnabled(!filtering);
}

void ResortDialog::loadChosenList() {
    const int chosen = listChoice_->currentIndex();
    rows_->clear();
    workingCount_ = 0;
    if (chosen < 0 || chosen >= static_cast<int>(choices_.size())) return;
    int count = static_cast<int>(workingOrder_.size());
    if (!getListItems(image_, choices_[static_cast<size_t>(chosen)].listId, count, workingOrder_.data())) {
        // No rows are shown for a list that cannot be read, so nothing can be stored into it.
        showMessage(tr(kListUnreadable));
        return;
    }
    workingCount_ = count;
    rebuildRows();
}

void ResortDialog::takeOrderFromRows() {
    workingCount_ = std::min(rows_->count(), static_cast<int>(workingOrder_.size()));
    for (int i = 0; i < workingCount_; ++i)
        workingOrder_[static_cast<size_t>(i)] =
            static_cast<uint16_t>(rows_->item(i)->data(Qt::UserRole).toUInt());
}

void ResortDialog::renumberRows() {
    // Dropped rows keep their texts; every row shows its new position again, as Move To does.
    takeOrderFromRows();
    for (int i = 0; i < workingCount_; ++i) setRow(i);
}

void ResortDialog::setRow(int row) {
    const uint16_t channel = workingOrder_[static_cast<size_t>(row)];
    QListWidgetItem* item = rows_->item(row);
    item->setText(resortRowText(image_, row + 1, channel));
    item->setData(Qt::UserRole, static_cast<int>(channel));
}

void ResortDialog::rebuildRows() {
    rows_->clear();
    for (int i = 0; i < workingCount_; ++i) {
        auto* row = new QListWidgetItem(resortRowText(image_, i + 1, workingOrder_[static_cast<size_t>(i)]));
        row->setData(Qt::UserRole, static_cast<int>(workingOrder_[static_cast<size_t>(i)]));
        rows_->addItem(row);
    }
    applyFilter();
}

int ResortDialog::currentRowOrAsk() {
    const int cur = rows_->currentRow();
    if (cur < 0 || cur >= workingCount_) {
        showMessage(tr(kSelectToResort));
        return -1;
    }
    return cur;
}

void ResortDialog::moveUp() {
    takeOrderFromRows();
    const int cur = currentRowOrAsk();
    if (cur <= 0) return;
    std::swap(workingOrder_[static_cast<size_t>(cur)], workingOrder_[static_cast<size_t>(cur - 1)]);
    setRow(cur);
    setRow(cur - 1);
    rows_->setCurrentRow(cur - 1);
}

void ResortDialog::moveDown() {
    takeOrderFromRows();
    const int cur = currentRowOrAsk();
    if (cur < 0 || cur >= workingCount_ - 1) return;
    std::swap(workingOrder_[static_cast<size_t>(cur)], workingOrder_[static_cast<size_t>(cur + 1)]);
    setRow(cur);
    setRow(cur + 1);
    rows_->setCurrentRow(cur + 1);
}

void ResortDialog::moveTo() {
    takeOrderFromRows();
    const int cur = currentRowOrAsk();
    if (cur < 0) return;
    bool readable = false;
    const int v = position_->text().trimmed().toInt(&readable, 10);
    if (!readable) {
        prompts_.showMessage(this, tr(kNotAnInteger), QCoreApplication::applicationName(),
                             MessageIcon::Warning);
        return;
    }
    if (v < 1) {
        showMessage(tr(kPositionTooSmall));
        return;
    }
    if (v > workingCount_) {
        showMessage(tr(kPositionTooLarge));
        return;
    }
    const int p = v - 1;
    if (p == cur) return;
    const auto first = workingOrder_.begin();
    if (cur < p)
        std::rotate(first + cur, first + cur + 1, first + p + 1);
    else
        std::rotate(first + p, first + cur, first + cur + 1);
    rebuildRows();
    rows_->setCurrentRow(p);
}

void ResortDialog::saveChange() {
    const int chosen = listChoice_->currentIndex();
    if (chosen < 0 || chosen >= static_cast<int>(choices_.size())) return;
    takeOrderFromRows();
    // Refused without a message when the number of rows differs from the list's entry count.
    const ListChoice& choice = choices_[static_cast<size_t>(chosen)];
    if (setListItems(image_, choice.listId, workingCount_, workingOrder_.data()) && saved_)
        saved_(tr("Resort %1").arg(choice.name));
}

}  // namespace tovu::ui
