// Finding and sorting services in the main window's list with the filter, the keys and the
// column headers; commands then address the records of the rows shown.
#include "WindowHarness.h"

#include "ui/FilterField.h"

#include <QHeaderView>

namespace tovu::ui {
namespace {

using test::WindowHarness;

struct FindCase {
    const char* name;
    std::function<void(WindowHarness&)> input;
    QStringList shown;  // "No." of the rows shown afterwards, top to bottom
    std::vector<int> deletedIds = {};
    bool open = true;
};

// Ctrl+F, then typing in the field that has the focus.
void filterBy(const QString& text) {
    WindowHarness::key(Qt::Key_F, Qt::ControlModifier);
    test::typeText(QApplication::focusWidget(), text);
}

void clickHeader(WindowHarness& h, int column, int times) {
    QHeaderView* header = h.window->channelList()->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    for (int k = 0; k < times; ++k) QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

class FindAndSort : public testing::TestWithParam<FindCase> {};

// Six services; frequencies and names chosen so that text order and number order differ.
TEST_P(FindAndSort, ShowsTheMatchingRowsInTheChosenOrderAndCommandsHitTheirRecords) {
    const FindCase& c = GetParam();
    WindowHarness h(0, [](ChannelDbImage& image) {
        const char* const names[] = {"Service 10", "Service 9", "service 2", "Service 1", "Zed", "alpha"};
        const uint16_t transponders[] = {90, 3, 50, 1, 70, 2};  // 1194000 KHz, 498000 KHz, ...
        for (int i = 0; i < 6; ++i)
            (void)addChannel(
                image, test::makeService(static_cast<uint16_t>(101 + i), transponders[i], kProgTv, names[i]));
    });
    h.window->fillChannelList(0);
    h.window->channelList()->setFocus();
    c.input(h);
    EXPECT_EQ(h.shownNumbers(), c.shown);
    std::vector<int> remaining;
    for (const int id : {101, 102, 103, 104, 105, 106})
        if (std::find(c.deletedIds.begin(), c.deletedIds.end(), id) == c.deletedIds.end())
            remaining.push_back(id);
    EXPECT_EQ(test::serviceIds(*h.image), remaining);
    EXPECT_EQ(h.window->isVisible(), c.open);
}

const QStringList kAll = {"1", "2", "3", "4", "5", "6"};
INSTANTIATE_TEST_SUITE_P(
    Inputs, FindAndSort,
    testing::Values(
        FindCase{"NameIgnoringCase", [](auto&) { filterBy("SERVICE 1"); }, {"1", "4"}},
        FindCase{"AnyShownFieldHoldingTheText", [](auto&) { filterBy("9"); }, {"1", "2", "6"}},
        FindCase{"EscapeClearsTheFilterAndStaysOpen",
                 [](auto&) { filterBy("zed"), WindowHarness::key(Qt::Key_Escape); }, kAll},
        FindCase{"EscapeInAnEmptyFilterQuits",
                 [](auto&) { filterBy(""), WindowHarness::key(Qt::Key_Escape); },
                 kAll,
                 {},
                 false},
        FindCase{"DownThenDeleteTakesTheFirstShownRow",
                 [](auto&) {
                     filterBy("service"), WindowHarness::key(Qt::Key_Down),
                         WindowHarness::key(Qt::Key_Delete);
                 },
                 {"1", "2", "3"},
                 {101}},
        FindCase{"SelectAllDeletesOnlyTheShownRows",
                 [](auto&) {
                     filterBy("service");
                     for (const int key : {Qt::Key_Down, Qt::Key_A, Qt::Key_Delete})
                         WindowHarness::key(key, key == Qt::Key_A ? Qt::ControlModifier : Qt::NoModifier);
                 },
                 {},
                 {101, 102, 103, 104}},
        FindCase{
            "NamesInNaturalOrder", [](auto& h) { clickHeader(h, 1, 1); }, {"6", "4", "3", "2", "1", "5"}},
        FindCase{"FrequencyAsNumbers", [](auto& h) { clickHeader(h, 5, 1); }, {"4", "6", "2", "3", "5", "1"}},
        FindCase{
            "SecondClickReverses", [](auto& h) { clickHeader(h, 5, 2); }, {"1", "5", "3", "2", "6", "4"}},
        FindCase{"ThirdClickReturnsToRecordOrder", [](auto& h) { clickHeader(h, 5, 3); }, kAll},
        FindCase{"SortedAndFilteredDeleteHitsTheClickedRecord",
                 [](auto& h) {
                     clickHeader(h, 5, 2);
                     filterBy("service");
                     h.clickRow(1);
                     WindowHarness::key(Qt::Key_Delete);
                 },
                 {"1", "2", "3"},
                 {103}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu::ui
