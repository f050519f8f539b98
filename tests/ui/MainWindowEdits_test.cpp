// The main window's add, edit and delete commands, run through their buttons and menu items.
#include "WindowHarness.h"

#include "db/FavLists.h"
#include "ui/ChannelEditDialog.h"
#include "ui/EditorTexts.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <vector>

namespace tovu::ui {
namespace {

using test::WindowHarness;

std::vector<int> listItems(const ChannelDbImage& image, int listId) {
    uint16_t items[1000];
    int count = 1000;
    EXPECT_EQ(getListItems(image, listId, count, items), 1);
    return {items, items + count};
}

// Fills the Channel Edit dialog with a new service's ids when it comes up and saves it.
void saveNewServiceWhenAsked(int serviceId, int transponderId, int* seen) {
    test::whenModal<ChannelEditDialog>(
        [serviceId, transponderId](ChannelEditDialog& d) {
            EXPECT_EQ(d.channelIndex(), -1);
            EXPECT_EQ(d.parentWidget(), nullptr);
            d.edit(kEditName)->setText("New");
            d.edit(kEditServiceId)->setText(QString::number(serviceId));
            d.edit(kEditTransponderId)->setText(QString::number(transponderId));
            d.saveButton()->click();
        },
        seen);
}

TEST(AddCommand, SavedServiceIsListedAndTheLastRowSelected) {
    WindowHarness h(3);
    int seen = 0;
    saveNewServiceWhenAsked(500, 9, &seen);
    h.window->button(kCmdAddChannel)->click();
    EXPECT_EQ(seen, 1);
    ASSERT_EQ(h.rows(), 4);
    EXPECT_EQ(h.cell(3, 1), "New");
    EXPECT_EQ(h.cell(3, 2), "500");
    EXPECT_EQ(h.window->selectedRows(), QList<int>({3}));
}

TEST(AddCommand, DuplicateIdsAddNothingButTheListIsRebuilt) {
    WindowHarness h(3);
    h.select({0});
    int seen = 0;
    saveNewServiceWhenAsked(102, 1, &seen);
    h.window->menuAction(kCmdAddChannel)->trigger();
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(channelCount(*h.image), 3);
    EXPECT_EQ(h.rows(), 3);
    EXPECT_EQ(h.window->selectedRows(), QList<int>({2}));
    EXPECT_TRUE(h.prompts.messages.empty());
}

TEST(AddCommand, FullTableAddsNothing) {
    WindowHarness h(1000);
    int seen = 0;
    saveNewServiceWhenAsked(7, 7, &seen);
    h.window->button(kCmdAddChannel)->click();
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(channelCount(*h.image), 1000);
    EXPECT_EQ(h.rows(), 1000);
    EXPECT_EQ(h.window->selectedRows(), QList<int>({999}));
}

TEST(AddCommand, CancelledDialogChangesNothingOnScreen) {
    WindowHarness h(3);
    h.select({1});
    test::whenModal<ChannelEditDialog>([](ChannelEditDialog& d) { d.quitButton()->click(); });
    h.window->button(kCmdAddChannel)->click();
    EXPECT_EQ(channelCount(*h.image), 3);
    EXPECT_EQ(h.window->selectedRows(), QList<int>({1}));
}

TEST(EditCommand, TypeChangeMovesTheServiceAndTheEditedRowStaysSelected) {
    WindowHarness h(4);
    h.select({3, 1});
    int seen = 0;
    test::whenModal<ChannelEditDialog>(
        [](ChannelEditDialog& d) {
            EXPECT_EQ(d.channelIndex(), 1);  // the first selected row
            d.choice(kChoiceProgType)->setCurrentIndex(1);
            d.edit(kEditName)->setText("Now radio");
            d.saveButton()->click();
        },
        &seen);
    h.window->button(kCmdEditChannel)->click();
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(h.cell(1, 1), "Now radio");
    EXPECT_EQ(h.cell(1, 12), "Radio");
    EXPECT_EQ(listItems(*h.image, kListTv), std::vector<int>({0, 2, 3}));
    EXPECT_EQ(listItems(*h.image, kListRadio), std::vector<int>({1}));
    EXPECT_EQ(h.window->selectedRows(), QList<int>({1}));
}

TEST(EditCommand, WithoutSelectionAsksToSelect) {
    WindowHarness h(2);
    h.clearSelection();
    h.window->menuAction(kCmdEditChannel)->trigger();
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, "Please select the channel want to Edit!");
    EXPECT_EQ(h.prompts.messages[0].caption, QCoreApplication::applicationName());
    EXPECT_EQ(h.prompts.messages[0].owner, h.window.get());
}

struct DeleteCase {
    const char* name;
    int services;
    std::vector<int> selected;
    std::vector<int> remainingIds;
    int selectedAfter;
};

class DeleteCommand : public testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteCommand, DeletesEverySelectedServiceAndSelectsTheFirstRowAgain) {
    const DeleteCase& c = GetParam();
    WindowHarness h(c.services);
    QItemSelectionModel* selection = h.window->channelList()->selectionModel();
    selection->clearSelection();
    for (const int row : c.selected)
        selection->select(h.window->channelList()->model()->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    h.window->button(kCmdDeleteChannels)->click();
    EXPECT_EQ(test::serviceIds(*h.image), c.remainingIds);
    EXPECT_EQ(h.rows(), static_cast<int>(c.remainingIds.size()));
    if (c.selectedAfter >= 0)
        EXPECT_EQ(h.window->selectedRows(), QList<int>({c.selectedAfter}));
    else
        EXPECT_TRUE(h.window->selectedRows().isEmpty());
    EXPECT_TRUE(h.prompts.messages.empty());
    // The type list follows the records.
    std::vector<int> expectedTv(c.remainingIds.size());
    for (size_t i = 0; i < expectedTv.size(); ++i) expectedTv[i] = static_cast<int>(i);
    EXPECT_EQ(listItems(*h.image, kListTv), expectedTv);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, DeleteCommand,
    testing::Values(DeleteCase{"ScatteredRows", 10, {2, 3, 7}, {101, 102, 105, 106, 107, 109, 110}, 2},
                    DeleteCase{"LastThreeOfFive", 5, {2, 3, 4}, {101, 102}, 1},
                    DeleteCase{"FirstRow", 3, {0}, {102, 103}, 0},
                    DeleteCase{"Everything", 3, {0, 1, 2}, {}, -1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(DeleteCommandMessage, WithoutSelectionAsksToSelect) {
    WindowHarness h(2);
    h.clearSelection();
    h.window->menuAction(kCmdDeleteChannels)->trigger();
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, "Please select the channel want to Del!");
    EXPECT_EQ(h.prompts.messages[0].caption, QCoreApplication::applicationName());
    EXPECT_EQ(channelCount(*h.image), 2);
}

}  // namespace
}  // namespace tovu::ui
