// Undo and redo of every change the main window makes, the question about unsaved changes on
// quitting, and what the window remembers for the next start.
#include "WindowHarness.h"

#include "db/DbStore.h"
#include "support/TestSupport.h"
#include "ui/ChannelEditDialog.h"
#include "ui/DragAndDropListBox.h"
#include "ui/EditorTexts.h"
#include "ui/FavListEditorDialog.h"
#include "ui/IpAddressEdit.h"
#include "ui/ReplaceNamesDialog.h"
#include "ui/ResortDialog.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

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

void undoKeys(const char* keys) {
    for (const char* k = keys; *k != '\0'; ++k)
        WindowHarness::key(*k == 'Z' || *k == 'S' ? Qt::Key_Z : Qt::Key_Y,
                           *k == 'S' ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
}

struct UndoCase {
    const char* name;
    std::function<void(WindowHarness&)> change;
    const char* what;
    QList<int> selectedAfterUndo;
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
    c.change(h);
    const ChannelDbImage after = *h.image;
    ASSERT_FALSE(after.bytes == before.bytes);
    expectListRules(after);
    EXPECT_EQ(h.window->undoAction()->text(), QStringLiteral("&Undo ") + c.what);
    EXPECT_EQ(h.window->isWindowModified(), !c.loads);

    h.activate();
    undoKeys("Z");
    EXPECT_TRUE(h.image->bytes == before.bytes);
    for (int list = kListTv; list <= kListLastDefault; ++list)
        EXPECT_EQ(test::listEntries(*h.image, list), test::listEntries(before, list)) << list;
    EXPECT_EQ(h.window->selectedRecords(), c.selectedAfterUndo);
    EXPECT_EQ(h.window->isWindowModified(), c.loads);
    undoKeys("Y");
    EXPECT_TRUE(h.image->bytes == after.bytes);
    undoKeys("ZS");
    EXPECT_TRUE(h.image->bytes == after.bytes);
    EXPECT_EQ(h.rows(), channelCount(after));
}

void onChannelEdit(std::function<void(ChannelEditDialog&)> edit) {
    test::whenModal<ChannelEditDialog>([edit](ChannelEditDialog& d) {
        edit(d);
        test::click(d.saveButton());
    });
}

INSTANTIATE_TEST_SUITE_P(
    Changes, UndoRedo,
    testing::Values(
        UndoCase{"DeleteKey",
                 [](auto& h) {
                     h.clickRow(1), h.clickRow(3, Qt::ControlModifier), h.clickRow(4, Qt::ControlModifier);
                     WindowHarness::key(Qt::Key_Delete);
                 },
                 "Del Channel",
                 {1, 3, 4}},
        UndoCase{"InsertKeyAdds",
                 [](auto& h) {
                     onChannelEdit([](auto& d) { test::retype(d.edit(kEditServiceId), "500"); });
                     h.clickRow(0), WindowHarness::key(Qt::Key_Insert);
                 },
                 "Add Channel",
                 {0}},
        UndoCase{"F2EditsTheCurrentRow",
                 [](auto& h) {
                     onChannelEdit([](auto& d) {
                         EXPECT_EQ(d.channelIndex(), 3);
                         test::pick(d.choice(kChoiceProgType), 1);
                     });
                     h.clickRow(1), h.clickRow(3, Qt::ControlModifier), WindowHarness::key(Qt::Key_F2);
                 },
                 "Edit Channel",
                 {1, 3}},
        UndoCase{"LockFromTheContextMenu",
                 [](auto& h) {
                     h.clickRow(0), h.clickRow(3, Qt::ShiftModifier);
                     h.pickFromContextMenu(2, {"Parent Lock", "Locked"});
                 },
                 "Parent Lock: Locked",
                 {0, 1, 2, 3}},
        UndoCase{"RadioFromTheContextMenu",
                 [](auto& h) {
                     h.clickRow(1), h.clickRow(4, Qt::ControlModifier);
                     h.pickFromContextMenu(4, {"Prog type", "Radio"});
                 },
                 "Prog type: Radio",
                 {1, 4}},
        UndoCase{"ReplaceInNames",
                 [](auto& h) {
                     test::whenModal<ReplaceNamesDialog>([](ReplaceNamesDialog& d) {
                         test::typeText(d.findEdit(), "Service");
                         test::typeText(d.replacementEdit(), "Chan");
                         EXPECT_EQ(d.preview()->text(), "2 of 2 selected names change");
                         test::click(d.replaceButton());
                     });
                     h.clickRow(0), h.clickRow(5, Qt::ControlModifier);
                     h.pickFromContextMenu(5, {"Replace in names…"});
                 },
                 "Replace in names",
                 {0, 5}},
        UndoCase{"LoadFile",
                 [](auto& h) {
                     static TempDir dir;
                     ASSERT_EQ(saveDbToPath(*test::imageWithServices(3), dir.file("three.kdat")),
                               SaveResult::Saved);
                     h.prompts.fileAnswers.push_back(QString::fromStdString(dir.file("three.kdat")));
                     test::click(h.window->button(kCmdLoadDb));
                 },
                 "Load Channel Info DB",
                 {0},
                 true},
        UndoCase{"DreamBoxImport",
                 [](auto& h) {
                     static TempDir dir;
                     const std::string lamedb =
                         "eDVB services /4/\ntransponders\n00c00000:0437:0001\n\tc "
                         "346000:6875000:2:3:0:0:0\n/\nend\n"
                         "services\n6d66:00c00000:0437:0001:1:0\nFirst TV\np:P\nend\n";
                     tovu::test::writeFileBytes(dir.file("lamedb"), {lamedb.begin(), lamedb.end()});
                     h.prompts.folderAnswers.push_back(QString::fromStdString(dir.path().string()));
                     test::click(h.window->button(kCmdImportDreamBox));
                 },
                 "Load DreamBox Channel",
                 {0}},
        UndoCase{"ResortSaveChange",
                 [](auto& h) {
                     test::whenModal<ResortDialog>([](ResortDialog& d) {
                         QTest::mouseClick(d.rows()->viewport(), Qt::LeftButton, {},
                                           d.rows()->visualItemRect(d.rows()->item(0)).center());
                         for (QPushButton* b : {d.moveDownButton(), d.saveButton(), d.quitButton()})
                             test::click(b);
                     });
                     test::click(h.window->button(kCmdResort));
                 },
                 "Resort TV List",
                 {0}},
        UndoCase{"FavListSaveChange",
                 [](auto& h) {
                     test::whenModal<FavListEditorDialog>([](FavListEditorDialog& d) {
                         QTableWidget* list = d.checkList();
                         QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                           list->visualItemRect(list->item(0, 0)).center());
                         QTest::keyClick(list, Qt::Key_Space);
                         for (QPushButton* b : {d.saveButton(), d.quitButton()}) test::click(b);
                     });
                     test::click(h.window->button(kCmdFavLists));
                 },
                 "Edit Fav List",
                 {0}}),
    [](const auto& row) { return std::string(row.param.name); });

struct QuitCase {
    const char* name;
    std::function<void(WindowHarness&)> quit;
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
    h.clickRow(0), WindowHarness::key(Qt::Key_Delete);
    EXPECT_TRUE(h.window->isWindowModified());
    h.prompts.saveAnswers.assign(c.answers.begin(), c.answers.end());
    if (c.file != nullptr) h.prompts.fileAnswers.push_back(QString::fromStdString(dir.file(c.file)));
    c.quit(h);
    EXPECT_EQ(h.window->isVisible(), c.open);
    EXPECT_EQ(h.prompts.texts(), c.messages);
    auto saved = std::make_unique<ChannelDbImage>();
    if (c.file != nullptr && loadDbFromPath(*saved, dir.file(c.file)) == LoadResult::Loaded)
        EXPECT_EQ(test::serviceIds(*saved), (std::vector<int>{102, 103}));
}

const auto kQuitButton = [](WindowHarness& h) { test::click(h.window->button(kCmdQuit)); };
const QString kAsked = "The channel database has changes that are not saved. Save them before quitting?";
INSTANTIATE_TEST_SUITE_P(
    Ways, QuitWithChanges,
    testing::Values(
        QuitCase{"QuitButtonSaves", kQuitButton, {SaveChoice::Save}, "saved.kdat", false},
        QuitCase{"EscapeDiscards",
                 [](auto&) { WindowHarness::key(Qt::Key_Escape); },
                 {SaveChoice::Discard},
                 nullptr,
                 false},
        QuitCase{
            "CloseBoxCancelled", [](auto& h) { h.window->close(); }, {SaveChoice::Cancel}, nullptr, true},
        QuitCase{"SaveChooserCancelled", kQuitButton, {SaveChoice::Save}, nullptr, true},
        QuitCase{"SaveFails",
                 kQuitButton,
                 {SaveChoice::Save},
                 "no-folder/x.kdat",
                 true,
                 {kAsked, "Fail to open DB!"}},
        QuitCase{"UndoneToTheFileQuitsAtOnce",
                 [](auto& h) { undoKeys("Z"), kQuitButton(h); },
                 {},
                 nullptr,
                 false,
                 {}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(RememberedSettings, AddressPathsColumnsAndSizeComeBackAndACorruptFileStartsAfresh) {
    WindowHarness h(3);
    h.window->addressEdit()->setFocus();
    for (const char c : std::string("192.168.1.5")) QTest::keyClick(QApplication::focusWidget(), c);
    const std::pair<QLineEdit*, QString> paths[] = {{h.window->saveFilePathEdit(), "/tmp/down.kdat"},
                                                    {h.window->uploadFilePathEdit(), "/tmp/up.kdat"},
                                                    {h.window->providerFilePathEdit(), "/tmp/cable.xml"}};
    for (const auto& [edit, text] : paths) test::typeText(edit, text);
    QHeaderView* header = h.window->channelList()->horizontalHeader();
    const int edge = header->sectionViewportPosition(7) + header->sectionSize(7) - 1;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, header->height() / 2));
    QTest::mouseMove(header->viewport(), QPoint(edge + 40, header->height() / 2));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 40, header->height() / 2));
    const int qamWidth = header->sectionSize(7);
    h.window->resize(780, 520);
    test::click(h.window->button(kCmdQuit));

    MainEditorDialog again(*h.image, *h.snapshot, h.prompts);
    EXPECT_EQ(again.addressEdit()->address(), std::optional<uint32_t>(0xC0A80105));
    for (const auto& [edit, text] : paths)
        EXPECT_EQ(again.findChild<QLineEdit*>(edit->objectName())->text(), text);
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
