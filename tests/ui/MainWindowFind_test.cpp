// Finding and sorting services in the main window's list with the filter, the keys and the
// column headers; commands then address the records of the rows shown.
#include "WindowHarness.h"

namespace tovu::ui {
namespace {

using test::WindowHarness;

struct FindCase {
    const char* name;
    QStringList input;
    QStringList shown;  // "No." of the rows shown afterwards, top to bottom
    std::vector<int> remainingIds = {101, 102, 103, 104, 105, 106};
    bool open = true;
};

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
    h.play(c.input);
    EXPECT_EQ(h.shownNumbers(), c.shown);
    EXPECT_EQ(test::serviceIds(*h.image), c.remainingIds);
    EXPECT_EQ(h.window->isVisible(), c.open);
}

const QStringList kAll = {"1", "2", "3", "4", "5", "6"};
INSTANTIATE_TEST_SUITE_P(
    Inputs, FindAndSort,
    testing::Values(
        FindCase{"NameIgnoringCase", {"Ctrl+F", "type:SERVICE 1"}, {"1", "4"}},
        FindCase{"AnyShownFieldHoldingTheText", {"Ctrl+F", "type:9"}, {"1", "2", "6"}},
        FindCase{"EscapeClearsTheFilterAndStaysOpen", {"Ctrl+F", "type:zed", "Esc"}, kAll},
        FindCase{
            "EscapeInAnEmptyFilterQuits", {"Ctrl+F", "Esc"}, kAll, {101, 102, 103, 104, 105, 106}, false},
        FindCase{"DownThenDeleteTakesTheFirstShownRow",
                 {"Ctrl+F", "type:service", "Down", "Del"},
                 {"1", "2", "3"},
                 {102, 103, 104, 105, 106}},
        FindCase{"SelectAllDeletesOnlyTheShownRows",
                 {"Ctrl+F", "type:service", "Down", "Ctrl+A", "Del"},
                 {},
                 {105, 106}},
        FindCase{"NamesInNaturalOrder", {"header:1"}, {"6", "4", "3", "2", "1", "5"}},
        FindCase{"FrequencyAsNumbers", {"header:5"}, {"4", "6", "2", "3", "5", "1"}},
        FindCase{"SecondClickReverses", {"header:5", "header:5"}, {"1", "5", "3", "2", "6", "4"}},
        FindCase{"ThirdClickReturnsToRecordOrder", {"header:5", "header:5", "header:5"}, kAll},
        FindCase{"SortedAndFilteredDeleteHitsTheClickedRecord",
                 {"header:5", "header:5", "Ctrl+F", "type:service", "click:1", "Del"},
                 {"1", "2", "3"},
                 {101, 102, 104, 105, 106}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu::ui
