// The drag-and-drop list box driven by mouse events sent to its viewport.
#include "ui/DragAndDropListBox.h"

#include "FakePrompts.h"

#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace tovu::ui {
namespace {

// rows rows "   k row" (k from 1) carrying the value 100 + k - 1, in a viewport of the given height.
class ListBoxHarness {
public:
    ListBoxHarness(int rows, int height) : drops(&box, &CDragAndDropListBox::dropSelectionChanged) {
        for (int k = 0; k < rows; ++k) {
            auto* row = new QListWidgetItem(QString::asprintf("%4d row", k + 1));
            row->setData(Qt::UserRole, 100 + k);
            box.addItem(row);
        }
        box.resize(200, height);
        box.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&box));
    }

    QPoint rowPoint(int row) const { return box.visualItemRect(box.item(row)).center(); }
    int rowHeight() const { return box.visualItemRect(box.item(0)).height(); }
    int height() const { return box.viewport()->height(); }
    int topRow() const { return box.verticalScrollBar()->value(); }

    void press(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mousePress(box.viewport(), Qt::LeftButton, modifiers, at);
    }
    // A press soon after a click on the same spot, which arrives as a double click.
    void pressAgain(QPoint at) {
        QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, at);
    }
    void move(QPoint at) { QTest::mouseMove(box.viewport(), at); }
    void release(QPoint at) { QTest::mouseRelease(box.viewport(), Qt::LeftButton, {}, at); }
    // One notch of the mouse wheel towards the user, with the left button held.
    void wheelDown(QPoint at) {
        QWheelEvent wheel(QPointF(at), QPointF(box.viewport()->mapToGlobal(at)), {}, QPoint(0, -120),
                          Qt::LeftButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(box.viewport(), &wheel);
    }

    void select(const std::vector<int>& rows) {
        box.clearSelection();
        for (const int row : rows) box.item(row)->setSelected(true);
    }
    std::vector<int> values() const {
        std::vector<int> out;
        for (int row = 0; row < box.count(); ++row) out.push_back(box.item(row)->data(Qt::UserRole).toInt());
        return out;
    }
    std::vector<int> selectedRows() const {
        std::vector<int> out;
        for (int row = 0; row < box.count(); ++row)
            if (box.item(row)->isSelected()) out.push_back(row);
        return out;
    }

    QApplication& app = test::testApplication();
    CDragAndDropListBox box;
    QSignalSpy drops;
};

const std::vector<int> kUnmoved = {100, 101, 102, 103, 104, 105, 106, 107};

TEST(DragAndDropListBox, ClickWithoutMoveOnlySelects) {
    ListBoxHarness h(8, 300);
    h.select({1, 2, 3});
    h.press(h.rowPoint(2));
    EXPECT_EQ(h.selectedRows(), (std::vector<int>{1, 2, 3}));  // kept for a drag
    h.release(h.rowPoint(2));
    EXPECT_EQ(h.selectedRows(), std::vector<int>{2});
    h.select({1, 2, 3});
    h.press(h.rowPoint(5));
    h.release(h.rowPoint(5));
    EXPECT_EQ(h.selectedRows(), std::vector<int>{5});
    EXPECT_EQ(h.values(), kUnmoved);
    EXPECT_EQ(h.drops.count(), 0);
    EXPECT_EQ(h.box.dragIndex(), -1);
    EXPECT_FALSE(h.box.capturing());
}

struct BlockDrop {
    std::string name;
    std::vector<int> selected;
    int dragRow;
    int dropRow;  // -1: the empty area below the last row
    std::vector<int> order;
    std::vector<int> selectedAfter;
    bool ctrlPress = false;   // the press takes the drag row out of the selection
    bool pressAgain = false;  // the press comes within the double-click time of a click
};

void PrintTo(const BlockDrop& c, std::ostream* out) { *out << c.name; }

class BlockDropTest : public ::testing::TestWithParam<BlockDrop> {};

// Every drop inside the control notifies once; texts and values move together, the moved block
// stays selected with its first row current, and there is a marker unless on the drag row.
TEST_P(BlockDropTest, MovesSelectedRowsAsOneBlock) {
    const BlockDrop& c = GetParam();
    ListBoxHarness h(8, 300);
    h.select(c.selected);
    if (c.pressAgain)
        h.pressAgain(h.rowPoint(c.dragRow));
    else
        h.press(h.rowPoint(c.dragRow), c.ctrlPress ? Qt::ControlModifier : Qt::NoModifier);
    const QRect last = h.box.visualItemRect(h.box.item(7));
    const QPoint to = c.dropRow >= 0 ? h.rowPoint(c.dropRow) + QPoint(5, 2) : QPoint(10, last.bottom() + 10);
    h.move(to);
    EXPECT_TRUE(h.box.capturing());
    EXPECT_EQ(h.box.dropIndex(), c.dropRow);
    EXPECT_EQ(h.box.markerLine().has_value(), c.dropRow != c.dragRow);
    h.release(to);
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(h.box.item(row)->text(), QString::asprintf("%4d row", c.order[row] + 1)) << row;
        EXPECT_EQ(h.box.item(row)->data(Qt::UserRole).toInt(), 100 + c.order[row]) << row;
    }
    EXPECT_EQ(h.selectedRows(), c.selectedAfter);
    EXPECT_EQ(h.box.currentRow(), c.selectedAfter.front());
    EXPECT_EQ(h.drops.count(), 1);
    EXPECT_FALSE(h.box.capturing());
}

INSTANTIATE_TEST_SUITE_P(
    Drops, BlockDropTest,
    ::testing::Values(
        BlockDrop{"WithinPressedRow", {}, 4, 4, {0, 1, 2, 3, 4, 5, 6, 7}, {4}},
        BlockDrop{"OnLastRowOfBlock", {1, 2, 3}, 1, 3, {0, 1, 2, 3, 4, 5, 6, 7}, {1, 2, 3}},
        BlockDrop{"OnMiddleRowOfBlock", {1, 2, 3}, 1, 2, {0, 1, 2, 3, 4, 5, 6, 7}, {1, 2, 3}},
        BlockDrop{"OnRowFive", {1, 2, 3}, 1, 5, {0, 4, 1, 2, 3, 5, 6, 7}, {2, 3, 4}},
        BlockDrop{"OnFirstRow", {4, 6}, 6, 0, {4, 6, 0, 1, 2, 3, 5, 7}, {0, 1}},
        BlockDrop{"ScatteredBelowLastRow", {0, 3, 5}, 3, -1, {1, 2, 4, 6, 7, 0, 3, 5}, {5, 6, 7}},
        BlockDrop{"SingleRowDown", {0}, 0, 3, {1, 2, 0, 3, 4, 5, 6, 7}, {2}},
        BlockDrop{
            "CtrlDeselectedDragRowJoinsBlock", {1, 2, 3}, 2, 6, {0, 4, 5, 1, 2, 3, 6, 7}, {3, 4, 5}, true},
        BlockDrop{"PressWithinDoubleClickTime", {}, 2, 5, {0, 1, 3, 4, 2, 5, 6, 7}, {4}, false, true}),
    [](const ::testing::TestParamInfo<BlockDrop>& row) { return row.param.name; });

// The marker: black along the top of the target row, along the bottom of the last row for the
// end position, none on the drag row. A release beside the control moves nothing and erases it.
TEST(DragAndDropListBox, MarkerFollowsPointerAndReleaseOutsideMovesNothing) {
    ListBoxHarness h(8, 300);
    h.select({1});
    h.press(h.rowPoint(1));
    h.move(h.rowPoint(4));
    const QRect target = h.box.visualItemRect(h.box.item(4));
    EXPECT_EQ(h.box.markerLine(), QLine(target.left(), target.top() + 1, target.right(), target.top() + 1));
    const QImage shot = h.box.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(target.center().x(), target.top() + 1), QColor(Qt::black));
    const QRect last = h.box.visualItemRect(h.box.item(7));
    h.move(QPoint(10, last.bottom() + 10));
    const int bottom = last.top() + last.height();
    EXPECT_EQ(h.box.markerLine(), QLine(last.left(), bottom, last.right(), bottom));
    h.move(h.rowPoint(1));
    EXPECT_FALSE(h.box.markerLine().has_value());
    h.move(h.rowPoint(5));
    const QPoint beside(h.box.viewport()->width() + 30, h.rowPoint(5).y());
    h.move(beside);
    EXPECT_TRUE(h.box.markerLine().has_value());
    h.release(beside);
    EXPECT_EQ(h.values(), kUnmoved);
    EXPECT_EQ(h.drops.count(), 0);
    EXPECT_FALSE(h.box.capturing());
    EXPECT_FALSE(h.box.markerLine().has_value());
    EXPECT_EQ(h.box.dropIndex(), -1);
    EXPECT_EQ(h.box.dragIndex(), -1);
}

struct ScrollDistance {
    std::string name;
    int rowsBeyond;
    int interval;
};

void PrintTo(const ScrollDistance& c, std::ostream* out) { *out << c.name; }

class AutoScrollIntervalTest : public ::testing::TestWithParam<ScrollDistance> {};

// Below and above the control alike: the interval for the distance, one step at once, and the
// timers stopped back over a row.
TEST_P(AutoScrollIntervalTest, IntervalShrinksWithDistance) {
    const ScrollDistance& c = GetParam();
    ListBoxHarness h(60, 150);
    h.press(h.rowPoint(0));
    h.move(h.rowPoint(1));
    h.move(QPoint(20, h.height() + c.rowsBeyond * h.rowHeight() + 1));
    EXPECT_EQ(h.box.scrollInterval(), c.interval);
    EXPECT_TRUE(h.box.scrollingDown());
    EXPECT_EQ(h.topRow(), 1);
    h.move(QPoint(20, -c.rowsBeyond * h.rowHeight() - 1));
    EXPECT_EQ(h.box.scrollInterval(), c.interval);
    EXPECT_TRUE(h.box.scrollingUp());
    EXPECT_FALSE(h.box.scrollingDown());
    EXPECT_EQ(h.topRow(), 0);
    h.move(h.rowPoint(0));
    EXPECT_EQ(h.box.scrollInterval(), 0);
    EXPECT_FALSE(h.box.scrollingUp());
    h.release(h.rowPoint(0));
}

INSTANTIATE_TEST_SUITE_P(Table, AutoScrollIntervalTest,
                         ::testing::Values(ScrollDistance{"WithinFirstRow", 0, 250},
                                           ScrollDistance{"OneRow", 1, 125}, ScrollDistance{"TwoRows", 2, 83},
                                           ScrollDistance{"NineRows", 9, 25}),
                         [](const ::testing::TestParamInfo<ScrollDistance>& row) { return row.param.name; });

// The timer restarts only when the interval changes and scrolls on while the pointer is held
// there; beside the control it stops. A drop after the scroll keeps the rows in view.
TEST(DragAndDropListBox, AutoScrollTimerThenDropInScrolledList) {
    ListBoxHarness h(60, 150);
    h.press(h.rowPoint(0));
    h.move(h.rowPoint(1));
    h.move(QPoint(20, h.height() + 2));
    EXPECT_EQ(h.topRow(), 1);
    h.move(QPoint(20, h.height() + 5));  // same interval: no extra step
    EXPECT_EQ(h.topRow(), 1);
    h.move(QPoint(20, h.height() + h.rowHeight() + 2));  // 125 ms: restarted with one step
    EXPECT_EQ(h.topRow(), 2);
    QTest::qWait(600);
    EXPECT_GE(h.topRow(), 4);
    h.move(QPoint(h.box.viewport()->width() + 10, 20));
    EXPECT_EQ(h.box.scrollInterval(), 0);
    EXPECT_FALSE(h.box.scrollingDown());
    const int top = h.topRow();
    h.move(h.rowPoint(top + 3));
    h.release(h.rowPoint(top + 3));
    EXPECT_EQ(h.topRow(), top);
    EXPECT_EQ(h.box.item(top + 2)->data(Qt::UserRole).toInt(), 100);
    EXPECT_EQ(h.selectedRows(), std::vector<int>{top + 2});
}

TEST(DragAndDropListBox, MarkerStaysWithinRowsAndEndPositionWhileScrolling) {
    ListBoxHarness h(3, 300);
    h.press(h.rowPoint(0));
    h.move(h.rowPoint(2));
    h.move(QPoint(20, h.height() + 1));  // step down from row 2: the end position
    EXPECT_EQ(h.box.dropIndex(), -1);
    h.move(QPoint(20, h.height() + h.rowHeight() + 1));  // another step stays at the end
    EXPECT_EQ(h.box.dropIndex(), -1);
    h.move(QPoint(20, -1));  // step up from the end: the last row
    EXPECT_EQ(h.box.dropIndex(), 2);
    h.move(h.rowPoint(1));
    h.move(QPoint(20, -1));
    EXPECT_EQ(h.box.dropIndex(), 0);
    h.move(QPoint(20, -h.rowHeight() - 1));  // a step up from row 0 stays there
    EXPECT_EQ(h.box.dropIndex(), 0);
    // Back below the list, the marker steps to the end position, and a release there drops.
    h.move(h.rowPoint(2));
    h.move(QPoint(20, h.height() + 1));
    EXPECT_EQ(h.box.dropIndex(), -1);
    h.release(QPoint(20, h.height() + 1));
    EXPECT_EQ(h.values(), (std::vector<int>{101, 102, 100}));
    EXPECT_EQ(h.drops.count(), 1);
}

// The wheel turned during a drag scrolls the rows under the pointer; the drop goes to the row
// the pointer points at afterwards.
TEST(DragAndDropListBox, WheelDuringDragMovesTheMarkerWithTheRows) {
    ListBoxHarness h(60, 150);
    h.press(h.rowPoint(0));
    const QPoint at = h.rowPoint(3);
    h.move(at);
    h.wheelDown(at);
    const int top = h.topRow();
    ASSERT_GT(top, 0);
    EXPECT_EQ(h.box.dropIndex(), top + 3);
    EXPECT_TRUE(h.box.markerLine().has_value());
    h.release(at);
    EXPECT_EQ(h.box.item(top + 2)->data(Qt::UserRole).toInt(), 100);
}

}  // namespace
}  // namespace tovu::ui
