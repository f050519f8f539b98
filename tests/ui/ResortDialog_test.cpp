// The Resort dialog driven through its controls: Move Up, Move Down and Move To, rows dragged
// with the mouse (a block of selected rows, a quick second press, the wheel turned during the
// drag, a release below the last row), the filter, and Save Change.
#include "UiTestSupport.h"

#include "ui/DragAndDropListBox.h"
#include "ui/ResortDialog.h"

namespace tovu::ui {
namespace {

struct ResortCase {
    const char* name;
    const char* input;
    const char* shown;  // the services of the rows afterwards, top to bottom (the first ones)
    int current = -2;   // the current row afterwards; -2: not checked
    const char* messages = "";
    const char* stored = nullptr;  // the TV list afterwards; nullptr: the image is unchanged
    int tv = 8;                    // TV services "TV0".., then three radio services "Radio0".."Radio2"
    void (*prepare)(ChannelDbImage&) = nullptr;
};

void PrintTo(const ResortCase& c, std::ostream* out) { *out << c.name; }

class ResortDialogInput : public testing::TestWithParam<ResortCase> {};

// Every row shows its position and its service's name; only Save Change writes the image.
TEST_P(ResortDialogInput, MovesTheRowsShownAndStoresThemOnSaveChange) {
    const ResortCase& c = GetParam();
    test::uiApplication();
    auto image = std::make_unique<ChannelDbImage>();
    const auto nameOf = [&c](int k) {
        return k < c.tv       ? QString("TV%1").arg(k)
               : k < c.tv + 3 ? QString("Radio%1").arg(k - c.tv)
                              : QString();
    };
    for (int k = 0; k < c.tv + 3; ++k)
        (void)addChannel(*image, test::makeService(uint16_t(k + 1), 7, k < c.tv ? kProgTv : kProgRadio,
                                                   nameOf(k).toStdString()));
    if (c.prepare != nullptr) c.prepare(*image);
    const ChannelDbImage before = *image;
    test::FakePrompts prompts;
    ResortDialog dialog(*image, prompts);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    test::play(&dialog, c.input);

    QStringList shown;
    for (int row = 0; row < dialog.rows()->count(); ++row) {
        const int k = dialog.rows()->item(row)->data(Qt::UserRole).toInt();
        shown << QString::number(k);
        const QString name = nameOf(k).isEmpty() ? QString("(no channel %1)").arg(k) : nameOf(k);
        EXPECT_EQ(dialog.rows()->item(row)->text(), QString::asprintf("%4d ", row + 1) + name);
    }
    EXPECT_EQ(shown.mid(0, int(QString(c.shown).split(' ').size())).join(' '), c.shown);
    EXPECT_EQ(c.current == -2 ? -2 : dialog.rows()->currentRow(), c.current);
    EXPECT_EQ(prompts.texts(), c.messages);
    EXPECT_TRUE(c.stored != nullptr || image->bytes == before.bytes) << "only Save Change writes the image";
    test::expectIfGiven(test::joined(test::listEntries(*image, kListTv)), c.stored);
}

const char* const kAll = "0 1 2 3 4 5 6 7";
const char* const kSelect = "Please select the channel want to Resort!";

INSTANTIATE_TEST_SUITE_P(
    Inputs, ResortDialogInput,
    testing::Values(
        ResortCase{"MoveUp", "click:2, button:Move Up", "0 2 1 3 4 5 6 7", 1},
        ResortCase{"MoveDownFromTheLastRow", "click:7, button:Move Down", kAll, 7},
        ResortCase{"MoveWithoutACurrentRow", "button:Move Down", kAll, -1, kSelect},
        ResortCase{"MoveToTheLastPosition", "click:1, set:Move To=8, button:Move To", "0 2 3 4 5 6 7 1", 7},
        ResortCase{"MoveToWithBlanks", "click:3, set:Move To= 1 , button:Move To", "3 0 1 2 4 5 6 7", 0},
        ResortCase{"MoveToZero", "click:1, set:Move To=0, button:Move To", kAll, 1,
                   "Please Input new position want to move to!"},
        ResortCase{"MoveBeyondTheLastRow", "click:1, set:Move To=9, button:Move To", kAll, 1,
                   "New position vlaue must less than Channel Count!"},
        ResortCase{"MoveToText", "click:1, set:Move To=2x, button:Move To", kAll, 1, "请键入一个整数。"},
        // A drag moves the selected rows as one block before the row it is released on.
        ResortCase{"DragABlockDown", "click:1, shift-click:3, drag:1>5", "0 4 1 2 3 5 6 7", 2},
        ResortCase{"DragScatteredRowsBelowTheLastRow", "click:0, ctrl-click:3, ctrl-click:5, drag:3>9",
                   "1 2 4 6 7 0 3 5", 5},
        ResortCase{"DragToTheFirstRow", "click:4, ctrl-click:6, drag:6>0", "4 6 0 1 2 3 5 7", 0},
        ResortCase{"CtrlPressedRowJoinsTheBlock", "click:1, shift-click:3, ctrl-press:2, move:6, release",
                   "0 4 5 1 2 3 6 7", 3},
        ResortCase{"ClickOnASelectedRowSelectsItAlone", "click:1, shift-click:3, click:2, drag:2>6",
                   "0 1 3 4 5 2 6 7", 5},
        ResortCase{"QuickSecondPress", "dpress:2, move:5, release", "0 1 3 4 2 5 6 7", 4},
        // The wheel scrolls the rows under the pointer; the drop goes where it points then.
        ResortCase{.name = "WheelDuringTheDrag",
                   .input = "press:0, move:3, wheel, release",
                   .shown = "1 2 3 4 5 0 6 7",
                   .tv = 40},
        ResortCase{"MovesAfterADropActOnTheRowsShown",
                   "drag:0>3, click:3, button:Move Up, button:Save Change", "1 2 3 0 4 5 6 7", 2, "",
                   "1 2 3 0 4 5 6 7"},
        // While the filter hides rows, they keep their places: no drag, no Move Up or Down.
        ResortCase{
            "FilteredRowsStayInPlace",
            "focus:filter, type:tv3, drag:3>9, click:3, button:Move Down, button:Move Up, button:Move Up",
            kAll, 3},
        ResortCase{"FilteredRowMovesToAPositionInTheWholeList",
                   "focus:filter, type:tv3, click:3, set:Move To=1, button:Move To", "3 0 1 2 4 5 6 7", 0},
        // Save Change (Enter) stays open; moves not saved are dropped on choosing another list.
        ResortCase{"SavedOrderSurvivesAListSwitch",
                   "click:0, button:Move Down, click:1, Return, set:Channel List:=Radio List, click:2, "
                   "button:Move Up, set:Channel List:=TV List, set:Channel List:=Radio List",
                   "8 9 10", -2, "", "1 0 2 3 4 5 6 7"},
        ResortCase{.name = "EntryNamingNoService",
                   .input = "click:1, button:Move Down, button:Save Change",
                   .shown = "4 2 999 1 0 5 6 7",
                   .stored = "4 2 999 1 0 5 6 7",
                   .prepare =
                       [](ChannelDbImage& image) {
                           const uint16_t order[8] = {4, 999, 2, 1, 0, 5, 6, 7};
                           ASSERT_EQ(setListItems(image, kListTv, 8, order), 1);
                       }},
        ResortCase{"EmptyListStoresNothing",
                   "set:Channel List:=Data List, button:Save Change, button:Move Up", "", -1, kSelect}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu::ui
