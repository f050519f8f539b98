// The main window driven as a user drives it: finding and sorting in the list, the commands of
// its buttons, keys and menus, undo and redo of every kind of change, the question on quitting
// with unsaved changes, its layout and what it remembers for the next start.
#include "UiTestSupport.h"

#include "db/DbStore.h"
#include "support/TestSupport.h"
#include "ui/IpAddressEdit.h"

#include <QFile>
#include <QLineEdit>

namespace tovu::ui {
namespace {

using test::WindowHarness;
using tovu::test::TempDir;

// Six TV services whose names and frequencies sort differently as texts and as numbers;
// favourite list 1 holds services 1 and 4.
std::unique_ptr<ChannelDbImage> sixServices() {
    auto image = std::make_unique<ChannelDbImage>();
    const char* const names[] = {"Service 10", "Service 9", "service 2", "Service 1", "Zed", "3sat"};
    const uint16_t transponders[] = {90, 3, 50, 1, 70, 2};  // 1194000 KHz, 498000 KHz, ...
    for (int i = 0; i < 6; ++i)
        (void)addChannel(*image, test::makeService(uint16_t(101 + i), transponders[i], kProgTv, names[i]));
    for (const int service : {1, 4}) (void)addToList(*image, service, kListFirstDefault);
    return image;
}

// Every service stands once in the type list of its type and in no other.
void expectListRules(const ChannelDbImage& image) {
    for (int i = 0; i < channelCount(image); ++i) {
        ChannelRecord r;
        ASSERT_EQ(getChannel(image, i, r), 1);
        for (int list = kListTv; list <= kListData; ++list) {
            const auto entries = test::listEntries(image, list);
            EXPECT_EQ(std::count(entries.begin(), entries.end(), i),
                      list == typeListOf(r.progType()) - 1 ? 1 : 0);
        }
    }
}

struct WindowCase {
    const char* name;
    const char* input;               // played in the window, the first row selected
    const char* dialog = nullptr;    // played in the dialog the input opens
    const char* answers = "";        // the prompts' answers; a file is named in the test's folder
    const char* shown = nullptr;     // "No." of the rows shown afterwards, top to bottom
    const char* ids = nullptr;       // the service ids afterwards
    const char* selected = nullptr;  // the records selected afterwards
    std::string messages = "";       // every message shown, joined by "|"
    const char* undo = nullptr;      // the change's step, which is then undone and redone
    const char* selectedAfterUndo = nullptr;
    bool open = true;
    int services = 6;  // else that many services "Service 1".."Service n"
    void (*prepare)(ChannelDbImage&) = nullptr;
};

void PrintTo(const WindowCase& c, std::ostream* out) { *out << c.name; }

class MainWindow : public testing::TestWithParam<WindowCase> {};

TEST_P(MainWindow, ShowsTheOutcomeOfTheUsersInput) {
    const WindowCase& c = GetParam();
    // The test's folder holds a database file of three services and a DreamBox folder.
    TempDir dir;
    ASSERT_EQ(saveDbToPath(*test::imageWithServices(3), dir.file("three.kdat")), SaveResult::Saved);
    const std::string lamedb =
        "eDVB services /4/\ntransponders\n00c00000:0437:0001\n\tc 346000:6875000:2:3:0:0:0\n/\nend\n"
        "services\n6d66:00c00000:0437:0001:1:0\nFirst TV\np:P\nend\n";
    std::filesystem::create_directory(dir.file("dream"));
    tovu::test::writeFileBytes(dir.file("dream/lamedb"), {lamedb.begin(), lamedb.end()});
    WindowHarness h(c.services == 6 ? sixServices() : test::imageWithServices(c.services));
    for (const QString& answer : QString(c.answers).split(", ", Qt::SkipEmptyParts))
        h.prompts.answers << (answer == "-" ? QString()
                              : QStringList{"ok", "save", "discard"}.contains(answer)
                                  ? answer
                                  : QString::fromStdString(dir.file(answer.toStdString())));
    if (c.prepare != nullptr) c.prepare(*h.image);
    const ChannelDbImage before = *h.image;
    if (c.dialog != nullptr) WindowHarness::playInDialog(c.dialog);
    h.play(c.input);

    test::expectIfGiven(h.shown(), c.shown);
    test::expectIfGiven(test::joined(test::serviceIds(*h.image)), c.ids);
    test::expectIfGiven(test::joined(h.window->selectedRecords()), c.selected);
    EXPECT_EQ(h.prompts.texts(), QString::fromStdString(c.messages));
    EXPECT_EQ(h.window->isVisible(), c.open);
    if (c.undo == nullptr) return;

    // Undo puts back the image with its lists and the selection, redo the change; a loaded file
    // holds no unsaved changes.
    const ChannelDbImage after = *h.image;
    ASSERT_FALSE(after.bytes == before.bytes);
    expectListRules(after);
    EXPECT_EQ(h.window->undoAction()->text(), QStringLiteral("&Undo ") + c.undo);
    const bool loaded = QString(c.undo).startsWith("Load Channel");
    EXPECT_EQ(h.window->isWindowModified(), !loaded);
    h.activate();
    h.play("Ctrl+Z");
    EXPECT_TRUE(h.image->bytes == before.bytes);
    EXPECT_EQ(test::joined(h.window->selectedRecords()), c.selectedAfterUndo);
    EXPECT_EQ(h.window->isWindowModified(), loaded);
    h.play("Ctrl+Y");
    EXPECT_TRUE(h.image->bytes == after.bytes);
    h.play("Ctrl+Z, Ctrl+Shift+Z");
    EXPECT_TRUE(h.image->bytes == after.bytes);
}

const char* const kSix = "101 102 103 104 105 106";
const std::string kAsked = "The channel database has changes that are not saved. Save them before quitting?";
const std::string kSelectToEdit = "Please select the channel want to Edit!";
const std::string kLoadFirst = "There are not channels in list, Please Load DB First!";

INSTANTIATE_TEST_SUITE_P(
    Inputs, MainWindow,
    testing::Values(
        // Finding: any shown field holds the text, whatever its case.
        WindowCase{.name = "FilterIgnoresCase", .input = "Ctrl+F, type:SERVICE 1", .shown = "1 4"},
        WindowCase{.name = "FilterFindsTheFrequency", .input = "Ctrl+F, type:9", .shown = "1 2 6"},
        WindowCase{.name = "EscapeClearsTheFilterThenQuits",
                   .input = "Ctrl+F, type:zed, Esc, Esc",
                   .shown = "1 2 3 4 5 6",
                   .open = false},
        WindowCase{.name = "DownThenDeleteTakesTheFirstShownRow",
                   .input = "Ctrl+F, type:service, Down, Del",
                   .shown = "1 2 3",
                   .ids = "102 103 104 105 106"},
        WindowCase{.name = "SelectAllDeletesOnlyTheShownRows",
                   .input = "Ctrl+F, type:service, Down, Ctrl+A, Del",
                   .shown = "",
                   .ids = "105 106"},
        // Sorting: numbers before texts, texts in natural order, then reversed, then record order.
        WindowCase{.name = "NamesSortNumbersFirst", .input = "header:1", .shown = "6 4 3 2 1 5"},
        WindowCase{.name = "FrequenciesSortAsNumbersReversed",
                   .input = "header:5, header:5",
                   .shown = "1 5 3 2 6 4"},
        WindowCase{.name = "ThirdClickReturnsToRecordOrder",
                   .input = "header:5, header:5, header:5",
                   .shown = "1 2 3 4 5 6"},
        WindowCase{.name = "SortedAndFilteredDeleteHitsTheClickedRecord",
                   .input = "header:5, header:5, Ctrl+F, type:service, click:1, Del",
                   .shown = "1 2 3",
                   .ids = "101 102 104 105 106"},
        // Deleting shifts the later services; the first row left is selected, else the last.
        WindowCase{.name = "DeleteKey",
                   .input = "click:1, ctrl-click:3, ctrl-click:4, Del",
                   .ids = "101 103 106",
                   .selected = "1",
                   .undo = "Del Channel",
                   .selectedAfterUndo = "1 3 4"},
        WindowCase{.name = "DeleteTheLastRowsSelectsTheNewLast",
                   .input = "click:3, shift-click:5, Del",
                   .ids = "101 102 103",
                   .selected = "2"},
        WindowCase{.name = "CommandsWithoutASelectionSayWhy",
                   .input = "ctrl-click:0, Del, button:Edit Channel",
                   .messages = "Please select the channel want to Del!|" + kSelectToEdit},
        WindowCase{.name = "CommandsWithoutServicesSayWhy",
                   .input = "button:Resort Channel, button:Edit Fav List",
                   .messages = kLoadFirst + "|" + kLoadFirst,
                   .services = 0},
        // Adding and editing through Channel Edit; a refused service keeps the dialog open.
        WindowCase{.name = "InsertKeyAddsAfterTheLastRow",
                   .input = "click:0, Ins",
                   .dialog = "set:Service Id:=500, button:Save Change",
                   .ids = "101 102 103 104 105 106 500",
                   .selected = "6",
                   .undo = "Add Channel",
                   .selectedAfterUndo = "0"},
        WindowCase{.name = "AddFromTheMenuCancelled",
                   .input = "click:1, bar:Edit>Add Channel",
                   .dialog = "button:Quit Editor",
                   .ids = kSix,
                   .selected = "1"},
        WindowCase{
            .name = "AddRefusesTakenIds",
            .input = "button:Add Channel",
            .dialog = "set:Service Id:=104, set:Transponder Id:=1, button:Save Change, button:Quit Editor",
            .ids = kSix,
            .messages = "“已有频道使用这个Service Id和Transponder Id，请填入其他的值。”"},
        WindowCase{.name = "AddToAFullTableRefused",
                   .input = "button:Add Channel",
                   .dialog = "set:Service Id:=5000, button:Save Change, button:Quit Editor",
                   .messages = "“不能再添加频道：最多可以保存1000个频道。”",
                   .services = 1000},
        WindowCase{.name = "F2EditsTheCurrentRow",
                   .input = "click:1, ctrl-click:3, F2",
                   .dialog = "set:Prog type=Radio, button:Save Change",
                   .selected = "3",
                   .undo = "Edit Channel",
                   .selectedAfterUndo = "1 3"},
        WindowCase{.name = "DoubleClickEditsTheSelectedRow",
                   .input = "click:2, dclick:0",
                   .dialog = "button:Save Change",
                   .selected = "2"},
        WindowCase{.name = "OnlyALeftDoubleClickEdits",
                   .input = "ctrl-click:0, right-dclick:9, dclick:9",
                   .messages = kSelectToEdit},
        WindowCase{.name = "LockFromTheContextMenu",
                   .input = "click:0, shift-click:3, menu:Parent Lock>Locked",
                   .undo = "Parent Lock: Locked",
                   .selectedAfterUndo = "0 1 2 3"},
        WindowCase{.name = "RadioFromTheContextMenu",
                   .input = "click:1, ctrl-click:4, menu:Prog type>Radio",
                   .undo = "Prog type: Radio",
                   .selectedAfterUndo = "1 4"},
        WindowCase{.name = "ReplaceInNames",
                   .input = "click:0, ctrl-click:5, menu:Replace in names…",
                   .dialog = "set:Find:=Service, set:Replace with:=Chan, button:Replace",
                   .undo = "Replace in names",
                   .selectedAfterUndo = "0 5"},
        // Loading a file or a DreamBox folder, and the list dialogs' Save Change.
        WindowCase{.name = "LoadFile",
                   .input = "button:Load Channel Info DB",
                   .answers = "three.kdat",
                   .shown = "1 2 3",
                   .selected = "0",
                   .undo = "Load Channel Info DB",
                   .selectedAfterUndo = "0"},
        WindowCase{.name = "LoadUnopenableFile",
                   .input = "click:1, button:Load Channel Info DB",
                   .answers = "missing.kdat",
                   .ids = kSix,
                   .selected = "1",
                   .messages = "Fail to open DB!"},
        WindowCase{.name = "DreamBoxImport",
                   .input = "button:Load DreamBox Channel",
                   .answers = "dream",
                   .shown = "1",
                   .undo = "Load DreamBox Channel",
                   .selectedAfterUndo = "0"},
        WindowCase{.name = "ResortSaveChange",
                   .input = "button:Resort Channel",
                   .dialog = "click:0, button:Move Down, button:Save Change, button:Quit without Save",
                   .undo = "Resort TV List",
                   .selectedAfterUndo = "0"},
        WindowCase{.name = "FavListSaveChange",
                   .input = "button:Edit Fav List",
                   .dialog = "click:0, Space, button:Save Change, button:Quit without Save",
                   .undo = "Edit Fav List",
                   .selectedAfterUndo = "0"},
        WindowCase{.name = "HelpAbout", .input = "bar:Help>About", .dialog = "button:Ok"},
        // Quitting with unsaved changes asks first: Save (stays open when that fails), Discard or Cancel.
        WindowCase{.name = "QuitButtonAsksAndSaves",
                   .input = "click:0, Del, button:Quit Editor",
                   .answers = "save, saved.kdat",
                   .messages = kAsked,
                   .open = false},
        WindowCase{.name = "EscapeAsksAndDiscards",
                   .input = "click:0, Del, Esc",
                   .answers = "discard",
                   .messages = kAsked,
                   .open = false},
        WindowCase{.name = "CloseBoxAsksAndIsCancelled",
                   .input = "click:0, Del, close",
                   .answers = "-",
                   .messages = kAsked},
        WindowCase{.name = "FailedSaveStaysOpen",
                   .input = "click:0, Del, Esc",
                   .answers = "save, no/x.kdat",
                   .messages = kAsked + "|Fail to open DB!"},
        WindowCase{.name = "EnterSavesThenEscapeQuitsAtOnce",
                   .input = "click:0, Del, focus:saveFilePath, Return, Esc",
                   .answers = "saved.kdat",
                   .open = false},
        WindowCase{.name = "UndoneToTheFileQuitsAtOnce", .input = "click:0, Del, Ctrl+Z, Esc", .open = false},
        WindowCase{.name = "ChangeWithoutAStepAsks",
                   .input = "Esc",
                   .messages = kAsked,
                   .prepare = [](ChannelDbImage& image) { image.bytes[100] ^= 1; }}),
    [](const auto& row) { return std::string(row.param.name); });

// Dragging a column title's right edge widens the column by that much.
void widenColumn(QTableView* list, int column, int by) {
    QHeaderView* header = list->horizontalHeader();
    const QPoint edge(header->sectionViewportPosition(column) + header->sectionSize(column) - 1,
                      header->height() / 2);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, edge);
    QTest::mouseMove(header->viewport(), edge + QPoint(by, 0));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, edge + QPoint(by, 0));
}

// At its first start the window shows twenty rows; every column fits its texts and the Name
// column takes the width left over, also beside a column the user widened.
TEST(MainWindowLayout, ShowsTwentyRowsAndColumnsThatFitTheirTexts) {
    auto image = std::make_unique<ChannelDbImage>();
    (void)addChannel(*image, test::makeService(7, 3, kProgRadio, "中央人民广播电台音乐之声"));
    (void)addChannel(*image, test::makeService(65535, 4, kProgTv, "Data"));
    WindowHarness h(std::move(image));
    QTableView* list = h.window->channelList();
    EXPECT_GE(list->viewport()->height(), 20 * list->verticalHeader()->defaultSectionSize());
    for (int c = 0; c < list->model()->columnCount(); ++c)
        for (int row = 0; row < 2; ++row)
            EXPECT_LT(list->fontMetrics().horizontalAdvance(list->model()->index(row, c).data().toString()),
                      list->columnWidth(c));
    h.window->resize(1900, 700);
    const int qam = list->columnWidth(7);
    widenColumn(list, 7, 40);
    EXPECT_EQ(list->columnWidth(7), qam + 40);
    EXPECT_EQ(list->horizontalHeader()->length(), list->viewport()->width());
}

// The address is one Tab stop, entered at its first number and left from any of them both ways;
// a complete number (one above 255 becomes 255), '.', Right at a number's end and Left at its
// start move between its numbers.
TEST(MainWindowAddress, IsOneTabStopWhoseNumbersAreReachedWithTheKeys) {
    WindowHarness h(test::imageWithServices(0));
    const std::pair<const char*, const char*> steps[] = {{"focus:ipField0, type:300", "ipField1"},
                                                         {"type:8, .", "ipField2"},
                                                         {"Tab", "saveFilePath"},
                                                         {"Shift+Tab", "ipField0"},
                                                         {"End, Right", "ipField1"},
                                                         {"Home, Left", "ipField0"},
                                                         {"Right, Shift+Tab", "button2"}};
    for (const auto& [input, focus] : steps) {
        h.play(input);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), focus) << input;
    }
    EXPECT_EQ(h.window->addressEdit()->address(), std::optional<uint32_t>(0xFF080000));
}

QString fieldsOf(const MainEditorDialog& window) {
    QStringList texts;
    for (int k = 0; k < 4; ++k) texts << window.addressEdit()->field(k)->text();
    return texts.join('.') + " " + window.saveFilePathEdit()->text() + " " +
           window.uploadFilePathEdit()->text() + " " + window.providerFilePathEdit()->text();
}

// The address (each number moving on to the next once complete), the paths, a widened column
// and the size come back at the next start; a remembered address that is no address does not.
TEST(MainWindowSettings, AddressPathsColumnsAndSizeComeBackAtTheNextStart) {
    WindowHarness h(test::imageWithServices(3));
    h.prompts.answers = {"/tmp/d.kdat", "/tmp/u.kdat"};  // the third chooser is cancelled
    h.play(
        "focus:ipField0, type:1921681005, button:Select File, focus:providerFilePath, "
        "type:/tmp/c.xml");
    widenColumn(h.window->channelList(), 7, 40);
    const int qamWidth = h.window->channelList()->columnWidth(7);
    h.window->resize(780, 520);
    h.play("button:Quit Editor");

    MainEditorDialog again(*h.image, *h.snapshot, h.prompts);
    EXPECT_EQ(fieldsOf(again), "192.168.100.5 /tmp/d.kdat /tmp/u.kdat /tmp/c.xml");
    EXPECT_EQ(again.addressEdit()->address(), std::optional<uint32_t>(0xC0A86405));
    EXPECT_EQ(again.channelList()->columnWidth(7), qamWidth);
    EXPECT_EQ(again.size(), QSize(780, 520));

    QFile file(openEditorSettings()->fileName());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[window]\nreceiverAddress=10.0.0.256\nsaveFilePath=\ngeometry=x\ncolumnWidths=a,,9999\n");
    file.close();
    MainEditorDialog fresh(*h.image, *h.snapshot, h.prompts);
    EXPECT_TRUE(fresh.addressEdit()->isBlank());
    EXPECT_EQ(fresh.saveFilePathEdit()->text(), "");
}

}  // namespace
}  // namespace tovu::ui
