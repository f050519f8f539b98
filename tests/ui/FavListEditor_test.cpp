// The Fav List Editor driven through its controls, on an image and snapshot of the test's own.
#include "ui/FavListEditorDialog.h"

#include "FakePrompts.h"
#include "db/ChannelRecord.h"
#include "db/FavLists.h"
#include "db/NameCodec.h"
#include "ui/ListDialogs.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tovu::ui {
namespace {

using test::FakePrompts;
using test::testApplication;

constexpr int kFav1 = kListFirstDefault;
constexpr int kFav2 = kListFirstDefault + 1;

std::vector<int> storedList(const ChannelDbImage& image, int listId) {
    uint16_t items[kFavCapacity] = {};
    int count = static_cast<int>(kFavCapacity);
    EXPECT_EQ(getListItems(image, listId, count, items), 1);
    return std::vector<int>(items, items + count);
}

std::string storedName(const ChannelDbImage& image, int listId) {
    uint8_t name[kListNameSize] = {};
    EXPECT_EQ(getListName(image, listId, name, static_cast<int>(kListNameSize)), 1);
    return std::string(reinterpret_cast<const char*>(name), kListNameSize);
}

std::vector<int> usedUserLists(const ChannelDbImage& image) {
    int ids[kUserFavCount] = {};
    int count = static_cast<int>(kUserFavCount);
    listUserLists(image, ids, count);
    return std::vector<int>(ids, ids + count);
}

// Types text into a widget one character at a time, as the keyboard would.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(widget, &release);
    }
}

class FavFixture {
public:
    // Six services "S0".."S5".
    FavFixture() {
        testApplication();
        image = std::make_unique<ChannelDbImage>();
        snapshot = std::make_unique<ChannelDbImage>();
        for (int i = 0; i < 6; ++i) {
            ChannelRecord record;
            record.serviceId = static_cast<uint16_t>(i + 1);
            record.flags = kProgTv << kProgTypeShift;
            record.name[0] = 'S';
            record.name[1] = static_cast<uint8_t>('0' + i);
            EXPECT_EQ(addChannel(*image, record), i);
        }
    }
    void open() {
        dialog = std::make_unique<FavListEditorDialog>(*image, *snapshot, prompts);
        finished = std::make_unique<QSignalSpy>(dialog.get(), &QDialog::finished);
    }
    void choose(int listId) {
        for (int k = 0; k < dialog->state().favListCount; ++k)
            if (dialog->state().listIds[static_cast<size_t>(k)] == listId)
                dialog->listChoice()->setCurrentIndex(k);
    }
    void tick(int service, bool on) {
        dialog->checkList()->item(service, 0)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    std::vector<int> ticked() const {
        std::vector<int> out;
        for (int i = 0; i < dialog->checkList()->rowCount(); ++i)
            if (dialog->checkList()->item(i, 0)->checkState() == Qt::Checked) out.push_back(i);
        return out;
    }
    QStringList choiceNames() const {
        QStringList out;
        for (int k = 0; k < dialog->listChoice()->count(); ++k) out << dialog->listChoice()->itemText(k);
        return out;
    }
    void quit() {
        dialog->quitButton()->click();
        EXPECT_EQ(finished->count(), 1);
    }

    std::unique_ptr<ChannelDbImage> image;
    std::unique_ptr<ChannelDbImage> snapshot;
    FakePrompts prompts;
    std::unique_ptr<FavListEditorDialog> dialog;
    std::unique_ptr<QSignalSpy> finished;
};

TEST(FavListEditor, OpensOnFav1WithItsTextsAndTicks) {
    FavFixture f;
    ASSERT_EQ(addToList(*f.image, 4, kFav1), 1);
    ASSERT_EQ(addToList(*f.image, 1, kFav1), 1);
    const uint8_t news[kListNameSize] = {'N', 'e', 'w', 's'};
    ASSERT_EQ(setListName(*f.image, kFav2, news), 1);
    int id = 0;
    ASSERT_EQ(createUserList(*f.image, id), 1);
    ASSERT_EQ(createUserList(*f.image, id), 1);
    ASSERT_EQ(deleteUserList(*f.image, 9), 1);
    f.open();
    EXPECT_EQ(f.dialog->windowTitle(), "Fav List Editor");
    EXPECT_EQ(f.dialog->saveButton()->text(), "Save Change");
    EXPECT_TRUE(f.dialog->saveButton()->isDefault());
    EXPECT_EQ(f.dialog->quitButton()->text(), "Quit without Save");
    EXPECT_EQ(f.dialog->createButton()->text(), "&Create New List");
    EXPECT_EQ(f.dialog->deleteButton()->text(), "&Delete List");
    EXPECT_EQ(f.dialog->checkList()->horizontalHeaderItem(0)->text(), "Fav");
    EXPECT_EQ(f.dialog->checkList()->columnWidth(0), 220);
    EXPECT_EQ(f.choiceNames(), (QStringList{"Fav1", "News", "Fav3", "Fav4", "Fav5", "Fav6"}));
    EXPECT_EQ(f.dialog->state().listIds[5], 10);
    EXPECT_EQ(f.dialog->listChoice()->currentIndex(), 0);
    EXPECT_EQ(f.dialog->nameEdit()->text(), "Fav1");
    ASSERT_EQ(f.dialog->checkList()->rowCount(), 6);
    EXPECT_EQ(f.dialog->checkList()->item(3, 0)->text(), "S3");
    EXPECT_EQ(f.ticked(), (std::vector<int>{1, 4}));
    f.choose(kFav2);
    EXPECT_EQ(f.dialog->nameEdit()->text(), "News");
    EXPECT_TRUE(f.ticked().empty());
}

// However the editor closes, what was not saved is undone, byte for byte.
enum class Closing { QuitButton, Escape, Destroyed };

struct CloseCase {
    std::string name;
    Closing closing;
};

void PrintTo(const CloseCase& c, std::ostream* out) { *out << c.name; }

class FavCloseTest : public ::testing::TestWithParam<CloseCase> {};

TEST_P(FavCloseTest, UnsavedEditsLeaveImageUnchanged) {
    FavFixture f;
    for (size_t i = 0; i < f.image->bytes.size(); i += 997)
        f.image->bytes[i] ^= 0x5A;  // uninterpreted bytes too
    ASSERT_EQ(addToList(*f.image, 2, kFav1), 1);
    int id = 0;
    ASSERT_EQ(createUserList(*f.image, id), 1);
    const ChannelDbImage before = *f.image;
    f.open();
    EXPECT_TRUE(f.image->bytes == before.bytes) << "opening changes nothing";
    f.tick(2, false);
    f.tick(5, true);
    f.dialog->nameEdit()->setText("Renamed");
    f.dialog->createButton()->click();
    f.prompts.confirmAnswers = {true};
    f.choose(9);
    f.dialog->deleteButton()->click();
    ASSERT_NE(f.image->bytes, before.bytes);  // created and deleted on the live image
    switch (GetParam().closing) {
        case Closing::QuitButton: f.quit(); break;
        case Closing::Escape:
            QTest::keyClick(f.dialog.get(), Qt::Key_Escape);
            EXPECT_EQ(f.finished->count(), 1);
            break;
        case Closing::Destroyed: f.dialog.reset(); break;
    }
    EXPECT_TRUE(f.image->bytes == before.bytes);
    f.dialog.reset();
    EXPECT_TRUE(f.image->bytes == before.bytes);
}

INSTANTIATE_TEST_SUITE_P(Closings, FavCloseTest,
                         ::testing::Values(CloseCase{"QuitButton", Closing::QuitButton},
                                           CloseCase{"EscapeKey", Closing::Escape},
                                           CloseCase{"DestroyedWithoutClosing", Closing::Destroyed}),
                         [](const ::testing::TestParamInfo<CloseCase>& row) { return row.param.name; });

TEST(FavListEditor, OpenAndQuitAtOnceLeavesImageUnchanged) {
    FavFixture f;
    const ChannelDbImage before = *f.image;
    f.open();
    f.quit();
    f.dialog.reset();
    EXPECT_TRUE(f.image->bytes == before.bytes);
}

TEST(FavListEditor, CreateThenQuitLeavesNoList) {
    FavFixture f;
    f.open();
    f.dialog->createButton()->click();
    EXPECT_EQ(f.choiceNames().size(), 6);
    EXPECT_EQ(f.dialog->listChoice()->currentIndex(), 5);
    EXPECT_EQ(f.dialog->nameEdit()->text(), "Fav6");
    EXPECT_TRUE(f.ticked().empty());
    EXPECT_EQ(usedUserLists(*f.image), std::vector<int>{9});
    f.quit();
    EXPECT_TRUE(usedUserLists(*f.image).empty());
}

TEST(FavListEditor, CreateSaveQuitKeepsListUnderItsDefaultName) {
    FavFixture f;
    f.open();
    f.dialog->createButton()->click();
    f.tick(3, true);
    f.dialog->saveButton()->click();
    EXPECT_EQ(f.finished->count(), 0);  // stays open
    f.quit();
    EXPECT_EQ(usedUserLists(*f.image), std::vector<int>{9});
    EXPECT_EQ(storedName(*f.image, 9), std::string("Fav6", 4) + std::string(16, '\0'));
    EXPECT_EQ(storedList(*f.image, 9), std::vector<int>{3});
    // Lists shown under a default name get that name stored.
    EXPECT_EQ(storedName(*f.image, kFav1).c_str(), std::string("Fav1"));
}

struct DeleteCase {
    std::string name;
    int deleted;
    int shownNext;
};

void PrintTo(const DeleteCase& c, std::ostream* out) { *out << c.name; }

class FavDeleteTest : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(FavDeleteTest, ShowsTheNextListOrTheOneBefore) {
    FavFixture f;
    int id = 0;
    for (int k = 0; k < 3; ++k) ASSERT_EQ(createUserList(*f.image, id), 1);  // 9, 10, 11
    const uint8_t named[kListNameSize] = {'K', 'e', 'e', 'p'};
    ASSERT_EQ(setListName(*f.image, 11, named), 1);
    f.open();
    f.choose(GetParam().deleted);
    f.prompts.confirmAnswers = {true};
    f.dialog->deleteButton()->click();
    ASSERT_EQ(f.prompts.messages.size(), 1u);
    EXPECT_EQ(f.prompts.messages[0].text, "Click [OK] to delete the selected fav list!");
    EXPECT_TRUE(f.prompts.messages[0].confirmation);
    EXPECT_EQ(f.prompts.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(f.prompts.messages[0].caption, QCoreApplication::applicationName());
    EXPECT_FALSE(isExistingFavList(*f.image, GetParam().deleted));
    const FavEditorState& s = f.dialog->state();
    EXPECT_EQ(s.listIds[static_cast<size_t>(s.currentList)], GetParam().shownNext);
    EXPECT_EQ(f.dialog->listChoice()->currentIndex(), s.currentList);
    EXPECT_EQ(s.favListCount, 7);
    f.dialog->saveButton()->click();
    f.quit();
    EXPECT_FALSE(isExistingFavList(*f.image, GetParam().deleted));
}

INSTANTIATE_TEST_SUITE_P(Deletions, FavDeleteTest,
                         ::testing::Values(DeleteCase{"LastUserList", 11, 10},
                                           DeleteCase{"MiddleUserList", 10, 11},
                                           DeleteCase{"FirstUserList", 9, 10}),
                         [](const ::testing::TestParamInfo<DeleteCase>& row) { return row.param.name; });

TEST(FavListEditor, DeletingOnlyUserListShowsFav5) {
    FavFixture f;
    int id = 0;
    ASSERT_EQ(createUserList(*f.image, id), 1);
    f.open();
    f.choose(9);
    f.prompts.confirmAnswers = {true};
    f.dialog->deleteButton()->click();
    EXPECT_EQ(f.dialog->state().currentList, 4);
    EXPECT_EQ(f.dialog->nameEdit()->text(), "Fav5");
}

TEST(FavListEditor, DeleteRefusedForDefaultListAndOnCancel) {
    FavFixture f;
    int id = 0;
    ASSERT_EQ(createUserList(*f.image, id), 1);
    f.open();
    f.dialog->deleteButton()->click();
    ASSERT_EQ(f.prompts.messages.size(), 1u);
    EXPECT_EQ(f.prompts.messages[0].text, "The selected fav list is a default list, unable to delete!");
    EXPECT_EQ(f.prompts.messages[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(f.prompts.messages[0].confirmation);
    f.choose(9);
    f.prompts.confirmAnswers = {false};
    f.dialog->deleteButton()->click();
    EXPECT_EQ(f.prompts.messages.size(), 2u);
    EXPECT_TRUE(isExistingFavList(*f.image, 9));
    EXPECT_EQ(f.dialog->state().favListCount, 6);
}

TEST(FavListEditor, SixteenUserListsRefuseAnotherWithMessage) {
    FavFixture f;
    int id = 0;
    for (int k = 0; k < 16; ++k) ASSERT_EQ(createUserList(*f.image, id), 1);
    const ChannelDbImage before = *f.image;
    f.open();
    EXPECT_EQ(f.dialog->listChoice()->count(), 21);
    EXPECT_EQ(f.dialog->listChoice()->itemText(20), "Fav21");
    f.choose(12);
    f.dialog->createButton()->click();
    ASSERT_EQ(f.prompts.messages.size(), 1u);
    EXPECT_EQ(f.prompts.messages[0].text, "Fail to create new fav list. There are 21 fav lists already.");
    EXPECT_EQ(f.prompts.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(f.prompts.messages[0].caption, QCoreApplication::applicationName());
    EXPECT_EQ(f.dialog->listChoice()->count(), 21);
    EXPECT_EQ(f.dialog->state().listIds[static_cast<size_t>(f.dialog->state().currentList)], 12);
    EXPECT_TRUE(f.image->bytes == before.bytes);
}

TEST(FavListEditor, TicksAndNamesKeptAcrossListSwitchesAndSavedTogether) {
    FavFixture f;
    f.open();
    f.tick(3, true);
    f.tick(1, true);
    f.dialog->nameEdit()->setText("Movies");
    f.choose(kFav2);
    EXPECT_TRUE(f.ticked().empty());
    f.tick(2, true);
    f.choose(kFav1);
    EXPECT_EQ(f.ticked(), (std::vector<int>{1, 3}));
    EXPECT_EQ(f.dialog->nameEdit()->text(), "Movies");
    EXPECT_TRUE(storedList(*f.image, kFav1).empty()) << "nothing stored before Save Change";
    f.dialog->saveButton()->click();
    f.quit();
    EXPECT_EQ(storedList(*f.image, kFav1), (std::vector<int>{1, 3}));
    EXPECT_EQ(storedList(*f.image, kFav2), std::vector<int>{2});
    EXPECT_EQ(storedName(*f.image, kFav1).c_str(), std::string("Movies"));
}

TEST(FavListEditor, TwentyByteNameIsStoredWithoutTerminator) {
    FavFixture f;
    f.open();
    f.dialog->nameEdit()->clear();
    typeText(f.dialog->nameEdit(), "ABCDEFGHIJKLMNOPQRSTU");  // the 21st letter is refused
    EXPECT_EQ(f.dialog->nameEdit()->text(), "ABCDEFGHIJKLMNOPQRST");
    f.dialog->saveButton()->click();
    EXPECT_EQ(storedName(*f.image, kFav1), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(f.image->bytes[kDefaultFavOffset + kListNameSize], 0);  // the count follows directly
    f.quit();
    f.dialog.reset();
    f.open();
    EXPECT_EQ(f.dialog->nameEdit()->text(), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(f.dialog->listChoice()->itemText(0), "ABCDEFGHIJKLMNOPQRST");
}

TEST(FavListEditor, NameLimitCountsCodePageBytes) {
    FavFixture f;
    f.open();
    f.dialog->nameEdit()->clear();
    const QString ten = QString::fromUtf8("中文频道中文频道中文");
    typeText(f.dialog->nameEdit(), ten + QString::fromUtf8("台"));
    EXPECT_EQ(f.dialog->nameEdit()->text(), ten);
    f.dialog->saveButton()->click();
    EXPECT_EQ(storedName(*f.image, kFav1), utf8ToName(ten.toStdString()));
    EXPECT_EQ(listNameBytes(QString::fromUtf8("ABCDEFGHIJKLMNOPQRS中")).size(), 19u) << "no half character";
}

TEST(FavListEditor, EmptyNameStoresEmptyNameAndShowsDefaultAgain) {
    FavFixture f;
    const uint8_t named[kListNameSize] = {'A', 'B', 'C'};
    ASSERT_EQ(setListName(*f.image, kFav2, named), 1);
    f.open();
    f.choose(kFav2);
    f.dialog->nameEdit()->clear();
    f.dialog->saveButton()->click();
    EXPECT_EQ(f.image->bytes[kDefaultFavOffset + kFavListSize], 0);
    f.quit();
    f.dialog.reset();
    f.open();
    EXPECT_EQ(f.dialog->listChoice()->itemText(1), "Fav2");
}

struct TickCase {
    std::string name;
    std::vector<int> stored;
    std::vector<std::vector<std::pair<int, bool>>> rounds;  // tick changes, Save Change after each round
    std::vector<int> result;
};

void PrintTo(const TickCase& c, std::ostream* out) { *out << c.name; }

class FavTickOrderTest : public ::testing::TestWithParam<TickCase> {};

TEST_P(FavTickOrderTest, StoredOrderFollowsSaves) {
    const TickCase& c = GetParam();
    FavFixture f;
    for (const int service : c.stored) ASSERT_EQ(addToList(*f.image, service, kFav1), 1);
    f.open();
    for (const auto& round : c.rounds) {
        for (const auto& [service, on] : round) f.tick(service, on);
        f.dialog->saveButton()->click();
    }
    f.quit();
    EXPECT_EQ(storedList(*f.image, kFav1), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, FavTickOrderTest,
    ::testing::Values(TickCase{"UntickAndTickBeforeSaving", {4, 0, 2}, {{{0, false}, {0, true}}}, {4, 0, 2}},
                      TickCase{
                          "UntickSaveTickSaveMovesToEnd", {4, 0, 2}, {{{0, false}}, {{0, true}}}, {4, 2, 0}},
                      TickCase{"NewTicksAppendedInServiceOrder", {3}, {{{5, true}, {1, true}}}, {3, 1, 5}},
                      TickCase{"UntickRemovesOnlyThatService", {1, 2, 3}, {{{2, false}}}, {1, 3}}),
    [](const ::testing::TestParamInfo<TickCase>& row) { return row.param.name; });

TEST(FavListEditor, ChangesAfterLastSaveAreUndone) {
    FavFixture f;
    f.open();
    f.tick(1, true);
    f.dialog->saveButton()->click();
    f.tick(3, true);
    f.dialog->createButton()->click();  // rebuilt from the image: the unsaved tick is dropped
    f.choose(kFav1);
    EXPECT_EQ(f.ticked(), std::vector<int>{1});
    f.quit();
    EXPECT_EQ(storedList(*f.image, kFav1), std::vector<int>{1});
    EXPECT_TRUE(usedUserLists(*f.image).empty());
}

TEST(FavListEditor, UntickedServiceListedTwiceLeavesTheList) {
    FavFixture f;
    // A list read from a file may hold a service twice.
    uint8_t* list = f.image->bytes.data() + kDefaultFavOffset;
    writeLe32(list + kListCountField, 3);
    writeLe16(list + kListEntriesField, 2);
    writeLe16(list + kListEntriesField + 2, 4);
    writeLe16(list + kListEntriesField + 4, 2);
    f.open();
    EXPECT_EQ(f.ticked(), (std::vector<int>{2, 4}));
    f.tick(2, false);
    f.dialog->saveButton()->click();
    EXPECT_EQ(storedList(*f.image, kFav1), std::vector<int>{4});
}

TEST(FavListEditor, EntriesNamingNoServiceAreKept) {
    FavFixture f;
    uint8_t* list = f.image->bytes.data() + kDefaultFavOffset;
    writeLe32(list + kListCountField, 2);
    writeLe16(list + kListEntriesField, 900);
    writeLe16(list + kListEntriesField + 2, 1);
    f.open();
    EXPECT_EQ(f.ticked(), std::vector<int>{1});
    f.tick(0, true);
    f.dialog->saveButton()->click();
    EXPECT_EQ(storedList(*f.image, kFav1), (std::vector<int>{900, 1, 0}));
}

TEST(FavListEditor, RunsModallyAndPutsBackWhatWasNotSaved) {
    FavFixture f;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<FavListEditorDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_EQ(dialog->parentWidget(), nullptr);
        dialog->checkList()->item(2, 0)->setCheckState(Qt::Checked);
        dialog->saveButton()->click();
        dialog->checkList()->item(4, 0)->setCheckState(Qt::Checked);
        dialog->createButton()->click();
        dialog->close();  // the close box
    });
    runFavListEditor(*f.image, *f.snapshot, f.prompts);
    EXPECT_TRUE(seen);
    EXPECT_EQ(storedList(*f.image, kFav1), std::vector<int>{2});
    EXPECT_TRUE(usedUserLists(*f.image).empty());
}

}  // namespace
}  // namespace tovu::ui
