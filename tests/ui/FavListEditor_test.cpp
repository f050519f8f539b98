// The Fav List Editor driven by clicks and keys, on an image and snapshot of the test's own:
// ticks and names saved together, lists created and deleted, the question about unsaved
// changes, and everything not saved undone when it closes.
#include "UiTestSupport.h"

#include "ui/FavListEditorDialog.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>

namespace tovu::ui {
namespace {

// Writes Fav1's entries directly, as a loaded file may hold them (twice, or naming no service).
void writeFav1(ChannelDbImage& image, const std::vector<int>& entries) {
    uint8_t* list = image.bytes.data() + kDefaultFavOffset;
    writeLe32(list + kListCountField, static_cast<uint32_t>(entries.size()));
    for (size_t k = 0; k < entries.size(); ++k)
        writeLe16(list + kListEntriesField + 2 * k, static_cast<uint16_t>(entries[k]));
}

// The favourite lists stored: "id:name:entries" of every user list and of every default list that
// holds entries or a name of its own (names "Fav1", "Fav2", ... are left out).
QString storedLists(const ChannelDbImage& image) {
    int ids[kListIdCount] = {3, 4, 5, 6, 7};  // the default lists, then the user lists
    int users = static_cast<int>(kUserFavCount);
    listUserLists(image, ids + 5, users);
    QStringList lists;
    for (int k = 0; k < 5 + users; ++k) {
        uint8_t bytes[kListNameSize] = {};
        EXPECT_EQ(getListName(image, ids[k], bytes, static_cast<int>(kListNameSize)), 1);
        QString name = QString::fromStdString(nameToUtf8(bytes, kListNameSize));
        if (QRegularExpression("^Fav[0-9]+$").match(name).hasMatch()) name.clear();
        const QString entries = test::joined(test::listEntries(image, ids[k]));
        if (k >= 5 || !name.isEmpty() || !entries.isEmpty())
            lists << QString("%1:%2:%3").arg(ids[k]).arg(name, entries);
    }
    return lists.join("; ");
}

struct FavCase {
    const char* name;
    std::string input;
    const char* stored = nullptr;  // the lists stored once the editor is gone (see storedLists)
    std::string messages = "";
    const char* answers = "";
    const char* shown = nullptr;  // the choice box's entries, and after ">" its current entry
    std::vector<int> fav1 = {};   // Fav1's entries before opening
    int userLists = 0;            // created before opening: 9, 10, ...
    bool scrambled = false;       // uninterpreted bytes too must come back as they were
};

void PrintTo(const FavCase& c, std::ostream* out) { *out << c.name; }

class FavListEditorInput : public testing::TestWithParam<FavCase> {};

// Six services "Service 1".."Service 6"; a row is ticked with a click on it, then Space.
TEST_P(FavListEditorInput, StoresWhatWasSavedAndPutsBackTheRest) {
    const FavCase& c = GetParam();
    test::uiApplication();
    auto image = test::imageWithServices(6);
    writeFav1(*image, c.fav1);
    int id = 0;
    for (int k = 0; k < c.userLists; ++k) ASSERT_EQ(createUserList(*image, id), 1);
    for (size_t i = 0; c.scrambled && i < image->bytes.size(); i += 997) image->bytes[i] ^= 0x5A;
    const ChannelDbImage before = *image;
    ChannelDbImage snapshot;
    test::FakePrompts prompts;
    prompts.answers = QString(c.answers).split(", ", Qt::SkipEmptyParts).replaceInStrings("-", "");
    auto dialog = std::make_unique<FavListEditorDialog>(*image, snapshot, prompts);
    dialog->show();
    test::play(dialog.get(), QString::fromStdString(c.input));
    QStringList choices;
    for (int k = 0; k < dialog->listChoice()->count(); ++k) choices << dialog->listChoice()->itemText(k);
    test::expectIfGiven(choices.join(' ') + " > " + dialog->listChoice()->currentText(), c.shown);
    EXPECT_EQ(prompts.texts(), QString::fromStdString(c.messages));
    dialog.reset();
    test::expectIfGiven(storedLists(*image), c.stored);
    EXPECT_TRUE(!c.scrambled || image->bytes == before.bytes);
}

const std::string kUnsavedEdits =
    "click:2, Space, click:5, Space, set:New Name:=Renamed, button:Create New List, set:Channel List:=Fav6, "
    "button:Delete List";
const std::string kAskCreate =
    "The fav lists have changes that are not saved. Save them before creating a new list?";
const std::string kConfirmDelete = "Click [OK] to delete the selected fav list!";

INSTANTIATE_TEST_SUITE_P(
    Inputs, FavListEditorInput,
    testing::Values(
        // Ticks and names are kept across list switches and saved together.
        FavCase{
            "TicksAndNamesOfSeveralListsAreSavedTogether",
            "click:3, Space, click:1, Space, set:New Name:=Movies, set:Channel List:=Fav2, click:2, Space, "
            "set:Channel List:=Fav1, button:Save Change",
            "3:Movies:1 3; 4::2"},
        FavCase{.name = "SavedNameIsShownAtOnce",
                .input = "set:New Name:=Movies, button:Save Change",
                .stored = "3:Movies:",
                .shown = "Movies Fav2 Fav3 Fav4 Fav5 > Movies"},
        FavCase{.name = "CreatedListIsShownEmptyAndKeptOnceSaved",
                .input = "button:Create New List, click:3, Space, button:Save Change",
                .stored = "9::3",
                .shown = "Fav1 Fav2 Fav3 Fav4 Fav5 Fav6 > Fav6"},
        // However the editor closes, what was not saved is undone, byte for byte.
        FavCase{.name = "QuitButtonUndoesWhatWasNotSaved",
                .input = kUnsavedEdits + ", button:Quit without Save",
                .messages = kAskCreate + "|" + kConfirmDelete,
                .answers = "discard, ok",
                .fav1 = {2},
                .userLists = 1,
                .scrambled = true},
        FavCase{.name = "EscapeUndoesWhatWasNotSaved",
                .input = kUnsavedEdits + ", Esc",
                .messages = kAskCreate + "|" + kConfirmDelete,
                .answers = "discard, ok",
                .fav1 = {2},
                .userLists = 1,
                .scrambled = true},
        FavCase{.name = "DestroyedUnclosedUndoesWhatWasNotSaved",
                .input = kUnsavedEdits,
                .messages = kAskCreate + "|" + kConfirmDelete,
                .answers = "discard, ok",
                .fav1 = {2},
                .userLists = 1,
                .scrambled = true},
        // A deleted list gives way to the next one, or the one before it when it was the last.
        FavCase{.name = "DeletingTheLastListShowsTheOneBefore",
                .input = "set:Channel List:=Fav8, button:Delete List, button:Save Change",
                .stored = "9::; 10::",
                .messages = kConfirmDelete,
                .answers = "ok",
                .shown = "Fav1 Fav2 Fav3 Fav4 Fav5 Fav6 Fav7 > Fav7",
                .userLists = 3},
        FavCase{.name = "DeletingTheOnlyUserListShowsFav5",
                .input = "set:Channel List:=Fav6, button:Delete List, button:Save Change",
                .stored = "",
                .messages = kConfirmDelete,
                .answers = "ok",
                .shown = "Fav1 Fav2 Fav3 Fav4 Fav5 > Fav5",
                .userLists = 1},
        // With 21 lists Create is refused; Delete is refused for a default list and on Cancel.
        FavCase{
            .name = "RefusedCreateAndDeleteChangeNothing",
            .input = "button:Delete List, set:Channel List:=Fav9, click:1, Space, button:Create New List, "
                     "button:Delete List",
            .messages = "The selected fav list is a default list, unable to delete!|Fail to create new fav "
                        "list. There are 21 fav lists already.|" +
                        kConfirmDelete,
            .answers = "-",
            .userLists = 16,
            .scrambled = true},
        // A tick not saved yet: Create and Delete ask first, then save it, drop it or do nothing.
        FavCase{.name = "CreateAsksAndSaves",
                .input = "click:4, Space, button:Create New List",
                .stored = "3::4; 9::",
                .messages = kAskCreate,
                .answers = "save",
                .userLists = 1},
        FavCase{.name = "CreateAsksAndIsCancelled",
                .input = "click:4, Space, button:Create New List",
                .stored = "9::",
                .messages = kAskCreate,
                .answers = "-",
                .shown = "Fav1 Fav2 Fav3 Fav4 Fav5 Fav6 > Fav1",
                .userLists = 1},
        FavCase{
            .name = "DeleteAsksAndDiscards",
            .input = "click:4, Space, set:Channel List:=Fav6, button:Delete List, button:Save Change",
            .stored = "",
            .messages = kConfirmDelete +
                        "|The fav lists have changes that are not saved. Save them before deleting the list?",
            .answers = "ok, discard",
            .userLists = 1},
        // A name holds whole characters within 20 stored bytes; one without a stored form is refused
        // (also on switching lists) and Fav1 stays shown.
        FavCase{"NameOfTenChineseCharacters", "set:New Name:=中文频道中文频道中文台, button:Save Change",
                "3:中文频道中文频道中文:"},
        FavCase{"NameWithoutAHalfCharacter", "set:New Name:=ABCDEFGHIJKLMNOPQRS中, button:Save Change",
                "3:ABCDEFGHIJKLMNOPQRS:"},
        FavCase{.name = "NameWithoutAStoredForm",
                .input = "set:New Name:=Fav😀, button:Save Change, set:Channel List:=Fav2",
                .stored = "",
                .messages = "“请删除无法保存的字符：😀”|“请删除无法保存的字符：😀”",
                .shown = "Fav1 Fav2 Fav3 Fav4 Fav5 > Fav1"},
        // The stored order follows the saves: new ticks go to the end in service order.
        FavCase{.name = "UntickAndTickBeforeSavingKeepsThePlace",
                .input = "click:0, Space, Space, button:Save Change",
                .stored = "3::4 0 2",
                .fav1 = {4, 0, 2}},
        FavCase{.name = "UntickSaveTickSaveMovesToTheEnd",
                .input = "click:0, Space, button:Save Change, click:0, Space, button:Save Change",
                .stored = "3::4 2 0",
                .fav1 = {4, 0, 2}},
        FavCase{.name = "NewTicksAppendInServiceOrder",
                .input = "click:5, Space, click:1, Space, button:Save Change",
                .stored = "3::3 1 5",
                .fav1 = {3}},
        FavCase{.name = "UntickRemovesAServiceListedTwice",
                .input = "click:2, Space, button:Save Change",
                .stored = "3::4",
                .fav1 = {2, 4, 2}},
        FavCase{.name = "EntryNamingNoServiceIsKept",
                .input = "click:0, Space, button:Save Change",
                .stored = "3::900 1 0",
                .fav1 = {900, 1}},
        // "Members only" and the filter narrow the rows; Down leads to the first row shown.
        FavCase{.name = "FilterAndMembersOnly",
                .input = "button:Members only, focus:filter, type:SERVICE 5, Down, Space, button:Save Change",
                .stored = "3::1 2",
                .fav1 = {4, 1, 2}}),
    [](const auto& row) { return std::string(row.param.name); });

// The check list is one Tab stop whose rows are ticked with the arrow keys and Space; a list
// holding 300 entries refuses the next tick and says so, until one is ticked off.
TEST(FavListEditor, CheckListTakesKeysAndAFullListRefusesTheNextTick) {
    test::uiApplication();
    auto image = test::imageWithServices(6);
    std::vector<int> full(kFavCapacity - 1, 900);
    full.push_back(0);
    writeFav1(*image, full);
    ChannelDbImage snapshot;
    test::FakePrompts prompts;
    FavListEditorDialog dialog(*image, snapshot, prompts);
    dialog.show();
    test::play(&dialog, "click:0, Down, Space");
    EXPECT_EQ(prompts.texts(), "Fail to add the channel. There are 300 channels in the fav list already.");
    test::play(&dialog, "Up, Space, Down, Space, Tab");
    EXPECT_EQ(QApplication::focusWidget(), dialog.saveButton());
    test::play(&dialog, "Space");
    EXPECT_EQ(test::listEntries(*image, kListFirstDefault).back(), 1);
    EXPECT_EQ(test::listEntries(*image, kListFirstDefault).size(), kFavCapacity);
}

}  // namespace
}  // namespace tovu::ui
