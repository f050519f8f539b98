// Undo and redo of every change the main window makes, the question about unsaved changes on
// quitting, and what the window remembers for the next start.
#include "WindowHarness.h"

#include "db/DbStore.h"
#include "support/TestSupport.h"
#include "ui/ChannelEditDialog.h"
#include "ui/IpAddressEdit.h"

#include <QFile>
#include <QHeaderView>

#include <cstring>

namespace tovu::ui {
namespace {

using test::WindowHarness;
using tovu::test::TempDir;

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

struct UndoCase {
    const char* name;
    QStringList input;
    const char* what;
    QList<int> selectedAfterUndo;
    QStringList inDialog = {};  // input in the dialog the window's input opens
    std::function<void(WindowHarness&)> prepare = {};
    bool loads = false;  // the change loads a file, after which the image holds no unsaved changes
};

class UndoRedo : public testing::TestWithParam<UndoCase> {};

// Six TV services; favourite list 1 holds services 1 and 4.
TEST_P(UndoRedo, UndoRestoresTheImageAndItsListsAndRedoTheChange) {
    const UndoCase& c = GetParam();
    WindowHarness h(6, [](ChannelDbImage& image) {
        for (const int service : {1, 4}) (void)addToList(image, service, kListFirstDefault);
    });
    const ChannelDbImage before = *h.image;
    if (c.prepare) c.prepare(h);
    if (!c.inDialog.isEmpty()) WindowHarness::playInDialog(c.inDialog);
    h.play(c.input);
    const ChannelDbImage after = *h.image;
    ASSERT_FALSE(after.bytes == before.bytes);
    expectListRules(after);
    EXPECT_EQ(h.window->undoAction()->text(), QStringLiteral("&Undo ") + c.what);
    EXPECT_EQ(h.window->isWindowModified(), !c.loads);

    h.activate();
    h.play({"Ctrl+Z"});
    EXPECT_TRUE(h.image->bytes == before.bytes);
    for (int list = kListTv; list <= kListLastDefault; ++list)
        EXPECT_EQ(test::listEntries(*h.image, list), test::listEntries(before, list)) << list;
    EXPECT_EQ(h.window->selectedRecords(), c.selectedAfterUndo);
    EXPECT_EQ(h.window->isWindowModified(), c.loads);
    h.play({"Ctrl+Y"});
    EXPECT_TRUE(h.image->bytes == after.bytes);
    h.play({"Ctrl+Z", "Ctrl+Shift+Z"});
    EXPECT_TRUE(h.image->bytes == after.bytes);
}

const auto kLamedb =
    "eDVB services /4/\ntransponders\n00c00000:0437:0001\n\tc 346000:6875000:2:3:0:0:0\n/\nend\n"
    "services\n6d66:00c00000:0437:0001:1:0\nFirst TV\np:P\nend\n";

INSTANTIATE_TEST_SUITE_P(
    Changes, UndoRedo,
    testing::Values(
        UndoCase{"DeleteKey", {"click:1", "ctrl-click:3", "ctrl-click:4", "Del"}, "Del Channel", {1, 3, 4}},
        UndoCase{"InsertKeyAdds",
                 {"click:0", "Ins"},
                 "Add Channel",
                 {0},
                 {"focus:edit1012", "Ctrl+A", "type:500", "button:Save Change"}},
        UndoCase{"F2EditsTheCurrentRow",
                 {"click:1", "ctrl-click:3", "F2"},
                 "Edit Channel",
                 {1, 3},
                 {},
                 [](auto&) {
                     test::whenModal<ChannelEditDialog>([](ChannelEditDialog& d) {
                         EXPECT_EQ(d.channelIndex(), 3);
                         test::play(&d, {"focus:choice1022", "Down", "button:Save Change"});
                     });
                 }},
        UndoCase{"LockFromTheContextMenu",
                 {"click:0", "shift-click:3", "menu:Parent Lock>Locked"},
                 "Parent Lock: Locked",
                 {0, 1, 2, 3}},
        UndoCase{"RadioFromTheContextMenu",
                 {"click:1", "ctrl-click:4", "menu:Prog type>Radio"},
                 "Prog type: Radio",
                 {1, 4}},
        UndoCase{"ReplaceInNames",
                 {"click:0", "ctrl-click:5", "menu:Replace in names…"},
                 "Replace in names",
                 {0, 5},
                 {"type:Service", "Tab", "type:Chan", "button:Replace"}},
        UndoCase{"LoadFile",
                 {"button:&Load Channel Info DB"},
                 "Load Channel Info DB",
                 {0},
                 {},
                 [](auto& h) {
                     static TempDir dir;
                     ASSERT_EQ(saveDbToPath(*test::imageWithServices(3), dir.file("3.kdat")),
                               SaveResult::Saved);
                     h.prompts.fileAnswers.push_back(QString::fromStdString(dir.file("3.kdat")));
                 },
                 true},
        UndoCase{
            "DreamBoxImport",
            {"button:Load &DreamBox Channel"},
            "Load DreamBox Channel",
            {0},
            {},
            [](auto& h) {
                static TempDir dir;
                tovu::test::writeFileBytes(dir.file("lamedb"), {kLamedb, kLamedb + std::strlen(kLamedb)});
                h.prompts.folderAnswers.push_back(QString::fromStdString(dir.path().string()));
            }},
        UndoCase{"ResortSaveChange",
                 {"button:&Resort Channel"},
                 "Resort TV List",
                 {0},
                 {"click:0", "button:Move Down", "button:Save Change", "button:Quit without Save"}},
        UndoCase{"FavListSaveChange",
                 {"button:Edit &Fav List"},
                 "Edit Fav List",
                 {0},
                 {"click:0", "Space", "button:Save Change", "button:Quit without Save"}}),
    [](const auto& row) { return std::string(row.param.name); });

struct QuitCase {
    const char* name;
    QStringList input;
    std::vector<SaveChoice> answers;
    const char* file;  // the save chooser's answer, nullptr: cancelled
    bool open;
    QStringList messages = {
        "The channel database has changes that are not saved. Save them before quitting?"};
};

class QuitWithChanges : public testing::TestWithParam<QuitCase> {};

TEST_P(QuitWithChanges, AsksToSaveAndStaysOpenUnlessSavedOrDiscarded) {
    const QuitCase& c = GetParam();
    WindowHarness h(3);
    TempDir dir;
    h.play({"click:0", "Del"});
    EXPECT_TRUE(h.window->isWindowModified());
    h.prompts.saveAnswers.assign(c.answers.begin(), c.answers.end());
    if (c.file != nullptr) h.prompts.fileAnswers.push_back(QString::fromStdString(dir.file(c.file)));
    if (c.input.isEmpty()) h.window->close();  // the close box
    h.play(c.input);
    EXPECT_EQ(h.window->isVisible(), c.open);
    EXPECT_EQ(h.prompts.texts(), c.messages);
    auto saved = std::make_unique<ChannelDbImage>();
    if (c.file != nullptr && loadDbFromPath(*saved, dir.file(c.file)) == LoadResult::Loaded) {
        EXPECT_EQ(test::serviceIds(*saved), (std::vector<int>{102, 103}));
    }
}

const QString kAsked = QuitCase{}.messages.front();
INSTANTIATE_TEST_SUITE_P(
    Ways, QuitWithChanges,
    testing::Values(
        QuitCase{"QuitButtonSaves", {"button:&Quit Editor"}, {SaveChoice::Save}, "saved.kdat", false},
        QuitCase{"EscapeDiscards", {"Esc"}, {SaveChoice::Discard}, nullptr, false},
        QuitCase{"CloseBoxCancelled", {}, {SaveChoice::Cancel}, nullptr, true},
        QuitCase{
            "SaveFails", {"button:&Quit Editor"}, {SaveChoice::Save}, "no/x", true, {kAsked, kFailToOpenDb}},
        QuitCase{"UndoneToTheFileQuitsAtOnce", {"Ctrl+Z", "button:&Quit Editor"}, {}, nullptr, false, {}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(RememberedSettings, AddressPathsColumnsAndSizeComeBackAndACorruptFileStartsAfresh) {
    WindowHarness h(3);
    h.play({"focus:receiverAddress", "type:192.168.1.5", "focus:saveFilePath", "type:/tmp/d.kdat",
            "focus:uploadFilePath", "type:/tmp/u.kdat", "focus:providerFilePath", "type:/tmp/c.xml"});
    QHeaderView* header = h.window->channelList()->horizontalHeader();
    const int edge = header->sectionViewportPosition(7) + header->sectionSize(7) - 1;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, header->height() / 2));
    QTest::mouseMove(header->viewport(), QPoint(edge + 40, header->height() / 2));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 40, header->height() / 2));
    const int qamWidth = header->sectionSize(7);
    h.window->resize(780, 520);
    h.play({"button:&Quit Editor"});

    MainEditorDialog again(*h.image, *h.snapshot, h.prompts);
    EXPECT_EQ(again.addressEdit()->address(), std::optional<uint32_t>(0xC0A80105));
    EXPECT_EQ(again.saveFilePathEdit()->text() + again.uploadFilePathEdit()->text() +
                  again.providerFilePathEdit()->text(),
              "/tmp/d.kdat/tmp/u.kdat/tmp/c.xml");
    EXPECT_EQ(again.channelList()->columnWidth(7), qamWidth);
    EXPECT_EQ(again.size(), QSize(780, 520));

    QFile file(openEditorSettings()->fileName());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[window]\nreceiverAddress=@ByteArray(\xff\ngeometry=\"x\ncolumnWidths=a,,9999\n\0\1[[");
    file.close();
    MainEditorDialog fresh(*h.image, *h.snapshot, h.prompts);
    EXPECT_TRUE(fresh.addressEdit()->isBlank());
    EXPECT_EQ(fresh.saveFilePathEdit()->text() + fresh.uploadFilePathEdit()->text(), "");
}

}  // namespace
}  // namespace tovu::ui
