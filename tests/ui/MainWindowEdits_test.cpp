// The main window's add, edit and delete commands, run through their buttons and menu items.
#include "WindowHarness.h"

#include "ui/ChannelEditDialog.h"
#include "ui/EditorTexts.h"

#include <QAction>
#include <QPushButton>

#include <vector>

namespace tovu::ui {
namespace {

using test::WindowHarness;

struct AddCase {
    const char* name;
    int services;
    bool viaMenu;
    int serviceId;  // saved with transponder id 1; -1: the dialog is quit
    int rowsAfter;
    const char* lastServiceId;  // in the list's last row
    int selectedAfter;
};

class AddCommand : public testing::TestWithParam<AddCase> {};

TEST_P(AddCommand, RebuildsTheListAndSelectsTheLastRowOnlyAfterASave) {
    const AddCase& c = GetParam();
    WindowHarness h(c.services);
    h.select({1});
    int seen = 0;
    test::whenModal<ChannelEditDialog>(
        [&c](ChannelEditDialog& d) {
            EXPECT_EQ(d.channelIndex(), -1);
            EXPECT_EQ(d.parentWidget(), nullptr);
            if (c.serviceId < 0) return test::click(d.quitButton());
            test::retype(d.edit(kEditName), "New");
            test::retype(d.edit(kEditServiceId), QString::number(c.serviceId));
            test::retype(d.edit(kEditTransponderId), "1");
            test::click(d.saveButton());
        },
        &seen);
    c.viaMenu ? h.window->menuAction(kCmdAddChannel)->trigger()
              : test::click(h.window->button(kCmdAddChannel));
    EXPECT_EQ(seen, 1);
    ASSERT_EQ(h.rows(), c.rowsAfter);
    EXPECT_EQ(h.cell(c.rowsAfter - 1, 2), c.lastServiceId);
    EXPECT_EQ(h.window->selectedRecords(), QList<int>({c.selectedAfter}));
    EXPECT_TRUE(h.prompts.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Outcomes, AddCommand,
                         testing::Values(AddCase{"Saved", 3, false, 500, 4, "500", 3},
                                         AddCase{"SavedViaMenu", 3, true, 500, 4, "500", 3},
                                         AddCase{"Cancelled", 3, false, -1, 3, "103", 1}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(EditCommand, TypeChangeMovesTheServiceAndTheEditedRowStaysSelected) {
    WindowHarness h(4);
    h.select({3, 1});
    int seen = 0;
    test::whenModal<ChannelEditDialog>(
        [](ChannelEditDialog& d) {
            EXPECT_EQ(d.channelIndex(), 1);  // the first selected row
            test::pick(d.choice(kChoiceProgType), 1);
            test::retype(d.edit(kEditName), "Now radio");
            test::click(d.saveButton());
        },
        &seen);
    test::click(h.window->button(kCmdEditChannel));
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(h.cell(1, 1), "Now radio");
    EXPECT_EQ(h.cell(1, 12), "Radio");
    EXPECT_EQ(test::listEntries(*h.image, kListTv), std::vector<int>({0, 2, 3}));
    EXPECT_EQ(test::listEntries(*h.image, kListRadio), std::vector<int>({1}));
    EXPECT_EQ(h.window->selectedRecords(), QList<int>({1}));
}

struct DeleteCase {
    const char* name;
    int services;
    std::vector<int> selected;
    std::vector<int> remainingIds;
    int selectedAfter;  // -1: nothing
};

class DeleteCommand : public testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteCommand, DeletesEverySelectedServiceAndSelectsTheFirstRowAgain) {
    const DeleteCase& c = GetParam();
    WindowHarness h(c.services);
    h.select(c.selected);
    test::click(h.window->button(kCmdDeleteChannels));
    EXPECT_EQ(test::serviceIds(*h.image), c.remainingIds);
    EXPECT_EQ(h.rows(), static_cast<int>(c.remainingIds.size()));
    EXPECT_EQ(h.window->selectedRecords(),
              c.selectedAfter < 0 ? QList<int>() : QList<int>({c.selectedAfter}));
    EXPECT_TRUE(h.prompts.messages.empty());
    // The type list follows the records.
    std::vector<int> expectedTv(c.remainingIds.size());
    for (size_t i = 0; i < expectedTv.size(); ++i) expectedTv[i] = static_cast<int>(i);
    EXPECT_EQ(test::listEntries(*h.image, kListTv), expectedTv);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, DeleteCommand,
    testing::Values(DeleteCase{"ScatteredRows", 10, {2, 3, 7}, {101, 102, 105, 106, 107, 109, 110}, 2},
                    DeleteCase{"LastThreeOfFive", 5, {2, 3, 4}, {101, 102}, 1},
                    DeleteCase{"Everything", 3, {0, 1, 2}, {}, -1}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu::ui
