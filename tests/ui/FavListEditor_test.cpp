// The Fav List Editor driven through its controls, on an image and snapshot of the test's own.
#include "ui/FavListEditorDialog.h"

#include "UiTestSupport.h"
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

// Types text into a widget one character at a time, as the keyboard would.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(widget, &release);
    }
}

// Six services "Service 1".."Service 6" (indexes 0..5).
class FavFixture {
public:
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

    QApplication& app = testApplication();
    std::unique_ptr<ChannelDbImage> image = test::imageWithServices(6);
    std::unique_ptr<ChannelDbImage> snapshot = std::make_unique<ChannelDbImage>();
    FakePrompts prompts;
    std::unique_ptr<FavListEditorDialog> dialog;
    std::unique_ptr<QSignalSpy> finished;
};

TEST(FavListEditor, OpensOnFav1WithItsTextsAndTicks) {
    FavFixture f;
    writeFav1(*f.image, {4, 1});
    const uint8_t news[kListNameSize] = {'N', 'e', 'w', 's'};
    ASSERT_EQ(setListName(*f.image, kFav2, news), 1);
    int id = 0;
    for (int k = 0; k < 2; ++k) ASSERT_EQ(createUserList(*f.image, id), 1);  // 9, 10
    ASSERT_EQ(deleteUserList(*f.image, 9), 1);
    f.open();
    FavListEditorDialog& d = *f.dialog;
    EXPECT_EQ(d.windowTitle(), "Fav List Editor");
    const QStringList buttons = {d.saveButton()->text(), d.quitButton()->text(), d.createButton()->text(),
                                 d.deleteButton()->text()};
    EXPECT_EQ(buttons, (QStringList{"Save Change", "Quit without Save", "&Create New List", "&Delete List"}));
    EXPECT_TRUE(d.saveButton()->isDefault());
    EXPECT_EQ(d.checkList()->horizontalHeaderItem(0)->text(), "Fav");
    EXPECT_EQ(d.checkList()->columnWidth(0), 220);
    EXPECT_EQ(f.choiceNames(), (QStringList{"Fav1", "News", "Fav3", "Fav4", "Fav5", "Fav6"}));
    EXPECT_EQ(d.state().listIds[5], 10);
    EXPECT_EQ(d.listChoice()->currentIndex(), 0);
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

// Ticks and names are kept across list switches and saved together, an emptied name shows the
// default name again, and a created list is shown empty under its default name and kept once saved.
TEST(FavListEditor, EditsAcrossListsAndNewListAreSavedTogether) {
    FavFixture f;
    const uint8_t named[kListNameSize] = {'A', 'B', 'C'};
    ASSERT_EQ(setListName(*f.image, kFav2, named), 1);
    f.open();
    f.tick(3, true);
    f.tick(1, true);
    f.dialog->nameEdit()->setText("Movies");
    f.choose(kFav2);
    EXPECT_EQ(f.dialog->nameEdit()->text(), "ABC");
    EXPECT_TRUE(f.ticked().empty());
    f.tick(2, true);
    f.dialog->nameEdit()->clear();
    f.choose(kFav1);
    EXPECT_EQ(f.ticked(), (std::vector<int>{1, 3}));
    EXPECT_EQ(f.dialog->nameEdit()->text(), "Movies");
    EXPECT_TRUE(storedList(*f.image, kFav1).empty()) << "nothing stored before Save Change";
    f.dialog->saveButton()->click();

    f.dialog->createButton()->click();
    EXPECT_EQ(f.choiceNames(), (QStringList{"Movies", "Fav2", "Fav3", "Fav4", "Fav5", "Fav6"}));
    EXPECT_EQ(f.dialog->listChoice()->currentIndex(), 5);
    EXPECT_EQ(f.dialog->nameEdit()->text(), "Fav6");
    EXPECT_TRUE(f.ticked().empty());
    f.tick(3, true);
    f.dialog->saveButton()->click();
    EXPECT_EQ(f.finished->count(), 0);  // stays open
    f.quit();
    EXPECT_EQ(storedList(*f.image, kFav1), (std::vector<int>{1, 3}));
    EXPECT_EQ(storedList(*f.image, kFav2), std::vector<int>{2});
    EXPECT_EQ(storedName(*f.image, kFav1).c_str(), std::string("Movies"));
    EXPECT_EQ(usedUserLists(*f.image), std::vector<int>{9});
    EXPECT_EQ(storedName(*f.image, 9), std::string("Fav6", 4) + std::string(16, '\0'));
    EXPECT_EQ(storedList(*f.image, 9), std::vector<int>{3});
    // Lists shown under a default name (also the emptied one) get that name stored.
    EXPECT_EQ(storedName(*f.image, kFav2).c_str(), std::string("Fav2"));
}

struct DeleteCase {
    std::string name;
    int userLists;  // created before opening: 9, 10, ...
    int deleted;
    int shownNext;
};

void PrintTo(const DeleteCase& c, std::ostream* out) { *out << c.name; }

class FavDeleteTest : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(FavDeleteTest, ShowsTheNextListOrTheOneBefore) {
    const DeleteCase& c = GetParam();
    FavFixture f;
    int id = 0;
    for (int k = 0; k < c.userLists; ++k) ASSERT_EQ(createUserList(*f.image, id), 1);
    f.open();
    f.choose(c.deleted);
    f.prompts.confirmAnswers = {true};
    f.dialog->deleteButton()->click();
    ASSERT_EQ(f.prompts.messages.size(), 1u);
    EXPECT_EQ(f.prompts.messages[0].text, "Click [OK] to delete the selected fav list!");
    EXPECT_TRUE(f.prompts.messages[0].confirmation);
    EXPECT_EQ(f.prompts.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(f.prompts.messages[0].caption, QCoreApplication::applicationName());
    const FavEditorState& s = f.dialog->state();
    EXPECT_EQ(s.listIds[static_cast<size_t>(s.currentList)], c.shownNext);
    EXPECT_EQ(f.dialog->listChoice()->currentIndex(), s.currentList);
    EXPECT_EQ(f.dialog->nameEdit()->text(), f.dialog->listChoice()->currentText());
    EXPECT_EQ(s.favListCount, 4 + c.userLists);
    f.dialog->saveButton()->click();
    f.quit();
    EXPECT_FALSE(isExistingFavList(*f.image, c.deleted));
}

INSTANTIATE_TEST_SUITE_P(Deletions, FavDeleteTest,
                         ::testing::Values(DeleteCase{"LastUserList", 3, 11, 10},
                                           DeleteCase{"MiddleUserList", 3, 10, 11},
                                           DeleteCase{"OnlyUserListShowsFav5", 1, 9, kListLastDefault}),
                         [](const ::testing::TestParamInfo<DeleteCase>& row) { return row.param.name; });

// With 16 user lists Create is refused; Delete is refused for a default list and on Cancel.
// Nothing of it changes the image.
TEST(FavListEditor, RefusedCreateAndDeleteChangeNothing) {
    FavFixture f;
    int id = 0;
    for (int k = 0; k < 16; ++k) ASSERT_EQ(createUserList(*f.image, id), 1);
    const ChannelDbImage before = *f.image;
    f.open();
    EXPECT_EQ(f.dialog->listChoice()->count(), 21);
    EXPECT_EQ(f.dialog->listChoice()->itemText(20), "Fav21");
    f.dialog->deleteButton()->click();
    f.choose(12);
    f.dialog->createButton()->click();
    f.prompts.confirmAnswers = {false};
    f.dialog->deleteButton()->click();
    EXPECT_EQ(f.prompts.texts(), (QStringList{"The selected fav list is a default list, unable to delete!",
                                              "Fail to create new fav list. There are 21 fav lists already.",
                                              "Click [OK] to delete the selected fav list!"}));
    ASSERT_EQ(f.prompts.messages.size(), 3u);
    EXPECT_EQ(f.prompts.messages[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(f.prompts.messages[0].confirmation);
    EXPECT_EQ(f.prompts.messages[1].icon, MessageIcon::Critical);
    EXPECT_FALSE(f.prompts.messages[1].confirmation);
    for (const auto& shown : f.prompts.messages)
        EXPECT_EQ(shown.caption, QCoreApplication::applicationName());
    EXPECT_EQ(f.dialog->listChoice()->count(), 21);
    EXPECT_EQ(f.dialog->state().listIds[static_cast<size_t>(f.dialog->state().currentList)], 12);
    EXPECT_TRUE(f.image->bytes == before.bytes);
}

struct NameCase {
    std::string name;
    QString typed;
    QString kept;  // what the edit takes: whole characters within 20 code-page bytes
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.name; }

class FavNameLimitTest : public ::testing::TestWithParam<NameCase> {};

// A full name is stored without a terminator, the count field right after it untouched, and
// shown again as typed when the editor opens next.
TEST_P(FavNameLimitTest, NameHoldsAtMostTwentyBytes) {
    const NameCase& c = GetParam();
    std::string stored = utf8ToName(c.kept.toStdString());
    EXPECT_EQ(listNameBytes(c.typed), std::vector<uint8_t>(stored.begin(), stored.end()));
    stored.resize(kListNameSize, '\0');
    FavFixture f;
    f.open();
    f.dialog->nameEdit()->clear();
    typeText(f.dialog->nameEdit(), c.typed);
    EXPECT_EQ(f.dialog->nameEdit()->text(), c.kept);
    f.dialog->saveButton()->click();
    EXPECT_EQ(storedName(*f.image, kFav1), stored);
    EXPECT_EQ(f.image->bytes[kDefaultFavOffset + kListNameSize], 0);
    f.quit();
    f.dialog.reset();
    f.open();
    EXPECT_EQ(f.dialog->nameEdit()->text(), c.kept);
    EXPECT_EQ(f.dialog->listChoice()->itemText(0), c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FavNameLimitTest,
    ::testing::Values(NameCase{"TwentyLetters", "ABCDEFGHIJKLMNOPQRSTU", "ABCDEFGHIJKLMNOPQRST"},
                      NameCase{"TenChineseCharacters", QString::fromUtf8("中文频道中文频道中文台"),
                               QString::fromUtf8("中文频道中文频道中文")},
                      NameCase{"NoHalfCharacter", QString::fromUtf8("ABCDEFGHIJKLMNOPQRS中"),
                               "ABCDEFGHIJKLMNOPQRS"}),
    [](const ::testing::TestParamInfo<NameCase>& row) { return row.param.name; });

struct TickCase {
    std::string name;
    std::vector<int> stored;                                // Fav1's entries before opening
    std::vector<std::vector<std::pair<int, bool>>> rounds;  // tick changes, Save Change after each round
    std::vector<int> result;
};

void PrintTo(const TickCase& c, std::ostream* out) { *out << c.name; }

class FavTickOrderTest : public ::testing::TestWithParam<TickCase> {};

TEST_P(FavTickOrderTest, StoredOrderFollowsSaves) {
    const TickCase& c = GetParam();
    FavFixture f;
    writeFav1(*f.image, c.stored);
    f.open();
    for (const auto& round : c.rounds) {
        for (const auto& [service, on] : round) f.tick(service, on);
        f.dialog->saveButton()->click();
    }
    f.quit();
    EXPECT_EQ(storedList(*f.image, kFav1), c.result);
    EXPECT_TRUE(f.prompts.messages.empty());
}

const std::vector<int> kFullList(kFavCapacity, 900);

INSTANTIATE_TEST_SUITE_P(
    Orders, FavTickOrderTest,
    ::testing::Values(TickCase{"UntickAndTickBeforeSaving", {4, 0, 2}, {{{0, false}, {0, true}}}, {4, 0, 2}},
                      TickCase{
                          "UntickSaveTickSaveMovesToEnd", {4, 0, 2}, {{{0, false}}, {{0, true}}}, {4, 2, 0}},
                      TickCase{"NewTicksAppendedInServiceOrder", {3}, {{{5, true}, {1, true}}}, {3, 1, 5}},
                      TickCase{"UntickRemovesServiceListedTwice", {2, 4, 2}, {{{2, false}}}, {4}},
                      TickCase{"EntryNamingNoServiceKept", {900, 1}, {{{0, true}}}, {900, 1, 0}},
                      TickCase{"FullListTakesNoMoreSilently", kFullList, {{{1, true}}}, kFullList}),
    [](const ::testing::TestParamInfo<TickCase>& row) { return row.param.name; });

// Create rebuilds the editor from the image, dropping a tick not saved; closing then puts back
// the image as it was at the last Save Change.
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
        dialog->listChoice()->setCurrentIndex(0);
        EXPECT_EQ(dialog->checkList()->item(2, 0)->checkState(), Qt::Checked);
        EXPECT_EQ(dialog->checkList()->item(4, 0)->checkState(), Qt::Unchecked);
        dialog->close();  // the close box
    });
    runFavListEditor(*f.image, *f.snapshot, f.prompts);
    EXPECT_TRUE(seen);
    EXPECT_EQ(storedList(*f.image, kFav1), std::vector<int>{2});
    EXPECT_TRUE(usedUserLists(*f.image).empty());
}

}  // namespace
}  // namespace tovu::ui
