// The drag-and-drop list box driven by mouse events sent to its viewport.
#include "ui/DragAndDropListBox.h"

#include "FakePrompts.h"

#include <QImage>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tovu::ui {
namespace {

using test::testApplication;

class ListBoxHarness {
public:
    // rows rows "row k" carrying the value 100 + k, in a viewport of the given height.
    ListBoxHarness(int rows, int height) {
        testApplication();
        box = std::make_unique<CDragAndDropListBox>();
        for (int k = 0; k < rows; ++k) {
            auto* row = new QListWidgetItem(QString::asprintf("%4d row", k + 1));
            row->setData(Qt::UserRole, 100 + k);
            box->addItem(row);
        }
        box->resize(200, height);
        box->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(box.get()));
        drops = std::make_unique<QSignalSpy>(box.get(), &CDragAndDropListBox::dropSelectionChanged);
    }

    QWidget* viewport() const { return box->viewport(); }
    QPoint rowPoint(int row) const { return box->visualItemRect(box->item(row)).center(); }
    int rowHeight() const { return box->visualItemRect(box->item(0)).height(); }
    int topRow() const { return box->verticalScrollBar()->value(); }

    void send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(type, QPointF(at), QPointF(viewport()->mapToGlobal(at)), button, buttons,
                          modifiers);
        QCoreApplication::sendEvent(viewport(), &event);
    }
    void press(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, modifiers);
    }
    void move(QPoint at) { send(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton); }
    void release(QPoint at) { send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton); }
    void drag(int fromRow, QPoint to) {
        press(rowPoint(fromRow));
        move(to);
        release(to);
    }

    void select(const std::vector<int>& rows) {
        box->clearSelection();
        for (const int row : rows) box->item(row)->setSelected(true);
    }
    std::vector<int> values() const {
        std::vector<int> out;
        for (int row = 0; row < box->count(); ++row)
            out.push_back(box->item(row)->data(Qt::UserRole).toInt());
        return out;
    }
    std::vector<int> selectedRows() const {
        std::vector<int> out;
        for (int row = 0; row < box->count(); ++row)
            if (box->item(row)->isSelected()) out.push_back(row);
        return out;
    }

    std::unique_ptr<CDragAndDropListBox> box;
    std::unique_ptr<QSignalSpy> drops;
};

std::vector<int> identity(int n) {
    std::vector<int> out;
    for (int k = 0; k < n; ++k) out.push_back(100 + k);
    return out;
}

TEST(DragAndDropListBox, ClickWithoutMoveOnlySelects) {
    ListBoxHarness h(8, 300);
    h.select({1, 2, 3});
    h.press(h.rowPoint(5));
    h.release(h.rowPoint(5));
    EXPECT_EQ(h.values(), identity(8));
    EXPECT_EQ(h.selectedRows(), std::vector<int>{5});
    EXPECT_EQ(h.drops->count(), 0);
    EXPECT_EQ(h.box->dragIndex(), -1);
    EXPECT_FALSE(h.box->capturing());
}

TEST(DragAndDropListBox, ClickOnRowOfSelectedBlockSelectsItAlone) {
    ListBoxHarness h(8, 300);
    h.select({1, 2, 3});
    h.press(h.rowPoint(2));
    EXPECT_EQ(h.selectedRows(), (std::vector<int>{1, 2, 3}));  // kept for a drag
    h.release(h.rowPoint(2));
    EXPECT_EQ(h.selectedRows(), std::vector<int>{2});
}

TEST(DragAndDropListBox, MoveWithinPressedRowMovesNothingDrawsNoMarkerAndNotifies) {
    ListBoxHarness h(8, 300);
    const QPoint start = h.rowPoint(4);
    h.press(start);
    h.move(start + QPoint(5, 2));
    EXPECT_TRUE(h.box->capturing());
    EXPECT_EQ(h.box->dropIndex(), 4);
    EXPECT_FALSE(h.box->markerLine().has_value());
    h.release(start + QPoint(5, 2));
    EXPECT_EQ(h.values(), identity(8));
    EXPECT_EQ(h.drops->count(), 1);
    EXPECT_FALSE(h.box->capturing());
}

TEST(DragAndDropListBox, DropBelowLastRowMovesBlockToEnd) {
    ListBoxHarness h(5, 300);
    const QRect last = h.box->visualItemRect(h.box->item(4));
    const QPoint below(last.center().x(), last.bottom() + 20);
    ASSERT_LT(below.y(), h.viewport()->height());
    h.select({1});
    h.press(h.rowPoint(1));
    h.move(below);
    EXPECT_EQ(h.box->dropIndex(), -1);
    const auto marker = h.box->markerLine();
    ASSERT_TRUE(marker.has_value());
    EXPECT_EQ(marker->y1(), last.top() + last.height());
    h.release(below);
    EXPECT_EQ(h.values(), (std::vector<int>{100, 102, 103, 104, 101}));
    EXPECT_EQ(h.selectedRows(), std::vector<int>{4});
    EXPECT_EQ(h.drops->count(), 1);
}

struct BlockDrop {
    std::string name;
    std::vector<int> selected;
    int dragRow;
    int dropRow;  // -1: the empty area below the last row
    std::vector<int> order;
    std::vector<int> selectedAfter;
};

void PrintTo(const BlockDrop& c, std::ostream* out) { *out << c.name; }

class BlockDropTest : public ::testing::TestWithParam<BlockDrop> {};

TEST_P(BlockDropTest, MovesSelectedRowsAsOneBlock) {
    const BlockDrop& c = GetParam();
    ListBoxHarness h(8, 300);
    h.select(c.selected);
    h.press(h.rowPoint(c.dragRow));
    const QRect last = h.box->visualItemRect(h.box->item(7));
    const QPoint to = c.dropRow >= 0 ? h.rowPoint(c.dropRow) : QPoint(10, last.bottom() + 10);
    h.move(to);
    h.release(to);
    std::vector<int> expected;
    for (const int row : c.order) expected.push_back(100 + row);
    EXPECT_EQ(h.values(), expected);
    EXPECT_EQ(h.selectedRows(), c.selectedAfter);
    EXPECT_EQ(h.drops->count(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Drops, BlockDropTest,
    ::testing::Values(BlockDrop{"OnLastRowOfBlock", {1, 2, 3}, 1, 3, {0, 1, 2, 3, 4, 5, 6, 7}, {1, 2, 3}},
                      BlockDrop{"OnMiddleRowOfBlock", {1, 2, 3}, 1, 2, {0, 1, 2, 3, 4, 5, 6, 7}, {1, 2, 3}},
                      BlockDrop{"OnRowFive", {1, 2, 3}, 1, 5, {0, 4, 1, 2, 3, 5, 6, 7}, {2, 3, 4}},
                      BlockDrop{"OnFirstRow", {4, 6}, 6, 0, {4, 6, 0, 1, 2, 3, 5, 7}, {0, 1}},
                      BlockDrop{"ScatteredToEnd", {0, 3, 5}, 3, -1, {1, 2, 4, 6, 7, 0, 3, 5}, {5, 6, 7}},
                      BlockDrop{"SingleRowUp", {6}, 6, 2, {0, 1, 6, 2, 3, 4, 5, 7}, {2}}),
    [](const ::testing::TestParamInfo<BlockDrop>& row) { return row.param.name; });

TEST(DragAndDropListBox, DragStartedOnUnselectedRowJoinsBlockInOrder) {
    ListBoxHarness h(8, 300);
    h.select({1, 2, 3});
    // Ctrl takes row 2 out of the selection; the drag started on it still carries it.
    h.press(h.rowPoint(2), Qt::ControlModifier);
    h.move(h.rowPoint(6));
    h.release(h.rowPoint(6));
    EXPECT_EQ(h.values(), (std::vector<int>{100, 104, 105, 101, 102, 103, 106, 107}));
    EXPECT_EQ(h.selectedRows(), (std::vector<int>{3, 4, 5}));
}

TEST(DragAndDropListBox, TextsAndValuesMoveTogetherAndKeepTheirNumbers) {
    ListBoxHarness h(6, 300);
    h.select({0});
    h.drag(0, h.rowPoint(3));
    ASSERT_EQ(h.box->count(), 6);
    const QStringList expectedTexts = {"   2 row", "   3 row", "   1 row",
                                       "   4 row", "   5 row", "   6 row"};
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(h.box->item(row)->text(), expectedTexts[row]);
        EXPECT_EQ(h.box->item(row)->data(Qt::UserRole).toInt(),
                  100 + expectedTexts[row].left(4).trimmed().toInt() - 1);
    }
    EXPECT_EQ(h.box->currentRow(), 2);
}

TEST(DragAndDropListBox, ReleaseOutsideMovesNothingAndErasesMarker) {
    ListBoxHarness h(8, 300);
    h.select({1});
    h.press(h.rowPoint(1));
    h.move(h.rowPoint(5));
    ASSERT_TRUE(h.box->markerLine().has_value());
    const QPoint beside(h.viewport()->width() + 30, h.rowPoint(5).y());
    h.move(beside);
    h.release(beside);
    EXPECT_EQ(h.values(), identity(8));
    EXPECT_EQ(h.drops->count(), 0);
    EXPECT_FALSE(h.box->capturing());
    EXPECT_FALSE(h.box->markerLine().has_value());
    EXPECT_EQ(h.box->dropIndex(), -1);
    EXPECT_EQ(h.box->dragIndex(), -1);
}

TEST(DragAndDropListBox, MarkerIsDrawnInBlackAlongTheTopOfTheTargetRow) {
    ListBoxHarness h(8, 300);
    h.press(h.rowPoint(1));
    h.move(h.rowPoint(4));
    const QRect target = h.box->visualItemRect(h.box->item(4));
    const auto marker = h.box->markerLine();
    ASSERT_TRUE(marker.has_value());
    EXPECT_EQ(*marker, QLine(target.left(), target.top() + 1, target.right(), target.top() + 1));
    const QImage shot = h.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(target.center().x(), target.top() + 1), QColor(Qt::black));
    h.move(h.rowPoint(1));  // back on the drag row: no marker
    EXPECT_FALSE(h.box->markerLine().has_value());
    h.release(h.rowPoint(1));
}

struct ScrollDistance {
    std::string name;
    int rowsBeyond;
    int interval;
};

void PrintTo(const ScrollDistance& c, std::ostream* out) { *out << c.name; }

class AutoScrollIntervalTest : public ::testing::TestWithParam<ScrollDistance> {};

TEST_P(AutoScrollIntervalTest, IntervalShrinksWithDistance) {
    const ScrollDistance& c = GetParam();
    ListBoxHarness h(60, 150);
    h.press(h.rowPoint(0));
    h.move(h.rowPoint(1));
    const int below = h.viewport()->height() + c.rowsBeyond * h.rowHeight() + 1;
    h.move(QPoint(20, below));
    EXPECT_EQ(h.box->scrollInterval(), c.interval);
    EXPECT_TRUE(h.box->scrollingDown());
    EXPECT_EQ(h.topRow(), 1);  // one step at once
    h.move(QPoint(20, -c.rowsBeyond * h.rowHeight() - 1));
    EXPECT_EQ(h.box->scrollInterval(), c.interval);
    EXPECT_TRUE(h.box->scrollingUp());
    EXPECT_FALSE(h.box->scrollingDown());
    EXPECT_EQ(h.topRow(), 0);
    h.move(h.rowPoint(0));
    EXPECT_EQ(h.box->scrollInterval(), 0);
    EXPECT_FALSE(h.box->scrollingUp());
    h.release(h.rowPoint(0));
}

INSTANTIATE_TEST_SUITE_P(
    Table, AutoScrollIntervalTest,
    ::testing::Values(ScrollDistance{"WithinFirstRow", 0, 250}, ScrollDistance{"OneRow", 1, 125},
                      ScrollDistance{"TwoRows", 2, 83}, ScrollDistance{"ThreeRows", 3, 62},
                      ScrollDistance{"FourRows", 4, 50}, ScrollDistance{"FiveRows", 5, 41},
                      ScrollDistance{"SixRows", 6, 35}, ScrollDistance{"SevenRows", 7, 31},
                      ScrollDistance{"EightRows", 8, 27}, ScrollDistance{"NineRows", 9, 25}),
    [](const ::testing::TestParamInfo<ScrollDistance>& row) { return row.param.name; });

TEST(DragAndDropListBox, TimerRestartsOnlyWhenIntervalChanges) {
    ListBoxHarness h(60, 150);
    h.press(h.rowPoint(0));
    h.move(h.rowPoint(1));
    const int h0 = h.viewport()->height();
    h.move(QPoint(20, h0 + 2));
    EXPECT_EQ(h.topRow(), 1);
    h.move(QPoint(20, h0 + 5));  // same interval: no extra step
    EXPECT_EQ(h.topRow(), 1);
    h.move(QPoint(20, h0 + h.rowHeight() + 2));  // 125 ms: restarted with one step
    EXPECT_EQ(h.topRow(), 2);
    EXPECT_EQ(h.box->scrollInterval(), 125);
    QTest::qWait(600);  // the timer keeps scrolling while the pointer is held there
    EXPECT_GE(h.topRow(), 4);
    h.move(QPoint(h.viewport()->width() + 10, 20));  // beside the control
    EXPECT_EQ(h.box->scrollInterval(), 0);
    EXPECT_FALSE(h.box->scrollingDown());
    h.release(QPoint(h.viewport()->width() + 10, 20));
}

TEST(DragAndDropListBox, MarkerStaysWithinRowsAndEndPositionWhileScrolling) {
    ListBoxHarness h(3, 300);
    h.press(h.rowPoint(0));
    h.move(h.rowPoint(2));
    const int height = h.viewport()->height();
    h.move(QPoint(20, height + 1));  // step down from row 2: the end position
    EXPECT_EQ(h.box->dropIndex(), -1);
    h.move(QPoint(20, height + h.rowHeight() + 1));  // another step stays at the end
    EXPECT_EQ(h.box->dropIndex(), -1);
    h.move(QPoint(20, -1));  // step up from the end: the last row
    EXPECT_EQ(h.box->dropIndex(), 2);
    h.move(h.rowPoint(0));
    h.move(h.rowPoint(1));
    h.move(QPoint(20, -1));
    EXPECT_EQ(h.box->dropIndex(), 0);
    h.move(QPoint(20, -h.rowHeight() - 1));  // a step up from row 0 stays there
    EXPECT_EQ(h.box->dropIndex(), 0);
    h.move(h.rowPoint(2));  // dropping where the marker is now
    h.release(h.rowPoint(2));
    EXPECT_EQ(h.values(), (std::vector<int>{101, 100, 102}));
}

TEST(DragAndDropListBox, DropInScrolledListKeepsTopRow) {
    ListBoxHarness h(60, 150);
    h.box->verticalScrollBar()->setValue(20);
    h.select({21});
    h.drag(21, h.rowPoint(24));
    EXPECT_EQ(h.topRow(), 20);
    EXPECT_EQ(h.box->item(23)->data(Qt::UserRole).toInt(), 121);
    EXPECT_EQ(h.selectedRows(), std::vector<int>{23});
}

}  // namespace
}  // namespace tovu::ui
