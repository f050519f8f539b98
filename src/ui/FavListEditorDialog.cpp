#include "ui/FavListEditorDialog.h"

#include "db/ChannelRecord.h"
#include "db/FavLists.h"
#include "db/NameCodec.h"
#include "ui/ChannelListModel.h"
#include "ui/EditorTexts.h"
#include "ui/FilterField.h"
#include "ui/NameInput.h"
#include "ui/UserPrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

#include <algorithm>
#include <cstring>

namespace tovu::ui {

namespace {

constexpr const char* kCreateFailed = QT_TRANSLATE_NOOP(
    "tovu::ui::FavListEditorDialog", "Fail to create new fav list. There are 21 fav lists already.");
constexpr const char* kDefaultListKept = QT_TRANSLATE_NOOP(
    "tovu::ui::FavListEditorDialog", "The selected fav list is a default list, unable to delete!");
constexpr const char* kConfirmDelete =
    QT_TRANSLATE_NOOP("tovu::ui::FavListEditorDialog", "Click [OK] to delete the selected fav list!");
constexpr const char* kListFull =
    QT_TRANSLATE_NOOP("tovu::ui::FavListEditorDialog",
                      "Fail to add the channel. There are 300 channels in the fav list already.");
constexpr const char* kUnsavedBeforeCreate =
    QT_TRANSLATE_NOOP("tovu::ui::FavListEditorDialog",
                      "The fav lists have changes that are not saved. Save them before creating a new list?");
constexpr const char* kUnsavedBeforeDelete =
    QT_TRANSLATE_NOOP("tovu::ui::FavListEditorDialog",
                      "The fav lists have changes that are not saved. Save them before deleting the list?");

}  // namespace

FavListEditorDialog::FavListEditorDialog(ChannelDbImage& image, ChannelDbImage& snapshot,
                                         UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), image_(image), snapshot_(snapshot), prompts_(prompts) {
    setWindowTitle(tr("Fav List Editor"));

    auto* listLabel = new QLabel(sharedText(kChannelListLabel), this);
    listChoice_ = new QComboBox(this);
    listLabel->setBuddy(listChoice_);
    auto* nameLabel = new QLabel(tr("New Name:"), this);
    nameEdit_ = new QLineEdit(this);
    // A list name holds at most 20 bytes of the code page: ten Chinese characters or twenty letters.
    nameEdit_->setValidator(new NameBytesValidator(kListNameSize, nameEdit_));
    nameLabel->setBuddy(nameEdit_);
    filter_ = new FilterField(this);
    membersOnly_ = new QCheckBox(tr("Members only"), this);
    checkList_ = new QTableWidget(this);
    filter_->setList(checkList_);
    checkList_->setShowGrid(true);
    checkList_->verticalHeader()->hide();
    checkList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    checkList_->setSelectionMode(QAbstractItemView::SingleSelection);
    checkList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One Tab stop: the arrow keys move within the list and Space ticks.
    checkList_->setTabKeyNavigation(false);
    checkList_->setMinimumSize(280, 200);
    save_ = new QPushButton(sharedText(kSaveChange), this);
    save_->setDefault(true);
    quit_ = new QPushButton(sharedText(kQuitWithoutSave), this);
    create_ = new QPushButton(tr("&Create New List"), this);
    delete_ = new QPushButton(tr("&Delete List"), this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(listLabel, 0, 0);
    layout->addWidget(listChoice_, 0, 1, 1, 2);
    layout->addWidget(nameLabel, 1, 0);
    layout->addWidget(nameEdit_, 1, 1, 1, 2);
    layout->addWidget(filter_, 2, 0, 1, 2);
    layout->addWidget(membersOnly_, 2, 2);
    layout->addWidget(checkList_, 3, 0, 1, 3);
    layout->addWidget(save_, 4, 1);
    layout->addWidget(quit_, 4, 2);
    layout->addWidget(create_, 5, 1);
    layout->addWidget(delete_, 5, 2);

    takeSnapshot(image_, snapshot_);
    filterTexts_ = filterTexts(image_);
    refillEditor(kListFirstDefault);

    connect(listChoice_, &QComboBox::currentIndexChanged, this, &FavListEditorDialog::switchList);
    connect(checkList_, &QTableWidget::itemChanged, this, &FavListEditorDialog::refuseTickOfFullList);
    connect(filter_, &QLineEdit::textChanged, this, &FavListEditorDialog::applyFilter);
    connect(membersOnly_, &QCheckBox::toggled, this, &FavListEditorDialog::applyFilter);
    connect(save_, &QPushButton::clicked, this, [this] { (void)saveFavLists(); });
    connect(quit_, &QPushButton::clicked, this, &QDialog::reject);
    connect(create_, &QPushButton::clicked, this, &FavListEditorDialog::createList);
    connect(delete_, &QPushButton::clicked, this, &FavListEditorDialog::deleteList);
}

FavListEditorDialog::~FavListEditorDialog() { putImageBack(); }

void FavListEditorDialog::done(int result) {
    QDialog::done(result);
    putImageBack();
}

void FavListEditorDialog::putImageBack() {
    // Once per dialog, when it closes (or is destroyed without having been closed).
    if (imagePutBack_) return;
    imagePutBack_ = true;
    restoreSnapshot(image_, snapshot_);
}

void FavListEditorDialog::applyFilter() {
    for (int row = 0; row < checkList_->rowCount(); ++row) {
        const bool matches = static_cast<size_t>(row) < filterTexts_.size() &&
                             filter_->matches(filterTexts_[static_cast<size_t>(row)]);
        checkList_->setRowHidden(row, !matches || (membersOnly_->isChecked() && !ticked(row)));
    }
}

void FavListEditorDialog::refillEditor(int wantedListId) {
    const int n = std::max(0, channelCount(image_));
    loadListChoices();
    savedNames_ = state_.listNames;
    loadMembership(n);

    const QSignalBlocker blocker(listChoice_);
    listChoice_->clear();
    for (int k = 0; k < state_.favListCount; ++k)
        listChoice_->addItem(QString::fromStdString(
            nameToUtf8(state_.listNames[static_cast<size_t>(k)].data(), kListNameSize)));
    for (int k = 0; k < state_.favListCount; ++k)
        if (state_.listIds[static_cast<size_t>(k)] == wantedListId) state_.currentList = k;
    listChoice_->setCurrentIndex(state_.currentList);
    showName();
    rebuildCheckList(n);
}

void FavListEditorDialog::loadListChoices() {
    // Name of a list, or its default name when the stored one is empty.
    const auto loadName = [this](int position, int listId, int defaultNumber) {
        auto& name = state_.listNames[static_cast<size_t>(position)];
        name.fill(0);
        if (!getListName(image_, listId, name.data(), static_cast<int>(kListNameSize)) || name[0] == 0) {
            name.fill(0);
            const QByteArray fallback = QByteArray("Fav") + QByteArray::number(defaultNumber);
            std::memcpy(name.data(), fallback.constData(), static_cast<size_t>(fallback.size()));
        }
    };
    for (int k = 0; k < kDefaultFavLists; ++k) {
        state_.listIds[static_cast<size_t>(k)] = kListFirstDefault + k;
        loadName(k, kListFirstDefault + k, k + 1);
    }
    int userIds[kUserFavCount] = {};
    int userCount = static_cast<int>(kUserFavCount);
    listUserLists(image_, userIds, userCount);
    for (int k = 0; k < userCount; ++k) {
        state_.listIds[static_cast<size_t>(kDefaultFavLists + k)] = userIds[k];
        loadName(kDefaultFavLists + k, userIds[k], 6 + k);
    }
    state_.favListCount = kDefaultFavLists + userCount;
    state_.currentList = 0;
}

void FavListEditorDialog::loadMembership(int serviceCount) {
    for (auto& members : state_.membership) members.clear();
    for (int k = 0; k < state_.favListCount; ++k) {
        auto& members = state_.membership[static_cast<size_t>(k)];
        members.assign(static_cast<size_t>(serviceCount), 0);
        for (int i = 0; i < serviceCount; ++i)
            members[static_cast<size_t>(i)] =
                isInList(image_, i, state_.listIds[static_cast<size_t>(k)]) ? 1 : 0;
    }
}

void FavListEditorDialog::rebuildCheckList(int serviceCount) {
    checkList_->clear();
    checkList_->setColumnCount(1);
    auto* header = new QTableWidgetItem(tr("Fav"));
    header->setTextAlignment(Qt::AlignCenter);
    checkList_->setHorizontalHeaderItem(0, header);
    checkList_->setColumnWidth(0, 220);
    checkList_->setRowCount(serviceCount);
    for (int i = 0; i < serviceCount; ++i) {
        ChannelRecord record;
        const QString name = getChannel(image_, i, record)
                                 ? QString::fromStdString(nameToUtf8(record.name.data(), kNameSize))
                                 : QString();
        auto* row = new QTableWidgetItem(name);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        checkList_->setItem(i, 0, row);
    }
    showChecks();
}

void FavListEditorDialog::showChecks() {
    const QSignalBlocker blocker(checkList_);
    const auto& members = state_.membership[static_cast<size_t>(state_.currentList)];
    const int rows = std::min(checkList_->rowCount(), static_cast<int>(members.size()));
    for (int i = 0; i < rows; ++i)
        checkList_->item(i, 0)->setCheckState(members[static_cast<size_t>(i)] ? Qt::Checked : Qt::Unchecked);
    applyFilter();
}

QString FavListEditorDialog::listName(int position) const {
    return QString::fromStdString(
        nameToUtf8(state_.listNames[static_cast<size_t>(position)].data(), kListNameSize));
}

void FavListEditorDialog::showName() {
    shownName_ = listName(state_.currentList);
    nameEdit_->setText(shownName_);
}

bool FavListEditorDialog::ticked(int row) const {
    return row < checkList_->rowCount() && checkList_->item(row, 0)->checkState() == Qt::Checked;
}

bool FavListEditorDialog::keepShownList() {
    auto& members = state_.membership[static_cast<size_t>(state_.currentList)];
    for (size_t i = 0; i < members.size(); ++i) members[i] = ticked(static_cast<int>(i)) ? 1 : 0;

    // A name left as shown keeps its stored bytes.
    const QString text = nameEdit_->text();
    if (text == shownName_) return true;
    if (const QString unstorable = unstorableCharacters(text); !unstorable.isEmpty()) {
        prompts_.showMessage(this, sharedText(kUnstorableCharacters).arg(unstorable),
                             QCoreApplication::applicationName(), MessageIcon::Warning);
        nameEdit_->setFocus(Qt::OtherFocusReason);
        nameEdit_->selectAll();
        return false;
    }
    auto& name = state_.listNames[static_cast<size_t>(state_.currentList)];
    if (text.isEmpty()) {
        name[0] = 0;  // the rest of the field is kept
        return true;
    }
    const std::string bytes = nameBytesWithin(text, kListNameSize);
    std::copy(bytes.begin(), bytes.end(), name.begin());
    if (bytes.size() < kListNameSize) name[bytes.size()] = 0;
    return true;
}

void FavListEditorDialog::switchList(int position) {
    if (position < 0 || position >= state_.favListCount || position == state_.currentList) return;
    // The shown list stays chosen while its name cannot be stored (the message then says why).
    const QSignalBlocker blocker(listChoice_);
    listChoice_->setCurrentIndex(state_.currentList);
    if (!keepShownList()) return;
    listChoice_->setCurrentIndex(position);
    state_.currentList = position;
    showChecks();
    showName();
}

bool FavListEditorDialog::hasUnsavedChanges() const {
    if (nameEdit_->text() != shownName_ || state_.listNames != savedNames_) return true;
    for (int k = 0; k < state_.favListCount; ++k) {
        const auto& members = state_.membership[static_cast<size_t>(k)];
        for (size_t i = 0; i < members.size(); ++i) {
            const bool member = k == state_.currentList ? ticked(static_cast<int>(i)) : members[i] != 0;
            if (member !=
                (isInList(image_, static_cast<int>(i), state_.listIds[static_cast<size_t>(k)]) != 0))
                return true;
        }
    }
    return false;
}

bool FavListEditorDialog::settleUnsavedChanges(const char* question) {
    if (!hasUnsavedChanges()) return true;
    switch (prompts_.askSaveDiscardCancel(this, tr(question), QCoreApplication::applicationName(),
                                          MessageIcon::Warning)) {
        case SaveChoice::Save: return saveFavLists();
        case SaveChoice::Discard: return true;
        case SaveChoice::Cancel: break;
    }
    return false;
}

void FavListEditorDialog::refuseTickOfFullList(QTableWidgetItem* item) {
    if (item == nullptr || item->checkState() != Qt::Checked) return;
    // What the shown list would hold once saved: its stored entries but the services ticked
    // off, and the services newly ticked.
    const int listId = state_.listIds[static_cast<size_t>(state_.currentList)];
    std::array<uint16_t, kTvCapacity> entries{};
    int count = static_cast<int>(entries.size());
    if (!getListItems(image_, listId, count, entries.data())) return;
    int after = 0;
    for (int k = 0; k < count; ++k)
        if (entries[static_cast<size_t>(k)] >= checkList_->rowCount() ||
            ticked(entries[static_cast<size_t>(k)]))
            ++after;
    for (int i = 0; i < checkList_->rowCount(); ++i)
        if (ticked(i) && !isInList(image_, i, listId)) ++after;
    if (after <= static_cast<int>(kFavCapacity)) return;
    {
        const QSignalBlocker blocker(checkList_);
        item->setCheckState(Qt::Unchecked);
    }
    prompts_.showMessage(this, tr(kListFull), QCoreApplication::applicationName(), MessageIcon::Warning);
}

bool FavListEditorDialog::saveFavLists() {
    if (!keepShownList()) return false;
    for (int k = 0; k < state_.favListCount; ++k) {
        const int listId = state_.listIds[static_cast<size_t>(k)];
        const auto& members = state_.membership[static_cast<size_t>(k)];
        for (int i = 0; i < static_cast<int>(members.size()); ++i) {
            const bool listed = isInList(image_, i, listId) != 0;
            if (listed && !members[static_cast<size_t>(i)]) {
                // A list read from a file may hold a service more than once; unticked, it goes.
                while (isInList(image_, i, listId) && removeFromList(image_, i, listId)) {}
            } else if (!listed && members[static_cast<size_t>(i)]) {
                // Ticks beyond a full list (300 services) were refused as they were made.
                [[maybe_unused]] const int added = addToList(image_, i, listId);
            }
        }
        [[maybe_unused]] const int named =
            setListName(image_, listId, state_.listNames[static_cast<size_t>(k)].data());
    }
    const bool changed = image_.bytes != snapshot_.bytes;
    takeSnapshot(image_, snapshot_);
    if (changed && saved_) saved_(tr("Edit Fav List"));
    // The choice box shows the names as stored now (an emptied name as its default name).
    const int current = state_.currentList;
    loadListChoices();
    state_.currentList = current;
    savedNames_ = state_.listNames;
    for (int k = 0; k < state_.favListCount; ++k) listChoice_->setItemText(k, listName(k));
    showName();
    return true;
}

void FavListEditorDialog::createList() {
    // With all 21 lists in use there is nothing to ask about first.
    const bool room = state_.favListCount < kMaxFavLists;
    if (room && !settleUnsavedChanges(kUnsavedBeforeCreate)) return;
    int listId = 0;
    if (!room || !createUserList(image_, listId)) {
        prompts_.showMessage(this, tr(kCreateFailed), QCoreApplication::applicationName(),
                             MessageIcon::Critical);
        return;
    }
    refillEditor(listId);
}

void FavListEditorDialog::deleteList() {
    const int current = state_.currentList;
    const QString caption = QCoreApplication::applicationName();
    if (current < kDefaultFavLists) {
        prompts_.showMessage(this, tr(kDefaultListKept), caption, MessageIcon::Warning);
        return;
    }
    if (!prompts_.confirm(this, tr(kConfirmDelete), caption, MessageIcon::Warning)) return;
    if (!settleUnsavedChanges(kUnsavedBeforeDelete)) return;
    if (!deleteUserList(image_, state_.listIds[static_cast<size_t>(current)])) return;
    // The list after the deleted one, or the one before it when it was the last.
    const int next = current + 1 < state_.favListCount ? current + 1 : current - 1;
    refillEditor(state_.listIds[static_cast<size_t>(next)]);
}

}  // namespace tovu::ui
