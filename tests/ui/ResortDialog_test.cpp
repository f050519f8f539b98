// The Resort dialog driven through its controls, on an image of the test's own.
#include "ui/ResortDialog.h"

#include "UiTestSupport.h"
#include "ui/DragAndDropListBox.h"
#include "ui/FilterField.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tovu::ui {
namespace {

class ResortFixture {
public:
    // Five TV services 0..4 ("TV0".."TV4") and three radio services 5..7 ("Radio0".."Radio2").
    ResortFixture() {
        for (int i = 0; i < 8; ++i) {
            const std::string name = i < 5 ? "TV" + std::to_string(i) : "Radio" + std::to_string(i - 5);
            EXPECT_EQ(addChannel(*image, test::makeService(static_cast<uint16_t>(i + 1), 7,
                                                           i < 5 ? kProgTv : kProgRadio, name)),
                      i);
        }
    }
    void open() {
        dialog = std::make_unique<ResortDialog>(*image, prompts);
        dialog->show();
    }
    void choose(int listId) {
        for (size_t k = 0; k < dialog->choices().size(); ++k)
            if (dialog->choices()[k].listId == listId) test::pick(dialog->listChoice(), static_cast<int>(k));
    }
    QPoint rowPoint(int row) const {
        return dialog->rows()->visualItemRect(dialog->rows()->item(row)).center();
    }
    void clickRow(int row) {
        QTest::mouseClick(dialog->rows()->viewport(), Qt::LeftButton, {}, rowPoint(row));
    }
    void moveTo(int row, const QString& position) {
        clickRow(row);
        test::retype(dialog->positionEdit(), position);
        test::click(dialog->moveToButton());
    }
    std::vector<int> shown() const {
        std::vector<int> out;
        for (int row = 0; row < dialog->rows()->count(); ++row)
            out.push_back(dialog->rows()->item(row)->data(Qt::UserRole).toInt());
        return out;
    }
    // Every row shows its position and the name of the service it carries.
    void expectRowTexts() const {
        for (int row = 0; row < dialog->rows()->count(); ++row) {
            const int channel = dialog->rows()->item(row)->data(Qt::UserRole).toInt();
            const QString name =
                channel < 5 ? QString("TV%1").arg(channel) : QString("Radio%1").arg(channel - 5);
            EXPECT_EQ(dialog->rows()->item(row)->text(), QString::asprintf("%4d ", row + 1) + name);
        }
    }

    QApplication& app = test::testApplication();
    std::unique_ptr<ChannelDbImage> image = std::make_unique<ChannelDbImage>();
    test::FakePrompts prompts;
    std::unique_ptr<ResortDialog> dialog;
};

TEST(ResortDialog, ShowsTitleControlsAndChoices) {
    ResortFixture f;
    std::memcpy(f.image->bytes.data() + kDefaultFavOffset + kFavListSize * 1, "News", 4);
    int id = 0;
    for (int k = 0; k < 3; ++k) ASSERT_EQ(createUserList(*f.image, id), 1);  // 9, 10, 11
    ASSERT_EQ(deleteUserList(*f.image, 10), 1);
    const uint8_t sports[kListNameSize] = {'S', 'p', 'o', 'r', 't', 's'};
    ASSERT_EQ(setListName(*f.image, 11, sports), 1);
    f.open();
    ResortDialog& d = *f.dialog;
    EXPECT_EQ(d.windowTitle(), "Resort Channel List");
    EXPECT_EQ(d.positionEdit()->text(), "0");

    const QStringList names = {"TV List",   "Radio List", "Data List", "Fav1 List", "News",
                               "Fav3 List", "Fav4 List",  "Fav5 List", "Fav6 List", "Sports"};
    const std::vector<int> ids = {0, 1, 2, 3, 4, 5, 6, 7, 9, 11};
    ASSERT_EQ(d.listChoice()->count(), names.size());
    for (int k = 0; k < names.size(); ++k) {
        EXPECT_EQ(d.listChoice()->itemText(k), names[k]);
        EXPECT_EQ(d.choices()[static_cast<size_t>(k)].listId, ids[static_cast<size_t>(k)]);
    }
    EXPECT_EQ(d.listChoice()->currentIndex(), 0);
    EXPECT_EQ(f.shown(), (std::vector<int>{0, 1, 2, 3, 4}));
    f.expectRowTexts();
}

struct MoveCase {
    std::string name;
    QPushButton* (ResortDialog::*button)() const;
    int current;
    QString position;
    std::vector<int> order;
    int currentAfter;
    QString message = {};  // empty: none
    MessageIcon icon = MessageIcon::None;
};

void PrintTo(const MoveCase& c, std::ostream* out) { *out << c.name; }

class ResortMoveTest : public ::testing::TestWithParam<MoveCase> {};

TEST_P(ResortMoveTest, MovesTheCurrentRowOnScreenOnly) {
    const MoveCase& c = GetParam();
    ResortFixture f;
    const ChannelDbImage before = *f.image;
    f.open();
    if (c.current >= 0) f.clickRow(c.current);
    test::retype(f.dialog->positionEdit(), c.position);
    test::click(((*f.dialog).*c.button)());
    EXPECT_EQ(f.shown(), c.order);
    f.expectRowTexts();
    EXPECT_EQ(f.dialog->rows()->currentRow(), c.currentAfter);
    EXPECT_EQ(f.prompts.texts(), c.message.isEmpty() ? QStringList{} : QStringList{c.message});
    for (const auto& shown : f.prompts.messages) {
        EXPECT_EQ(shown.caption, QCoreApplication::applicationName());
        EXPECT_EQ(shown.icon, c.icon);
    }
    EXPECT_TRUE(f.image->bytes == before.bytes) << "only Save Change writes the image";
}

const QString kSelect = "Please select the channel want to Resort!";
const QString kTooSmall = "Please Input new position want to move to!";
const QString kTooLarge = "New position vlaue must less than Channel Count!";
const QString kNotInteger = QString::fromUtf8("请键入一个整数。");
const std::vector<int> kUnchanged = {0, 1, 2, 3, 4};
constexpr auto kUp = &ResortDialog::moveUpButton;
constexpr auto kDown = &ResortDialog::moveDownButton;
constexpr auto kTo = &ResortDialog::moveToButton;

INSTANTIATE_TEST_SUITE_P(
    Commands, ResortMoveTest,
    ::testing::Values(MoveCase{"UpFromMiddle", kUp, 2, "0", {0, 2, 1, 3, 4}, 1},
                      MoveCase{"UpFromFirstRow", kUp, 0, "0", kUnchanged, 0},
                      MoveCase{"UpWithoutCurrentRow", kUp, -1, "0", kUnchanged, -1, kSelect},
                      MoveCase{"DownFromMiddle", kDown, 1, "0", {0, 2, 1, 3, 4}, 2},
                      MoveCase{"DownFromLastRow", kDown, 4, "0", kUnchanged, 4},
                      MoveCase{"DownWithoutCurrentRow", kDown, -1, "0", kUnchanged, -1, kSelect},
                      MoveCase{"ToZero", kTo, 1, "0", kUnchanged, 1, kTooSmall},
                      MoveCase{"ToNegative", kTo, 1, "-3", kUnchanged, 1, kTooSmall},
                      MoveCase{"ToEmptyField", kTo, 1, "", kUnchanged, 1, kNotInteger, MessageIcon::Warning},
                      MoveCase{"ToText", kTo, 1, "2x", kUnchanged, 1, kNotInteger, MessageIcon::Warning},
                      MoveCase{"ToRowCount", kTo, 1, "5", {0, 2, 3, 4, 1}, 4},
                      MoveCase{"ToRowCountPlusOne", kTo, 1, "6", kUnchanged, 1, kTooLarge},
                      MoveCase{"ToFirstWithBlanks", kTo, 3, " 1 ", {3, 0, 1, 2, 4}, 0},
                      MoveCase{"ToOwnPosition", kTo, 2, "3", kUnchanged, 2},
                      MoveCase{"ToWithoutCurrentRow", kTo, -1, "2", kUnchanged, -1, kSelect}),
    [](const ::testing::TestParamInfo<MoveCase>& row) { return row.param.name; });

// Save Change (also the Enter key) writes the order shown and stays open; an order not saved
// is dropped on choosing another list; Escape quits and keeps what was saved.
TEST(ResortDialog, SavedOrderSurvivesListSwitchUnsavedOrderDoesNot) {
    ResortFixture f;
    f.open();
    QSignalSpy finished(f.dialog.get(), &QDialog::finished);
    f.clickRow(0);
    test::click(f.dialog->moveDownButton());
    f.dialog->rows()->setFocus();
    QTest::keyClick(f.dialog->rows(), Qt::Key_Return);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(test::listEntries(*f.image, kListTv), (std::vector<int>{1, 0, 2, 3, 4}));

    f.choose(kListRadio);
    EXPECT_EQ(f.shown(), (std::vector<int>{5, 6, 7}));
    f.clickRow(2);
    test::click(f.dialog->moveUpButton());
    EXPECT_EQ(f.shown(), (std::vector<int>{5, 7, 6}));
    f.choose(kListTv);
    EXPECT_EQ(f.shown(), (std::vector<int>{1, 0, 2, 3, 4}));
    f.expectRowTexts();
    f.choose(kListRadio);
    EXPECT_EQ(f.shown(), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(test::listEntries(*f.image, kListRadio), (std::vector<int>{5, 6, 7}));

    QTest::keyClick(f.dialog->rows(), Qt::Key_Escape);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(f.dialog->result(), QDialog::Rejected);
    EXPECT_EQ(test::listEntries(*f.image, kListTv), (std::vector<int>{1, 0, 2, 3, 4}));
    EXPECT_TRUE(f.prompts.messages.empty());
}

// Dropped rows show their new positions, so Move Up and Move To act on the numbers shown.
TEST(ResortDialog, DragThenMoveUpThenSaveStoresExactlyTheRowsShown) {
    ResortFixture f;
    f.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.dialog.get()));
    QWidget* viewport = f.dialog->rows()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, f.rowPoint(0));
    QTest::mouseMove(viewport, f.rowPoint(3));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, f.rowPoint(3));
    ASSERT_EQ(f.shown(), (std::vector<int>{1, 2, 0, 3, 4}));
    f.expectRowTexts();
    f.clickRow(3);
    test::click(f.dialog->moveUpButton());
    EXPECT_EQ(f.shown(), (std::vector<int>{1, 2, 3, 0, 4}));
    f.moveTo(3, "1");
    EXPECT_EQ(f.shown(), (std::vector<int>{0, 1, 2, 3, 4}));
    f.expectRowTexts();
    EXPECT_EQ(f.dialog->rows()->currentRow(), 0);
    test::click(f.dialog->saveButton());
    EXPECT_EQ(test::listEntries(*f.image, kListTv), (std::vector<int>{0, 1, 2, 3, 4}));
}

// Any list can be reordered, also one holding an entry that names no service (a loaded file
// may); a list with no entries shows no rows and its Save Change stores nothing.
TEST(ResortDialog, FavouriteEmptyAndOddListsAreReorderedInPlace) {
    ResortFixture f;
    const uint16_t order[5] = {4, 999, 2, 1, 0};
    ASSERT_EQ(setListItems(*f.image, kListTv, 5, order), 1);
    for (const int channel : {6, 1, 3}) ASSERT_EQ(addToList(*f.image, channel, kListFirstDefault + 2), 1);
    f.open();
    EXPECT_EQ(f.dialog->rows()->item(1)->text(), "   2 (no channel 999)");
    f.clickRow(1);
    test::click(f.dialog->moveDownButton());
    test::click(f.dialog->saveButton());
    EXPECT_EQ(test::listEntries(*f.image, kListTv), (std::vector<int>{4, 2, 999, 1, 0}));

    f.choose(kListFirstDefault + 2);
    EXPECT_EQ(f.dialog->listChoice()->currentText(), "Fav3 List");
    EXPECT_EQ(f.shown(), (std::vector<int>{6, 1, 3}));
    f.moveTo(2, "1");
    test::click(f.dialog->saveButton());
    EXPECT_EQ(test::listEntries(*f.image, kListFirstDefault + 2), (std::vector<int>{3, 6, 1}));
    EXPECT_EQ(test::listEntries(*f.image, kListTv), (std::vector<int>{4, 2, 999, 1, 0}));

    const ChannelDbImage before = *f.image;
    f.choose(kListData);
    EXPECT_EQ(f.dialog->rows()->count(), 0);
    test::click(f.dialog->saveButton());
    EXPECT_TRUE(f.prompts.messages.empty());
    EXPECT_TRUE(f.image->bytes == before.bytes);
    test::click(f.dialog->moveUpButton());
    EXPECT_EQ(f.prompts.texts(), QStringList{kSelect});
}

// While the filter hides rows, rows cannot be dragged or moved up and down past hidden ones;
// Move To takes the position in the whole list, as every row shows it.
TEST(ResortDialog, FilteredRowsMoveOnlyToAPositionInTheWholeList) {
    ResortFixture f;
    f.open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.dialog.get()));
    test::typeText(f.dialog->filter(), "tv3");
    std::vector<int> visible;
    for (int row = 0; row < 5; ++row)
        if (!f.dialog->rows()->isRowHidden(row)) visible.push_back(row);
    EXPECT_EQ(visible, std::vector<int>{3});
    EXPECT_FALSE(f.dialog->moveUpButton()->isEnabled() || f.dialog->moveDownButton()->isEnabled());
    QWidget* viewport = f.dialog->rows()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, f.rowPoint(3));
    QTest::mouseMove(viewport, f.rowPoint(3) + QPoint(0, 40));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, f.rowPoint(3) + QPoint(0, 40));
    EXPECT_EQ(f.shown(), kUnchanged);
    f.moveTo(3, "1");
    EXPECT_EQ(f.shown(), (std::vector<int>{3, 0, 1, 2, 4}));
    EXPECT_FALSE(f.dialog->rows()->isRowHidden(0));
    QTest::keyClick(f.dialog->filter(), Qt::Key_Escape);
    EXPECT_TRUE(f.dialog->isVisible());
    EXPECT_TRUE(f.dialog->moveUpButton()->isEnabled());
}

}  // namespace
}  // namespace tovu::ui
