// The main window's start-up state, its list, keys, menus, context menu and double click.
#include "WindowHarness.h"

#include "ui/AboutDialog.h"
#include "ui/ChannelEditDialog.h"
#include "ui/EditorTexts.h"
#include "ui/IpAddressEdit.h"

#include <QAction>
#include <QContextMenuEvent>
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

TEST(MainWindowStart, OpensEmptyWithTwentyRowsAndItsMenus) {
    WindowHarness h;
    EXPECT_EQ(h.window->windowTitle(), "[*]Tovu Cable Channel Editor");
    EXPECT_FALSE(h.window->isWindowModified());
    const QTableView* list = h.window->channelList();
    EXPECT_GE(list->viewport()->height(), 20 * list->verticalHeader()->defaultSectionSize());
    EXPECT_EQ(h.rows(), 0);
    EXPECT_TRUE(h.window->addressEdit()->isBlank());
    EXPECT_EQ(h.window->saveFilePathEdit()->text() + h.window->uploadFilePathEdit()->text() +
                  h.window->providerFilePathEdit()->text() + h.window->sourceLabel()->text(),
              "");
    const auto menus = h.window->menuBar()->actions();
    EXPECT_EQ(textsOf(menus), QStringList({"&Edit", "&Receiver", "&Help"}));
    EXPECT_EQ(textsOf(h.window->editMenu()->actions()),
              QStringList({"&Undo", "Re&do", "", "&Edit Channel", "&Del Channel", "&Add Channel",
                           "&Resort Channel", "Edit &Fav List", "", "Parent Lock", "Subtitle", "Descrambled",
                           "Prog type", "Replace in names…"}));
    EXPECT_EQ(textsOf(menus[1]->menu()->actions()), QStringList({"Verify uploads", "Restore Backup…"}));
    EXPECT_EQ(textsOf(menus[2]->menu()->actions()), QStringList({"&About"}));
}

// Columns keep their standard widths as minimums and widen to their texts; the Name column takes
// the width left over; a width the user drags stays, also when the list is filled again.
TEST(MainWindowList, ShowsThirteenCentredColumnsThatFitTheirTexts) {
    WindowHarness h;
    (void)addChannel(*h.image, test::makeService(7, 3, kProgRadio, "中央人民广播电台音乐之声"));
    (void)addChannel(*h.image, test::makeService(65535, 4, kProgTv, "Data"));
    h.window->fillChannelList(0);
    QTableView* list = h.window->channelList();
    const QAbstractItemModel* model = list->model();
    const int standard[] = {40, 120, 80, 100, 90, 80, 80, 50, 80, 80, 70, 90, 80};
    for (int c = 0; c < model->columnCount(); ++c) {
        EXPECT_GE(list->columnWidth(c), standard[c]) << c;
        for (int row = 0; row < 2; ++row)
            EXPECT_LT(list->fontMetrics().horizontalAdvance(h.cell(row, c)), list->columnWidth(c)) << c;
    }
    EXPECT_EQ(model->data(model->index(0, 5), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    ASSERT_EQ(h.rows(), 2);
    EXPECT_EQ(
        QStringList({h.cell(0, 0), h.cell(0, 1), h.cell(0, 2), h.cell(0, 12), h.cell(1, 0), h.cell(1, 2)}),
        QStringList({"1", QString::fromUtf8("中央人民广播电台音乐之声"), "7", "Radio", "2", "65535"}));

    h.window->resize(1900, 700);
    QHeaderView* header = list->horizontalHeader();
    const int qam = list->columnWidth(7);
    EXPECT_EQ(header->length(), list->viewport()->width());
    const int edge = header->sectionViewportPosition(7) + qam - 1;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, header->height() / 2));
    QTest::mouseMove(header->viewport(), QPoint(edge + 40, header->height() / 2));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 40, header->height() / 2));
    h.window->fillChannelList(0);
    EXPECT_EQ(list->columnWidth(7), qam + 40);
    EXPECT_EQ(header->length(), list->viewport()->width());
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
    EXPECT_EQ(h.window->selectedRecords(), c.selected < 0 ? QList<int>() : QList<int>({c.selected}));
    if (c.selected < 0) return;
    EXPECT_EQ(h.currentRow(), c.selected);
    const QTableView* list = h.window->channelList();
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(list->model()->index(c.selected, 0))));
}

INSTANTIATE_TEST_SUITE_P(Rows, FillChannelList,
                         testing::Values(FillCase{"MinusOneSelectsLast", 5, -1, 4},
                                         FillCase{"BeyondTheEndSelectsLast", 5, 7, 4},
                                         FillCase{"ExistingRowIsSelected", 5, 2, 2},
                                         FillCase{"FarRowIsScrolledIntoView", 300, 250, 250},
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
    test::click(h.window->button(kCmdQuit));
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
            test::click(about.okButton());
        },
        &seen);
    h.window->menuAction(kCmdAbout)->trigger();
    EXPECT_EQ(seen, 1);
}

struct RefusedCase {
    const char* name;
    int command;
    int services;
    const char* text;
    bool messageCaption;  // else the application's name
};

class CommandWithoutItsSubject : public testing::TestWithParam<RefusedCase> {};

// Edit and Del without a selection, Resort and Fav List without services: the menu item and the
// button say why and change nothing.
TEST_P(CommandWithoutItsSubject, SaysWhyAndChangesNothing) {
    const RefusedCase& c = GetParam();
    WindowHarness h(c.services);
    h.clearSelection();
    h.window->menuAction(c.command)->trigger();
    test::click(h.window->button(c.command));
    ASSERT_EQ(h.prompts.messages.size(), 2u);
    for (const auto& m : h.prompts.messages) {
        EXPECT_EQ(m.text, c.text);
        EXPECT_EQ(m.caption,
                  c.messageCaption ? QStringLiteral("Message") : QCoreApplication::applicationName());
        EXPECT_EQ(m.owner, h.window.get());
    }
    EXPECT_EQ(channelCount(*h.image), c.services);
}

const char* const kLoadFirst = "There are not channels in list, Please Load DB First!";
INSTANTIATE_TEST_SUITE_P(Commands, CommandWithoutItsSubject,
                         testing::Values(RefusedCase{"Edit", kCmdEditChannel, 2,
                                                     "Please select the channel want to Edit!", false},
                                         RefusedCase{"Delete", kCmdDeleteChannels, 2,
                                                     "Please select the channel want to Del!", false},
                                         RefusedCase{"Resort", kCmdResort, 0, kLoadFirst, true},
                                         RefusedCase{"FavLists", kCmdFavLists, 0, kLoadFirst, true}),
                         [](const auto& row) { return std::string(row.param.name); });

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
            test::click(dialog.quitButton());
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
