// The main window's start-up state, its list, keys, menus, context menu and double click.
#include "WindowHarness.h"

#include "ui/AboutDialog.h"
#include "ui/ChannelEditDialog.h"
#include "ui/EditorTexts.h"
#include "ui/IpAddressEdit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

namespace tovu::ui {
namespace {

using test::WindowHarness;

template <class T>
QStringList textsOf(const QList<T*>& items) {
    QStringList texts;
    for (const T* item : items) texts << item->text();
    return texts;
}

TEST(MainWindowStart, OpensEmptyWithItsTitlesTextsAndMenus) {
    WindowHarness h;
    EXPECT_EQ(h.window->windowTitle(), "Tovu Cable Channel Editor");
    EXPECT_EQ(h.rows(), 0);
    EXPECT_TRUE(h.window->addressEdit()->isBlank());
    EXPECT_EQ(h.window->saveFilePathEdit()->text() + h.window->uploadFilePathEdit()->text() +
                  h.window->providerFilePathEdit()->text() + h.window->sourceLabel()->text(),
              "");
    QStringList buttons;
    for (const int id :
         {kCmdLoadDb, kCmdImportDreamBox, kCmdDownload, kCmdUpload, kCmdUploadProvider, kCmdChooseSavePath,
          kCmdChooseUploadPath, kCmdChooseProviderPath, kCmdSaveDb, kCmdAddChannel, kCmdEditChannel,
          kCmdDeleteChannels, kCmdResort, kCmdFavLists, kCmdQuit})
        buttons << h.window->button(id)->text();
    EXPECT_EQ(buttons, QStringList({"&Load Channel Info DB", "Load &DreamBox Channel",
                                    "Download Channel DataBase From Stb", "Upload Channel DataBase to STB",
                                    "Upload Provider Freq to STB", "Select File", "Select File",
                                    "Select File", "&Save Change to DB", "&Add Channel", "&Edit Channel",
                                    "&Del Channel", "&Resort Channel", "Edit &Fav List", "&Quit Editor"}));
    const QStringList labels = textsOf(h.window->findChildren<QLabel*>());
    for (const char* text : {"Stb Ip Address", "File Path:", "File path to upload", "Provider Freq File:"})
        EXPECT_TRUE(labels.contains(text)) << text;
    EXPECT_EQ(h.window->findChild<QGroupBox*>()->title(), "Channel Informations");
    const auto menus = h.window->menuBar()->actions();
    EXPECT_EQ(textsOf(menus), QStringList({"&Edit", "&Receiver", "&Help"}));
    EXPECT_EQ(
        textsOf(h.window->editMenu()->actions()),
        QStringList({"&Edit Channel", "&Del Channel", "&Add Channel", "&Resort Channel", "Edit &Fav List"}));
    EXPECT_EQ(textsOf(menus[1]->menu()->actions()), QStringList({"Verify uploads", "Restore Backup…"}));
    EXPECT_EQ(textsOf(menus[2]->menu()->actions()), QStringList({"&About"}));
}

TEST(MainWindowList, ShowsThirteenCentredColumnsAndTheFieldTexts) {
    WindowHarness h;
    (void)addChannel(*h.image, test::makeService(7, 3, kProgRadio, "音乐之声"));
    (void)addChannel(*h.image, test::makeService(65535, 4, kProgTv, "Data"));
    h.window->fillChannelList(0);
    const QTableView* list = h.window->channelList();
    const QAbstractItemModel* model = list->model();
    QStringList titles;
    std::vector<int> widths;
    for (int c = 0; c < model->columnCount(); ++c) {
        titles << model->headerData(c, Qt::Horizontal).toString();
        widths.push_back(list->columnWidth(c));
    }
    EXPECT_EQ(titles, QStringList({"No.", "Name", "Service Id", "Transponder Id", "Original Net Id",
                                   "Frequency", "SymRate", "Qam", "Parent Lock", "Audio Track", "Subtitle",
                                   "Descrambled", "Prog type"}));
    EXPECT_EQ(widths, std::vector<int>({40, 120, 80, 100, 90, 80, 80, 50, 80, 80, 70, 90, 80}));
    EXPECT_EQ(model->data(model->index(0, 5), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_FALSE(list->horizontalHeader()->sectionsClickable());
    ASSERT_EQ(h.rows(), 2);
    EXPECT_EQ(
        QStringList({h.cell(0, 0), h.cell(0, 1), h.cell(0, 2), h.cell(0, 12), h.cell(1, 0), h.cell(1, 2)}),
        QStringList({"1", QString::fromUtf8("音乐之声"), "7", "Radio", "2", "65535"}));
}

struct FillCase {
    const char* name;
    int services;
    int requested;
    int selected;  // -1: nothing
};

class FillChannelList : public testing::TestWithParam<FillCase> {};

TEST_P(FillChannelList, SelectsTheRequestedOrTheLastRowAndScrollsItIntoView) {
    const FillCase& c = GetParam();
    WindowHarness h(c.services);
    h.clearSelection();
    h.window->fillChannelList(c.requested);
    EXPECT_EQ(h.rows(), c.services);
    EXPECT_EQ(h.window->selectedRows(), c.selected < 0 ? QList<int>() : QList<int>({c.selected}));
    if (c.selected < 0) return;
    EXPECT_EQ(h.currentRow(), c.selected);
    const QTableView* list = h.window->channelList();
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(list->model()->index(c.selected, 0))));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FillChannelList,
    testing::Values(FillCase{"MinusOneSelectsLast", 5, -1, 4}, FillCase{"BeyondTheEndSelectsLast", 5, 7, 4},
                    FillCase{"CountSelectsLast", 5, 5, 4}, FillCase{"ExistingRowIsSelected", 5, 2, 2},
                    FillCase{"FirstRow", 5, 0, 0}, FillCase{"FarRowIsScrolledIntoView", 300, 250, 250},
                    FillCase{"NoServicesSelectsNothing", 0, 0, -1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(MainWindowKeys, EnterStartsSaveWhileEscapeAndQuitEndWithoutAsking) {
    WindowHarness h(3);
    QTest::keyClick(h.window->addressEdit()->field(0), Qt::Key_Return);
    ASSERT_EQ(h.prompts.fileRequests.size(), 1u);
    EXPECT_EQ(h.prompts.fileRequests[0].defaultName, "tovuChanDB.kdat");
    EXPECT_TRUE(h.window->isVisible());

    QTest::keyClick(h.window->saveFilePathEdit(), Qt::Key_Escape);
    EXPECT_FALSE(h.window->isVisible());
    EXPECT_EQ(h.window->result(), QDialog::Rejected);
    h.window->show();
    h.window->button(kCmdQuit)->click();
    EXPECT_FALSE(h.window->isVisible());
    EXPECT_EQ(h.prompts.fileRequests.size(), 1u);
    EXPECT_TRUE(h.prompts.messages.empty());
}

TEST(MainWindowAbout, HelpAboutShowsTheAboutBox) {
    WindowHarness h;
    int seen = 0;
    test::whenModal<AboutDialog>(
        [](AboutDialog& about) {
            EXPECT_EQ(about.windowTitle(), "About Tovu C ChanEditor");
            EXPECT_TRUE(textsOf(about.findChildren<QLabel*>()).contains("Tovu Cable ChanEditor 0.11"));
            EXPECT_EQ(about.okButton()->text(), "&Ok");
            about.okButton()->click();
        },
        &seen);
    h.window->menuAction(kCmdAbout)->trigger();
    EXPECT_EQ(seen, 1);
}

class ListCommandsWithoutServices : public testing::TestWithParam<int> {};

TEST_P(ListCommandsWithoutServices, AskForADatabaseFirst) {
    WindowHarness h;
    h.window->menuAction(GetParam())->trigger();
    h.window->button(GetParam())->click();
    ASSERT_EQ(h.prompts.messages.size(), 2u);
    for (const auto& m : h.prompts.messages) {
        EXPECT_EQ(m.text, "There are not channels in list, Please Load DB First!");
        EXPECT_EQ(m.caption, "Message");
        EXPECT_EQ(m.owner, h.window.get());
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, ListCommandsWithoutServices, testing::Values(kCmdResort, kCmdFavLists),
                         [](const auto& row) { return row.param == kCmdResort ? "Resort" : "FavLists"; });

// A double click (or a right click) in the list over a row's Name cell, or below the last row for -1.
void clickList(WindowHarness& h, bool right, int row) {
    QTableView* list = h.window->channelList();
    QWidget* viewport = list->viewport();
    const QPoint at =
        row < 0 ? QPoint(5, viewport->height() - 3) : list->visualRect(list->model()->index(row, 1)).center();
    QContextMenuEvent context(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(at), QPointF(viewport->mapToGlobal(at)),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, right ? static_cast<QEvent*>(&context) : &doubleClick);
}

TEST(MainWindowDoubleClick, EditsTheSelectedServiceNotTheOneUnderThePointer) {
    WindowHarness h(3);
    h.clearSelection();
    clickList(h, false, -1);
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, "Please select the channel want to Edit!");

    h.select({2});
    int seen = 0;
    test::whenModal<ChannelEditDialog>(
        [](ChannelEditDialog& dialog) {
            EXPECT_EQ(dialog.edit(kEditName)->text(), "Service 3");
            dialog.quitButton()->click();
        },
        &seen);
    clickList(h, false, 0);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(h.prompts.messages.size(), 1u);
}

TEST(MainWindowContextMenu, RightClickOnARowRunsTheChosenEditCommandAndElsewhereNothing) {
    WindowHarness h(4);
    h.select({1});
    QMenu* shown = nullptr;
    for (const int row : {-1, 1}) {
        QTimer::singleShot(50, [&] {
            if ((shown = qobject_cast<QMenu*>(QApplication::activePopupWidget())) == nullptr) return;
            shown->setActiveAction(h.window->menuAction(kCmdDeleteChannels));
            QTest::keyClick(shown, Qt::Key_Return);
        });
        clickList(h, true, row);
        QTest::qWait(100);
        EXPECT_EQ(shown, row < 0 ? nullptr : h.window->editMenu());
    }
    EXPECT_EQ(test::serviceIds(*h.image), std::vector<int>({101, 103, 104}));
}

}  // namespace
}  // namespace tovu::ui
