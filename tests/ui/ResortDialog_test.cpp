// The Resort dialog driven through its controls, on an image of the test's own.
#include "ui/ResortDialog.h"

#include "FakePrompts.h"
#include "db/ChannelRecord.h"
#include "db/FavLists.h"
#include "ui/DragAndDropListBox.h"
#include "ui/ListDialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tovu::ui {
namespace {

using test::FakePrompts;
using test::testApplication;

int addService(ChannelDbImage& image, uint16_t serviceId, uint32_t progType, const char* name) {
    ChannelRecord record;
    record.serviceId = serviceId;
    record.transponderId = 7;
    record.flags = progType << kProgTypeShift;
    std::memcpy(record.name.data(), name, std::min(std::strlen(name), kNameSize));
    return addChannel(image, record);
}

std::vector<int> storedList(const ChannelDbImage& image, int listId) {
    uint16_t items[kTvCapacity] = {};
    int count = static_cast<int>(kTvCapacity);
    EXPECT_EQ(getListItems(image, listId, count, items), 1);
    return std::vector<int>(items, items + count);
}

class ResortFixture {
public:
    // Five TV services 0..4 ("TV0".."TV4") and three radio services 5..7.
    ResortFixture() {
        testApplication();
        image = std::make_unique<ChannelDbImage>();
        for (int i = 0; i < 5; ++i)
            addService(*image, static_cast<uint16_t>(i + 1), kProgTv, ("TV" + std::to_string(i)).c_str());
        for (int i = 0; i < 3; ++i)
            addService(*image, static_cast<uint16_t>(i + 10), kProgRadio,
                       ("Radio" + std::to_string(i)).c_str());
    }
    void open() { dialog = std::make_unique<ResortDialog>(*image, prompts); }
    void choose(int listId) {
        for (size_t k = 0; k < dialog->choices().size(); ++k)
            if (dialog->choices()[k].listId == listId)
                dialog->listChoice()->setCurrentIndex(static_cast<int>(k));
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

    std::unique_ptr<ChannelDbImage> image;
    FakePrompts prompts;
    std::unique_ptr<ResortDialog> dialog;
};

TEST(ResortDialog, ShowsTitleControlsAndChoices) {
    ResortFixture f;
    std::memcpy(f.image->bytes.data() + kDefaultFavOffset + kFavListSize * 1, "News", 4);
    int id = 0;
    ASSERT_EQ(createUserList(*f.image, id), 1);
    ASSERT_EQ(createUserList(*f.image, id), 1);
    ASSERT_EQ(createUserList(*f.image, id), 1);
    ASSERT_EQ(deleteUserList(*f.image, 10), 1);
    const uint8_t sports[kListNameSize] = {'S', 'p', 'o', 'r', 't', 's'};
    ASSERT_EQ(setListName(*f.image, 11, sports), 1);
    f.open();
    EXPECT_EQ(f.dialog->windowTitle(), "Resort Channel List");
    EXPECT_EQ(f.dialog->moveUpButton()->text(), "Move Up");
    EXPECT_EQ(f.dialog->moveDownButton()->text(), "Move Down");
    EXPECT_EQ(f.dialog->moveToButton()->text(), "Move To");
    EXPECT_EQ(f.dialog->saveButton()->text(), "Save Change");
    EXPECT_TRUE(f.dialog->saveButton()->isDefault());
    EXPECT_EQ(f.dialog->quitButton()->text(), "Quit without Save");
    EXPECT_EQ(f.dialog->positionEdit()->text(), "0");

    const QStringList names = {"TV List",   "Radio List", "Data List", "Fav1 List", "News",
                               "Fav3 List", "Fav4 List",  "Fav5 List", "Fav6 List", "Sports"};
    const std::vector<int> ids = {0, 1, 2, 3, 4, 5, 6, 7, 9, 11};
    ASSERT_EQ(f.dialog->listChoice()->count(), names.size());
    for (int k = 0; k < names.size(); ++k) {
        EXPECT_EQ(f.dialog->listChoice()->itemText(k), names[k]);
        EXPECT_EQ(f.dialog->choices()[static_cast<size_t>(k)].listId, ids[static_cast<size_t>(k)]);
    }
    EXPECT_EQ(f.dialog->listChoice()->currentIndex(), 0);
    EXPECT_EQ(f.shown(), (std::vector<int>{0, 1, 2, 3, 4}));
    f.expectRowTexts();
}

enum class Command { Up, Down, To };

struct MoveCase {
    std::string name;
    Command command;
    int current;
    QString position;
    std::vector<int> order;
    int currentAfter;
    QString message;  // empty: none
    MessageIcon icon;
};

void PrintTo(const MoveCase& c, std::ostream* out) { *out << c.name; }

class ResortMoveTest : public ::testing::TestWithParam<MoveCase> {};

TEST_P(ResortMoveTest, MovesTheCurrentRowOnScreenOnly) {
    const MoveCase& c = GetParam();
    ResortFixture f;
    const ChannelDbImage before = *f.image;
    f.open();
    f.dialog->rows()->setCurrentRow(c.current);
    f.dialog->positionEdit()->setText(c.position);
    QPushButton* button = c.command == Command::Up     ? f.dialog->moveUpButton()
                          : c.command == Command::Down ? f.dialog->moveDownButton()
                                                       : f.dialog->moveToButton();
    button->click();
    EXPECT_EQ(f.shown(), c.order);
    f.expectRowTexts();
    EXPECT_EQ(f.dialog->rows()->currentRow(), c.currentAfter);
    if (c.message.isEmpty()) {
        EXPECT_TRUE(f.prompts.messages.empty());
    } else {
        ASSERT_EQ(f.prompts.messages.size(), 1u);
        EXPECT_EQ(f.prompts.messages[0].text, c.message);
        EXPECT_EQ(f.prompts.messages[0].caption, QCoreApplication::applicationName());
        EXPECT_EQ(f.prompts.messages[0].icon, c.icon);
    }
    EXPECT_TRUE(f.image->bytes == before.bytes) << "only Save Change writes the image";
}

const QString kSelect = "Please select the channel want to Resort!";
const QString kTooSmall = "Please Input new position want to move to!";
const QString kTooLarge = "New position vlaue must less than Channel Count!";
const QString kNotInteger = QString::fromUtf8("请键入一个整数。");
const std::vector<int> kUnchanged = {0, 1, 2, 3, 4};
constexpr MessageIcon kNone = MessageIcon::None;

INSTANTIATE_TEST_SUITE_P(
    Commands, ResortMoveTest,
    ::testing::Values(
        MoveCase{"UpFromMiddle", Command::Up, 2, "0", {0, 2, 1, 3, 4}, 1, {}, kNone},
        MoveCase{"UpFromFirstRow", Command::Up, 0, "0", kUnchanged, 0, {}, kNone},
        MoveCase{"UpWithoutCurrentRow", Command::Up, -1, "0", kUnchanged, -1, kSelect, kNone},
        MoveCase{"DownFromMiddle", Command::Down, 1, "0", {0, 2, 1, 3, 4}, 2, {}, kNone},
        MoveCase{"DownFromLastRow", Command::Down, 4, "0", kUnchanged, 4, {}, kNone},
        MoveCase{"DownWithoutCurrentRow", Command::Down, -1, "0", kUnchanged, -1, kSelect, kNone},
        MoveCase{"ToZero", Command::To, 1, "0", kUnchanged, 1, kTooSmall, kNone},
        MoveCase{"ToNegative", Command::To, 1, "-3", kUnchanged, 1, kTooSmall, kNone},
        MoveCase{"ToEmptyField", Command::To, 1, "", kUnchanged, 1, kNotInteger, MessageIcon::Warning},
        MoveCase{"ToText", Command::To, 1, "2x", kUnchanged, 1, kNotInteger, MessageIcon::Warning},
        MoveCase{"ToRowCount", Command::To, 1, "5", {0, 2, 3, 4, 1}, 4, {}, kNone},
        MoveCase{"ToRowCountPlusOne", Command::To, 1, "6", kUnchanged, 1, kTooLarge, kNone},
        MoveCase{"ToFirstWithBlanks", Command::To, 3, " 1 ", {3, 0, 1, 2, 4}, 0, {}, kNone},
        MoveCase{"ToOwnPosition", Command::To, 2, "3", kUnchanged, 2, {}, kNone},
        MoveCase{"ToWithoutCurrentRow", Command::To, -1, "2", kUnchanged, -1, kSelect, kNone}),
    [](const ::testing::TestParamInfo<MoveCase>& row) { return row.param.name; });

TEST(ResortDialog, SavedOrderSurvivesListSwitchUnsavedOrderDoesNot) {
    ResortFixture f;
    f.open();
    QSignalSpy finished(f.dialog.get(), &QDialog::finished);
    f.dialog->rows()->setCurrentRow(0);
    f.dialog->moveDownButton()->click();
    f.dialog->saveButton()->click();
    EXPECT_EQ(finished.count(), 0);  // the dialog stays open
    EXPECT_EQ(storedList(*f.image, kListTv), (std::vector<int>{1, 0, 2, 3, 4}));

    f.choose(kListRadio);
    EXPECT_EQ(f.shown(), (std::vector<int>{5, 6, 7}));
    f.dialog->rows()->setCurrentRow(2);
    f.dialog->moveUpButton()->click();
    EXPECT_EQ(f.shown(), (std::vector<int>{5, 7, 6}));
    f.choose(kListTv);
    EXPECT_EQ(f.shown(), (std::vector<int>{1, 0, 2, 3, 4}));
    f.choose(kListRadio);
    EXPECT_EQ(f.shown(), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(storedList(*f.image, kListRadio), (std::vector<int>{5, 6, 7}));

    f.dialog->quitButton()->click();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(f.dialog->result(), QDialog::Rejected);
    EXPECT_EQ(storedList(*f.image, kListTv), (std::vector<int>{1, 0, 2, 3, 4}));
    EXPECT_TRUE(f.prompts.messages.empty());
}

TEST(ResortDialog, DragThenMoveUpThenSaveStoresExactlyTheRowsShown) {
    ResortFixture f;
    f.open();
    f.dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.dialog.get()));
    CDragAndDropListBox* box = f.dialog->rows();
    const auto send = [box](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(at), QPointF(box->viewport()->mapToGlobal(at)), button, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(box->viewport(), &event);
    };
    const QPoint from = box->visualItemRect(box->item(0)).center();
    const QPoint to = box->visualItemRect(box->item(3)).center();
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(f.shown(), (std::vector<int>{1, 2, 0, 3, 4}));

    box->setCurrentRow(3);
    f.dialog->moveUpButton()->click();
    EXPECT_EQ(f.shown(), (std::vector<int>{1, 2, 3, 0, 4}));
    // Dragged rows keep their texts; Move Up rewrites the two rows it exchanges.
    const QStringList texts = {"   2 TV1", "   3 TV2", "   3 TV3", "   4 TV0", "   5 TV4"};
    for (int row = 0; row < 5; ++row) EXPECT_EQ(box->item(row)->text(), texts[row]) << row;
    EXPECT_EQ(box->currentRow(), 2);
    f.dialog->saveButton()->click();
    EXPECT_EQ(storedList(*f.image, kListTv), (std::vector<int>{1, 2, 3, 0, 4}));
}

TEST(ResortDialog, EmptyListShowsNoRowsAndSavesNothing) {
    ResortFixture f;
    const ChannelDbImage before = *f.image;
    f.open();
    f.choose(kListData);
    EXPECT_EQ(f.dialog->rows()->count(), 0);
    f.dialog->saveButton()->click();
    EXPECT_TRUE(f.prompts.messages.empty());
    EXPECT_TRUE(f.image->bytes == before.bytes);
    f.dialog->moveUpButton()->click();
    EXPECT_EQ(f.prompts.texts(), QStringList{kSelect});
}

TEST(ResortDialog, EntryNamingNoServiceIsShownAndKept) {
    ResortFixture f;
    const uint16_t order[5] = {4, 999, 2, 1, 0};  // as a loaded file may hold
    ASSERT_EQ(setListItems(*f.image, kListTv, 5, order), 1);
    f.open();
    EXPECT_EQ(f.dialog->rows()->item(1)->text(), "   2 (no channel 999)");
    f.dialog->rows()->setCurrentRow(1);
    f.dialog->moveDownButton()->click();
    f.dialog->saveButton()->click();
    EXPECT_EQ(storedList(*f.image, kListTv), (std::vector<int>{4, 2, 999, 1, 0}));
}

TEST(ResortDialog, FavouriteListIsReorderedInPlace) {
    ResortFixture f;
    for (const int channel : {6, 1, 3}) ASSERT_EQ(addToList(*f.image, channel, kListFirstDefault + 2), 1);
    f.open();
    f.choose(kListFirstDefault + 2);
    EXPECT_EQ(f.dialog->listChoice()->currentText(), "Fav3 List");
    EXPECT_EQ(f.shown(), (std::vector<int>{6, 1, 3}));
    f.dialog->rows()->setCurrentRow(2);
    f.dialog->positionEdit()->setText("1");
    f.dialog->moveToButton()->click();
    f.dialog->saveButton()->click();
    EXPECT_EQ(storedList(*f.image, kListFirstDefault + 2), (std::vector<int>{3, 6, 1}));
    EXPECT_EQ(storedList(*f.image, kListTv), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(ResortDialog, EnterSavesAndEscapeQuits) {
    ResortFixture f;
    f.open();
    f.dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.dialog.get()));
    QSignalSpy finished(f.dialog.get(), &QDialog::finished);
    f.dialog->rows()->setCurrentRow(4);
    f.dialog->moveUpButton()->click();
    f.dialog->rows()->setFocus();
    QTest::keyClick(f.dialog->rows(), Qt::Key_Return);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(storedList(*f.image, kListTv), (std::vector<int>{0, 1, 2, 4, 3}));
    QTest::keyClick(f.dialog->rows(), Qt::Key_Escape);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(f.dialog->result(), QDialog::Rejected);
}

TEST(ResortDialog, RunsModallyFromTheWindowsCommand) {
    ResortFixture f;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ResortDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_EQ(dialog->parentWidget(), nullptr);
        dialog->rows()->setCurrentRow(0);
        dialog->moveDownButton()->click();
        dialog->saveButton()->click();
        dialog->quitButton()->click();
    });
    runResortDialog(*f.image, f.prompts);
    EXPECT_TRUE(seen);
    EXPECT_EQ(storedList(*f.image, kListTv), (std::vector<int>{1, 0, 2, 3, 4}));
}

}  // namespace
}  // namespace tovu::ui
