// The Fav List Editor driven by clicks and keys, on an image and snapshot of the test's own.
#include "ui/FavListEditorDialog.h"

#include "UiTestSupport.h"
#include "ui/FilterField.h"
#include "ui/NameInput.h"

#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include <memory>
#include <string>
#include <vector>

namespace tovu::ui {
namespace {

constexpr int kFav1 = kListFirstDefault;
constexpr int kFav2 = kListFirstDefault + 1;

std::string storedName(const ChannelDbImage& image, int listId) {
    uint8_t name[kListNameSize] = {};
    EXPECT_EQ(getListName(image, listId, name, static_cast<int>(kListNameSize)), 1);
    return std::string(reinterpret_cast<const char*>(name), kListNameSize);
}

// Writes Fav1's entries directly, as a loaded file may hold them (twice, or naming no service).
void writeFav1(ChannelDbImage& image, const std::vector<int>& entries) {
    uint8_t* list = image.bytes.data() + kDefaultFavOffset;
    writeLe32(list + kListCountField, static_cast<uint32_t>(entries.size()));
    for (size_t k = 0; k < entries.size(); ++k)
        writeLe16(list + kListEntriesField + 2 * k, static_cast<uint16_t>(entries[k]));
}

std::vector<int> usedUserLists(const ChannelDbImage& image) {
    int ids[kUserFavCount] = {};
    int count = static_cast<int>(kUserFavCount);
    listUserLists(image, ids, count);
    return std::vector<int>(ids, ids + count);
}

void createUserLists(ChannelDbImage& image, int n) {
    int id = 0;
    for (int k = 0; k < n; ++k) ASSERT_EQ(createUserList(image, id), 1);  // 9, 10, ...
}

// Six services "Service 1".."Service 6" (indexes 0..5).
class FavFixture {
public:
    void open() {
        dialog = std::make_unique<FavListEditorDialog>(*image, *snapshot, prompts);
        finished = std::make_unique<QSignalSpy>(dialog.get(), &QDialog::finished);
        dialog->show();
    }
    void choose(int listId) {
        for (int k = 0; k < dialog->state().favListCount; ++k)
            if (dialog->state().listIds[static_cast<size_t>(k)] == listId)
                test::pick(dialog->listChoice(), k);
    }
    // A click on the service's row, then Space when its tick must change.
    void tick(int service, bool on) {
        QTableWidget* list = dialog->checkList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(service, 0)).center());
        if ((list->item(service, 0)->checkState() == Qt::Checked) != on) QTest::keyClick(list, Qt::Key_Space);
    }
    void rename(const QString& name) { test::retype(dialog->nameEdit(), name); }
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
    int shownListId() const {
        return dialog->state().listIds[static_cast<size_t>(dialog->state().currentList)];
    }
    void quit() {
        test::click(dialog->quitButton());
        EXPECT_EQ(finished->count(), 1);
    }

    QApplication& app = test::testApplication();
    std::unique_ptr<ChannelDbImage> image = test::imageWithServices(6);
    std::unique_ptr<ChannelDbImage> snapshot = std::make_unique<ChannelDbImage>();
    test::FakePrompts prompts;
    std::unique_ptr<FavListEditorDialog> dialog;
    std::unique_ptr<QSignalSpy> finished;
};

TEST(FavListEditor, OpensOnFav1WithItsTextsAndTicks) {
    FavFixture f;
    writeFav1(*f.image, {4, 1});
    const uint8_t news[kListNameSize] = {'N', 'e', 'w', 's'};
    ASSERT_EQ(setListName(*f.image, kFav2, news), 1);
    createUserLists(*f.image, 2);
    ASSERT_EQ(deleteUserList(*f.image, 9), 1);
    f.open();
    FavListEditorDialog& d = *f.dialog;
    EXPECT_EQ(d.windowTitle(), "Fav List Editor");
    EXPECT_EQ(f.choiceNames(), (QStringList{"Fav1", "News", "Fav3", "Fav4", "Fav5", "Fav6"}));
    EXPECT_EQ(d.state().listIds[5], 10);
    EXPECT_EQ(d.nameEdit()->text(), "Fav1");
    ASSERT_EQ(d.checkList()->rowCount(), 6);
    EXPECT_EQ(d.checkList()->item(3, 0)->text(), "Service 4");
    EXPECT_EQ(f.ticked(), (std::vector<int>{1, 4}));
    f.choose(kFav2);
    EXPECT_EQ(d.nameEdit()->text(), "News");
    EXPECT_TRUE(f.ticked().empty());
}

// However the editor closes, what was not saved is undone, byte for byte.
enum class Closing { QuitButton, Escape, Destroyed };

class FavCloseTest : public ::testing::TestWithParam<Closing> {};

TEST_P(FavCloseTest, UnsavedEditsLeaveImageUnchanged) {
    FavFixture f;
    for (size_t i = 0; i < f.image->bytes.size(); i += 997)
        f.image->bytes[i] ^= 0x5A;  // uninterpreted bytes too
    ASSERT_EQ(addToList(*f.image, 2, kFav1), 1);
    createUserLists(*f.image, 1);
    const ChannelDbImage before = *f.image;
    f.open();
    EXPECT_TRUE(f.image->bytes == before.bytes) << "opening changes nothing";
    f.tick(2, false);
    f.tick(5, true);
    f.rename("Renamed");
    f.prompts.saveAnswers = {SaveChoice::Discard};
    test::click(f.dialog->createButton());
    f.prompts.confirmAnswers = {true};
    f.choose(9);
    test::click(f.dialog->deleteButton());
    ASSERT_NE(f.image->bytes, before.bytes);  // created and deleted on the live image
    switch (GetParam()) {
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
                         ::testing::Values(Closing::QuitButton, Closing::Escape, Closing::Destroyed),
                         [](const auto& row) {
                             return std::string(row.param == Closing::QuitButton ? "QuitButton"
                                                : row.param == Closing::Escape   ? "EscapeKey"
                                                                                 : "DestroyedWithoutClosing");
                         });

// Ticks and names are kept across list switches and saved together; the choice box shows a saved
// name at once, an emptied name as the default name; a created list is shown empty under its
// default name and kept once saved.
TEST(FavListEditor, EditsAcrossListsAndNewListAreSavedTogether) {
    FavFixture f;
    const uint8_t named[kListNameSize] = {'A', 'B', 'C'};
    ASSERT_EQ(setListName(*f.image, kFav2, named), 1);
    f.open();
    f.tick(3, true);
    f.tick(1, true);
    f.rename("Movies");
    f.choose(kFav2);
    EXPECT_EQ(f.dialog->nameEdit()->text(), "ABC");
    EXPECT_TRUE(f.ticked().empty());
    f.tick(2, true);
    f.rename("");
    f.choose(kFav1);
    EXPECT_EQ(f.ticked(), (std::vector<int>{1, 3}));
    EXPECT_EQ(f.dialog->nameEdit()->text(), "Movies");
    EXPECT_TRUE(test::listEntries(*f.image, kFav1).empty()) << "nothing stored before Save Change";
    test::click(f.dialog->saveButton());
    EXPECT_EQ(f.choiceNames(), (QStringList{"Movies", "Fav2", "Fav3", "Fav4", "Fav5"}));

    test::click(f.dialog->createButton());
    EXPECT_EQ(f.choiceNames(), (QStringList{"Movies", "Fav2", "Fav3", "Fav4", "Fav5", "Fav6"}));
    EXPECT_EQ(f.dialog->listChoice()->currentIndex(), 5);
    EXPECT_EQ(f.dialog->nameEdit()->text(), "Fav6");
    EXPECT_TRUE(f.ticked().empty());
    f.tick(3, true);
    test::click(f.dialog->saveButton());
    EXPECT_EQ(f.finished->count(), 0);  // stays open
    f.quit();
    EXPECT_TRUE(f.prompts.messages.empty());
    EXPECT_EQ(test::listEntries(*f.image, kFav1), (std::vector<int>{1, 3}));
    EXPECT_EQ(test::listEntries(*f.image, kFav2), std::vector<int>{2});
    EXPECT_EQ(storedName(*f.image, kFav1).c_str(), std::string("Movies"));
    EXPECT_EQ(usedUserLists(*f.image), std::vector<int>{9});
    EXPECT_EQ(storedName(*f.image, 9), std::string("Fav6", 4) + std::string(16, '\0'));
    EXPECT_EQ(test::listEntries(*f.image, 9), std::vector<int>{3});
}

struct DeleteCase {
    const char* name;
    int userLists;  // created before opening: 9, 10, ...
    int deleted;
    int shownNext;
};

class FavDeleteTest : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(FavDeleteTest, ShowsTheNextListOrTheOneBefore) {
    const DeleteCase& c = GetParam();
    FavFixture f;
    createUserLists(*f.image, c.userLists);
    f.open();
    f.choose(c.deleted);
    f.prompts.confirmAnswers = {true};
    test::click(f.dialog->deleteButton());
    ASSERT_EQ(f.prompts.messages.size(), 1u);
    EXPECT_EQ(f.prompts.messages[0].text, "Click [OK] to delete the selected fav list!");
    EXPECT_TRUE(f.prompts.messages[0].confirmation);
    EXPECT_EQ(f.prompts.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(f.prompts.messages[0].caption, QCoreApplication::applicationName());
    EXPECT_EQ(f.shownListId(), c.shownNext);
    EXPECT_EQ(f.dialog->nameEdit()->text(), f.dialog->listChoice()->currentText());
    EXPECT_EQ(f.dialog->state().favListCount, 4 + c.userLists);
    test::click(f.dialog->saveButton());
    f.quit();
    EXPECT_FALSE(isExistingFavList(*f.image, c.deleted));
}

INSTANTIATE_TEST_SUITE_P(Deletions, FavDeleteTest,
                         ::testing::Values(DeleteCase{"LastUserList", 3, 11, 10},
                                           DeleteCase{"MiddleUserList", 3, 10, 11},
                                           DeleteCase{"OnlyUserListShowsFav5", 1, 9, kListLastDefault}),
                         [](const auto& row) { return std::string(row.param.name); });

// With 16 user lists Create is refused; Delete is refused for a default list and on Cancel.
// Nothing of it changes the image.
TEST(FavListEditor, RefusedCreateAndDeleteChangeNothing) {
    FavFixture f;
    createUserLists(*f.image, 16);
    const ChannelDbImage before = *f.image;
    f.open();
    EXPECT_EQ(f.dialog->listChoice()->count(), 21);
    EXPECT_EQ(f.dialog->listChoice()->itemText(20), "Fav21");
    test::click(f.dialog->deleteButton());
    f.choose(12);
    f.tick(1, true);  // not asked about: nothing can be created
    test::click(f.dialog->createButton());
    f.prompts.confirmAnswers = {false};
    test::click(f.dialog->deleteButton());
    EXPECT_EQ(f.prompts.texts(), (QStringList{"The selected fav list is a default list, unable to delete!",
                                              "Fail to create new fav list. There are 21 fav lists already.",
                                              "Click [OK] to delete the selected fav list!"}));
    ASSERT_EQ(f.prompts.messages.size(), 3u);
    EXPECT_EQ(f.prompts.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(f.prompts.messages[1].icon, MessageIcon::Critical);
    for (const auto& shown : f.prompts.messages)
        EXPECT_EQ(shown.caption, QCoreApplication::applicationName());
    EXPECT_EQ(f.shownListId(), 12);
    EXPECT_TRUE(f.image->bytes == before.bytes);
}

struct UnsavedCase {
    const char* name;
    bool deleting;  // else creating
    SaveChoice answer;
    std::vector<int> storedFav1;
    std::vector<int> userListsAfter;
};

class FavUnsavedTest : public ::testing::TestWithParam<UnsavedCase> {};

// A tick not saved yet: Create and Delete ask first, and save it, drop it or do nothing.
TEST_P(FavUnsavedTest, CreateAndDeleteAskBeforeDroppingUnsavedChanges) {
    const UnsavedCase& c = GetParam();
    FavFixture f;
    createUserLists(*f.image, 1);
    f.open();
    f.tick(4, true);
    f.prompts.confirmAnswers = {true};
    f.prompts.saveAnswers = {c.answer};
    if (c.deleting) f.choose(9);
    test::click(c.deleting ? f.dialog->deleteButton() : f.dialog->createButton());
    ASSERT_FALSE(f.prompts.messages.empty());
    EXPECT_EQ(f.prompts.messages.back().text,
              QString("The fav lists have changes that are not saved. Save them before %1?")
                  .arg(c.deleting ? "deleting the list" : "creating a new list"));
    EXPECT_EQ(test::listEntries(*f.image, kFav1), c.storedFav1);
    EXPECT_EQ(usedUserLists(*f.image), c.userListsAfter);
    f.choose(kFav1);
    EXPECT_EQ(f.ticked(), c.answer == SaveChoice::Discard ? std::vector<int>{} : std::vector<int>{4});
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FavUnsavedTest,
    ::testing::Values(UnsavedCase{"CreateAfterSave", false, SaveChoice::Save, {4}, {9, 10}},
                      UnsavedCase{"CreateDiscarding", false, SaveChoice::Discard, {}, {9, 10}},
                      UnsavedCase{"CreateCancelled", false, SaveChoice::Cancel, {}, {9}},
                      UnsavedCase{"DeleteAfterSave", true, SaveChoice::Save, {4}, {}},
                      UnsavedCase{"DeleteDiscarding", true, SaveChoice::Discard, {}, {}},
                      UnsavedCase{"DeleteCancelled", true, SaveChoice::Cancel, {}, {9}}),
    [](const auto& row) { return std::string(row.param.name); });

struct NameCase {
    const char* name;
    QString entered;
    bool pasted;        // else typed
    QString kept;       // what the edit takes: whole characters within 20 code-page bytes
    QString refused{};  // characters without a stored form: Save Change names them and stores nothing
};

class FavNameTest : public ::testing::TestWithParam<NameCase> {};

// A full name is stored without a terminator, the count field right after it untouched, and
// shown again as entered when the editor opens next.
TEST_P(FavNameTest, NameHoldsAtMostTwentyStoredBytes) {
    const NameCase& c = GetParam();
    FavFixture f;
    f.open();
    if (c.pasted) {
        QApplication::clipboard()->setText(c.entered);
        QTest::keyClick(f.dialog->nameEdit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(f.dialog->nameEdit(), Qt::Key_V, Qt::ControlModifier);
    } else {
        f.rename(c.entered);
    }
    EXPECT_EQ(f.dialog->nameEdit()->text(), c.kept);
    test::click(f.dialog->saveButton());
    if (!c.refused.isEmpty()) {
        f.choose(kFav2);  // refused the same way: Fav1 stays shown
        EXPECT_EQ(f.prompts.texts(),
                  QStringList(2, QString::fromUtf8("“请删除无法保存的字符：%1”").arg(c.refused)));
        EXPECT_EQ(f.dialog->listChoice()->currentIndex(), 0);
        EXPECT_EQ(f.dialog->focusWidget(), f.dialog->nameEdit());
        EXPECT_EQ(storedName(*f.image, kFav1), std::string(kListNameSize, '\0'));
        return;
    }
    std::string stored = nameBytesWithin(c.kept, kListNameSize);
    stored.resize(kListNameSize, '\0');
    EXPECT_EQ(storedName(*f.image, kFav1), stored);
    EXPECT_EQ(f.image->bytes[kDefaultFavOffset + kListNameSize], 0);
    f.quit();
    f.open();
    EXPECT_EQ(f.dialog->nameEdit()->text(), c.kept);
    EXPECT_EQ(f.dialog->listChoice()->itemText(0), c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FavNameTest,
    ::testing::Values(NameCase{"TwentyLetters", "ABCDEFGHIJKLMNOPQRSTU", false, "ABCDEFGHIJKLMNOPQRST"},
                      NameCase{"TenChineseCharacters", QString::fromUtf8("中文频道中文频道中文台"), false,
                               QString::fromUtf8("中文频道中文频道中文")},
                      NameCase{"NoHalfCharacter", QString::fromUtf8("ABCDEFGHIJKLMNOPQRS中"), false,
                               "ABCDEFGHIJKLMNOPQRS"},
                      NameCase{"LongPasteIsCut", QString::fromUtf8("电影频道电影频道电影频道"), true,
                               QString::fromUtf8("电影频道电影频道电影")},
                      NameCase{"CharacterWithoutStoredForm", QString::fromUtf8("Fav😀"), false,
                               QString::fromUtf8("Fav😀"), QString::fromUtf8("😀")}),
    [](const auto& row) { return std::string(row.param.name); });

struct TickCase {
    const char* name;
    std::vector<int> stored;                                // Fav1's entries before opening
    std::vector<std::vector<std::pair<int, bool>>> rounds;  // tick changes, Save Change after each round
    std::vector<int> result;
};

class FavTickOrderTest : public ::testing::TestWithParam<TickCase> {};

TEST_P(FavTickOrderTest, StoredOrderFollowsSaves) {
    const TickCase& c = GetParam();
    FavFixture f;
    writeFav1(*f.image, c.stored);
    f.open();
    for (const auto& round : c.rounds) {
        for (const auto& [service, on] : round) f.tick(service, on);
        test::click(f.dialog->saveButton());
    }
    f.quit();
    EXPECT_EQ(test::listEntries(*f.image, kFav1), c.result);
    EXPECT_TRUE(f.prompts.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Orders, FavTickOrderTest,
    ::testing::Values(TickCase{"UntickAndTickBeforeSaving", {4, 0, 2}, {{{0, false}, {0, true}}}, {4, 0, 2}},
                      TickCase{
                          "UntickSaveTickSaveMovesToEnd", {4, 0, 2}, {{{0, false}}, {{0, true}}}, {4, 2, 0}},
                      TickCase{"NewTicksAppendedInServiceOrder", {3}, {{{5, true}, {1, true}}}, {3, 1, 5}},
                      TickCase{"UntickRemovesServiceListedTwice", {2, 4, 2}, {{{2, false}}}, {4}},
                      TickCase{"EntryNamingNoServiceKept", {900, 1}, {{{0, true}}}, {900, 1, 0}}),
    [](const auto& row) { return std::string(row.param.name); });

// The check list is one Tab stop whose rows are ticked with the arrow keys and Space; a list
// holding 300 entries refuses the next tick and says so, until one is ticked off.
TEST(FavListEditor, CheckListTakesKeysAndAFullListRefusesTheNextTick) {
    FavFixture f;
    std::vector<int> full(kFavCapacity - 1, 900);
    full.push_back(0);
    writeFav1(*f.image, full);
    f.open();
    QApplication::setActiveWindow(f.dialog.get());
    QTableWidget* list = f.dialog->checkList();
    f.tick(0, true);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(f.ticked(), std::vector<int>{0});
    EXPECT_EQ(f.prompts.texts(),
              QStringList{"Fail to add the channel. There are 300 channels in the fav list already."});
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Space);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(f.ticked(), std::vector<int>{1});
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), f.dialog->saveButton());
    QTest::keyClick(f.dialog->saveButton(), Qt::Key_Space);
    EXPECT_EQ(test::listEntries(*f.image, kFav1).back(), 1);
}

// "Members only" and the filter narrow the rows; Down leads from the filter to the first row
// shown, whose tick then changes with Space.
TEST(FavListEditor, FilterAndMembersOnlyShowTheRowsToTick) {
    FavFixture f;
    writeFav1(*f.image, {4, 1, 2});
    f.open();
    const auto visible = [&f] {
        std::vector<int> rows;
        for (int row = 0; row < 6; ++row)
            if (!f.dialog->checkList()->isRowHidden(row)) rows.push_back(row);
        return rows;
    };
    QTest::mouseClick(f.dialog->membersOnly(), Qt::LeftButton);
    EXPECT_EQ(visible(), (std::vector<int>{1, 2, 4}));
    test::typeText(f.dialog->filter(), "SERVICE 5");
    EXPECT_EQ(visible(), std::vector<int>{4});
    QTest::keyClick(f.dialog->filter(), Qt::Key_Down);
    QTest::keyClick(f.dialog->checkList(), Qt::Key_Space);
    EXPECT_EQ(visible(), std::vector<int>{4});
    test::click(f.dialog->saveButton());
    EXPECT_EQ(test::listEntries(*f.image, kFav1), (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace tovu::ui
