// The main window's start-up state, its list, keys, menus, context menu and double click.
#include "WindowHarness.h"

#include "db/FieldText.h"
#include "ui/AboutDialog.h"
#include "ui/ChannelEditDialog.h"
#include "ui/EditorTexts.h"
#include "ui/IpAddressEdit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
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

QStringList actionTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* a : menu->actions()) texts << a->text();
    return texts;
}

TEST(MainWindowStart, OpensEmptyWithBlankAddressAndPaths) {
    WindowHarness h;
    EXPECT_EQ(h.window->windowTitle(), "Tovu Cable Channel Editor");
    EXPECT_FALSE(h.window->windowIcon().isNull());
    EXPECT_EQ(h.rows(), 0);
    EXPECT_TRUE(h.window->addressEdit()->isBlank());
    EXPECT_FALSE(h.window->addressEdit()->address().has_value());
    EXPECT_TRUE(h.window->saveFilePathEdit()->text().isEmpty());
    EXPECT_TRUE(h.window->uploadFilePathEdit()->text().isEmpty());
    EXPECT_TRUE(h.window->providerFilePathEdit()->text().isEmpty());
    EXPECT_TRUE(h.window->sourceLabel()->text().isEmpty());
    EXPECT_TRUE(h.prompts.messages.empty());
}

TEST(MainWindowStart, ControlsCarryTheirTexts) {
    WindowHarness h;
    const std::pair<int, const char*> buttons[] = {
        {kCmdLoadDb, "&Load Channel Info DB"},
        {kCmdImportDreamBox, "Load &DreamBox Channel"},
        {kCmdDownload, "Download Channel DataBase From Stb"},
        {kCmdUpload, "Upload Channel DataBase to STB"},
        {kCmdUploadProvider, "Upload Provider Freq to STB"},
        {kCmdChooseSavePath, "Select File"},
        {kCmdChooseUploadPath, "Select File"},
        {kCmdChooseProviderPath, "Select File"},
        {kCmdSaveDb, "&Save Change to DB"},
        {kCmdAddChannel, "&Add Channel"},
        {kCmdEditChannel, "&Edit Channel"},
        {kCmdDeleteChannels, "&Del Channel"},
        {kCmdResort, "&Resort Channel"},
        {kCmdFavLists, "Edit &Fav List"},
        {kCmdQuit, "&Quit Editor"},
    };
    for (const auto& [id, text] : buttons) {
        ASSERT_NE(h.window->button(id), nullptr) << id;
        EXPECT_EQ(h.window->button(id)->text(), QString::fromLatin1(text)) << id;
    }
    EXPECT_TRUE(h.window->button(kCmdSaveDb)->isDefault());
    QStringList labels;
    for (const QLabel* l : h.window->findChildren<QLabel*>()) labels << l->text();
    for (const char* text : {"Stb Ip Address", "File Path:", "File path to upload", "Provider Freq File:"})
        EXPECT_TRUE(labels.contains(QString::fromLatin1(text))) << text;
    const auto groups = h.window->findChildren<QGroupBox*>();
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(groups.front()->title(), "Channel Informations");
}

TEST(MainWindowStart, ListHasThirteenCentredColumnsThatDoNotSort) {
    WindowHarness h(1);
    const QTableView* list = h.window->channelList();
    const QAbstractItemModel* model = list->model();
    ASSERT_EQ(model->columnCount(), 13);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "No.");
    EXPECT_EQ(list->columnWidth(0), 40);
    for (int c = 1; c < 13; ++c) {
        EXPECT_EQ(model->headerData(c, Qt::Horizontal).toString(), kChannelListColumns[c - 1].title);
        EXPECT_EQ(list->columnWidth(c), kChannelListColumns[c - 1].width);
    }
    EXPECT_EQ(model->data(model->index(0, 5), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    EXPECT_TRUE(list->showGrid());
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_FALSE(list->isSortingEnabled());
    EXPECT_FALSE(list->horizontalHeader()->sectionsClickable());
}

TEST(MainWindowStart, MenusCarryTheEditCommandsAndAbout) {
    WindowHarness h;
    const auto menus = h.window->menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), "&Edit");
    EXPECT_EQ(menus[1]->text(), "&Help");
    EXPECT_EQ(actionTexts(h.window->editMenu()), QStringList({"&Edit Channel", "&Del Channel", "&Add Channel",
                                                              "&Resort Channel", "Edit &Fav List"}));
    EXPECT_EQ(actionTexts(menus[1]->menu()), QStringList({"&About"}));
    for (const int id :
         {kCmdEditChannel, kCmdDeleteChannels, kCmdAddChannel, kCmdResort, kCmdFavLists, kCmdAbout})
        EXPECT_EQ(h.window->menuAction(id)->data().toInt(), id);
}

TEST(MainWindowList, RowsShowNumberAndFieldTexts) {
    WindowHarness h;
    (void)addChannel(*h.image, test::makeService(7, 3, kProgRadio, "音乐之声"));
    (void)addChannel(*h.image, test::makeService(65535, 4, 5, "Data"));
    h.window->fillChannelList(0);
    ASSERT_EQ(h.rows(), 2);
    EXPECT_EQ(h.cell(0, 0), "1");
    EXPECT_EQ(h.cell(1, 0), "2");
    EXPECT_EQ(h.cell(0, 1), QString::fromUtf8("音乐之声"));
    EXPECT_EQ(h.cell(0, 12), "Radio");
    EXPECT_EQ(h.cell(1, 2), "65535");
    EXPECT_EQ(h.cell(1, 5), "506000 KHz");
    EXPECT_EQ(h.cell(1, 7), "64QAM");
    EXPECT_EQ(h.cell(1, 12), "Unkownn");
}

struct FillCase {
    const char* name;
    int services;
    int requested;
    int selected;  // -1: nothing
};

class FillChannelList : public testing::TestWithParam<FillCase> {};

TEST_P(FillChannelList, SelectsTheRequestedOrTheLastRow) {
    const FillCase& c = GetParam();
    WindowHarness h(c.services);
    h.clearSelection();
    h.window->fillChannelList(c.requested);
    EXPECT_EQ(h.rows(), c.services);
    if (c.selected < 0) {
        EXPECT_TRUE(h.window->selectedRows().isEmpty());
    } else {
        EXPECT_EQ(h.window->selectedRows(), QList<int>({c.selected}));
        EXPECT_EQ(h.currentRow(), c.selected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FillChannelList,
    testing::Values(FillCase{"MinusOneSelectsLast", 5, -1, 4}, FillCase{"BeyondTheEndSelectsLast", 5, 7, 4},
                    FillCase{"CountSelectsLast", 5, 5, 4}, FillCase{"ExistingRowIsSelected", 5, 2, 2},
                    FillCase{"FirstRow", 5, 0, 0}, FillCase{"OtherNegativeSelectsLast", 5, -3, 4},
                    FillCase{"NoServicesSelectsNothing", 0, 0, -1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(MainWindowList, SelectedRowIsScrolledIntoView) {
    WindowHarness h(300);
    h.window->fillChannelList(250);
    const QTableView* list = h.window->channelList();
    const QRect rowRect = list->visualRect(list->model()->index(250, 0));
    EXPECT_TRUE(list->viewport()->rect().contains(rowRect));
}

TEST(MainWindowKeys, EnterStartsSaveAndEscapeQuits) {
    WindowHarness h;
    QTest::keyClick(h.window->addressEdit()->field(0), Qt::Key_Return);
    ASSERT_EQ(h.prompts.fileRequests.size(), 1u);
    EXPECT_EQ(h.prompts.fileRequests[0].defaultName, "tovuChanDB.kdat");
    EXPECT_TRUE(h.window->isVisible());

    QTest::keyClick(h.window->saveFilePathEdit(), Qt::Key_Escape);
    EXPECT_FALSE(h.window->isVisible());
    EXPECT_EQ(h.window->result(), QDialog::Rejected);
    EXPECT_EQ(h.prompts.fileRequests.size(), 1u);
    EXPECT_TRUE(h.prompts.messages.empty());
}

TEST(MainWindowKeys, QuitButtonAndCloseEndTheWindowWithoutAsking) {
    WindowHarness h(3);
    h.window->button(kCmdQuit)->click();
    EXPECT_FALSE(h.window->isVisible());
    h.window->show();
    h.window->close();
    EXPECT_FALSE(h.window->isVisible());
    EXPECT_TRUE(h.prompts.messages.empty());
    EXPECT_TRUE(h.prompts.fileRequests.empty());
}

TEST(MainWindowAbout, HelpAboutShowsTheAboutBox) {
    WindowHarness h;
    int seen = 0;
    test::whenModal<AboutDialog>(
        [](AboutDialog& about) {
            EXPECT_EQ(about.windowTitle(), "About Tovu C ChanEditor");
            QStringList texts;
            for (const QLabel* l : about.findChildren<QLabel*>()) texts << l->text();
            EXPECT_TRUE(texts.contains("Tovu Cable ChanEditor 0.11"));
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

void doubleClick(QWidget* viewport, QPoint at) {
    QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(at), QPointF(viewport->mapToGlobal(at)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &event);
}

TEST(MainWindowDoubleClick, WithoutSelectionAsksToSelect) {
    WindowHarness h(3);
    h.clearSelection();
    doubleClick(h.window->channelList()->viewport(), {5, h.window->channelList()->viewport()->height() - 3});
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, "Please select the channel want to Edit!");
    EXPECT_EQ(h.prompts.messages[0].caption, QCoreApplication::applicationName());
    EXPECT_EQ(h.prompts.messages[0].owner, h.window.get());
}

TEST(MainWindowDoubleClick, EditsTheSelectedServiceNotTheOneUnderThePointer) {
    WindowHarness h(3);
    h.select({2});
    int seen = 0;
    test::whenModal<ChannelEditDialog>(
        [](ChannelEditDialog& dialog) {
            EXPECT_EQ(dialog.channelIndex(), 2);
            EXPECT_EQ(dialog.edit(kEditName)->text(), "Service 3");
            dialog.quitButton()->click();
        },
        &seen);
    const QTableView* list = h.window->channelList();
    doubleClick(list->viewport(), list->visualRect(list->model()->index(0, 3)).center());
    EXPECT_EQ(seen, 1);
    EXPECT_TRUE(h.prompts.messages.empty());
}

void rightClick(QWidget* viewport, QPoint at) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QCoreApplication::sendEvent(viewport, &event);
}

TEST(MainWindowContextMenu, RightClickOnNoRowOpensNothing) {
    WindowHarness h(2);
    bool popupSeen = false;
    QTimer::singleShot(50, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popupSeen = true;
            popup->close();
        }
    });
    rightClick(h.window->channelList()->viewport(), {5, h.window->channelList()->viewport()->height() - 3});
    QTest::qWait(100);
    EXPECT_FALSE(popupSeen);
    EXPECT_EQ(h.image->bytes[kChannelCountOffset], 2);
}

TEST(MainWindowContextMenu, RightClickOnARowRunsTheChosenEditCommand) {
    WindowHarness h(4);
    h.select({1});
    QMenu* shown = nullptr;
    QTimer::singleShot(50, [&] {
        shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (shown == nullptr) return;
        shown->setActiveAction(h.window->menuAction(kCmdDeleteChannels));
        QTest::keyClick(shown, Qt::Key_Return);
    });
    const QTableView* list = h.window->channelList();
    rightClick(list->viewport(), list->visualRect(list->model()->index(1, 1)).center());
    EXPECT_EQ(shown, h.window->editMenu());
    EXPECT_EQ(test::serviceIds(*h.image), std::vector<int>({101, 103, 104}));
}

}  // namespace
}  // namespace tovu::ui
