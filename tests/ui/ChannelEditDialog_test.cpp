// The Channel Edit dialog: what it shows, what it stores, and every validation rule and message.
#include "UiTestSupport.h"

#include "db/FavLists.h"
#include "ui/ChannelEditDialog.h"
#include "ui/UnsignedField.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <vector>

namespace tovu::ui {
namespace {

using test::FakePrompts;
using test::makeService;

const QString kUnreadable = QString::fromUtf8("“请填入一个正整数。”");
QString rangeMessage(uint32_t max) { return QString::fromUtf8("“请填入一个在0和%1之间的整数。”").arg(max); }
const QString kNameTooLong = QString::fromUtf8("“请填入不多于32个的字符。”");

struct EditHarness {
    explicit EditHarness(int services = 0) : image(test::imageWithServices(services)) {
        test::uiApplication();
        dialog = std::make_unique<ChannelEditDialog>(*image, prompts);
        dialog->show();
    }
    void open(int index) { dialog->loadChannel(index); }
    void set(int id, const QString& text) { dialog->edit(id)->setText(text); }
    ChannelRecord record(int index) const {
        ChannelRecord r;
        EXPECT_EQ(getChannel(*image, index, r), 1);
        return r;
    }
    std::vector<int> list(int listId) const {
        uint16_t items[1000];
        int count = 1000;
        EXPECT_EQ(getListItems(*image, listId, count, items), 1);
        return {items, items + count};
    }

    FakePrompts prompts;
    std::unique_ptr<ChannelDbImage> image;
    std::unique_ptr<ChannelEditDialog> dialog;
};

TEST(ChannelEditOpen, NewServiceOpensWithDefaults) {
    EditHarness h(2);
    h.open(-1);
    EXPECT_EQ(h.dialog->windowTitle(), "Channel Edit");
    EXPECT_TRUE(h.dialog->edit(kEditName)->text().isEmpty());
    for (const int id :
         {kEditServiceId, kEditTransponderId, kEditOriginalNetworkId, kEditFrequency, kEditSymbolRate})
        EXPECT_EQ(h.dialog->edit(id)->text(), "0") << id;
    const std::pair<int, const char*> choices[] = {{kChoiceQam, "16QAM"},       {kChoiceParentLock, "UnLock"},
                                                   {kChoiceAudio, "Left"},      {kChoiceSubtitle, "Off"},
                                                   {kChoiceDescrambled, "Not"}, {kChoiceProgType, "Unknown"}};
    for (const auto& [id, text] : choices) EXPECT_EQ(h.dialog->choice(id)->currentText(), text) << id;
    EXPECT_EQ(h.dialog->saveButton()->text(), "Save Change");
    EXPECT_EQ(h.dialog->quitButton()->text(), "Quit Editor");
    EXPECT_TRUE(h.dialog->saveButton()->isDefault());
}

TEST(ChannelEditOpen, ExistingServiceShowsItsFields) {
    EditHarness h;
    ChannelRecord r = makeService(4660, 22, kProgRadio, "电影频道");
    r.originalNetworkId = 65535;
    r.frequencyKHz = 900000;
    r.symbolRate = 6900;
    r.qam = kQam256;
    r.flags |= kFlagLocked | kFlagSubtitle | kFlagDescrambled;
    r.flags = (r.flags & ~kAudioMask) | (kAudioMono << kAudioShift);
    ASSERT_EQ(addChannel(*h.image, r), 0);
    h.open(0);
    EXPECT_EQ(h.dialog->edit(kEditName)->text(), QString::fromUtf8("电影频道"));
    EXPECT_EQ(h.dialog->edit(kEditServiceId)->text(), "4660");
    EXPECT_EQ(h.dialog->edit(kEditTransponderId)->text(), "22");
    EXPECT_EQ(h.dialog->edit(kEditOriginalNetworkId)->text(), "65535");
    EXPECT_EQ(h.dialog->edit(kEditFrequency)->text(), "900000");
    EXPECT_EQ(h.dialog->edit(kEditSymbolRate)->text(), "6900");
    EXPECT_EQ(h.dialog->choice(kChoiceQam)->currentText(), "256QAM");
    EXPECT_EQ(h.dialog->choice(kChoiceParentLock)->currentText(), "Locked");
    EXPECT_EQ(h.dialog->choice(kChoiceAudio)->currentText(), "Mono");
    EXPECT_EQ(h.dialog->choice(kChoiceSubtitle)->currentText(), "On");
    EXPECT_EQ(h.dialog->choice(kChoiceDescrambled)->currentText(), "Yes");
    EXPECT_EQ(h.dialog->choice(kChoiceProgType)->currentText(), "Radio");
}

TEST(ChannelEditSave, EditedFieldsAreStoredAndEveryOtherFieldKept) {
    EditHarness h;
    ChannelRecord r = makeService(1, 2, kProgTv, "Old");
    r.opaque1 = 0xDEADBEEF;
    r.annex = 2;
    r.opaque7 = 0x1234;
    r.flags |= 0xFF000000u | (1u << 5) | (1u << 12);
    ASSERT_EQ(addChannel(*h.image, r), 0);
    h.open(0);
    h.set(kEditName, "New name");
    h.set(kEditServiceId, "300");
    h.set(kEditTransponderId, "301");
    h.set(kEditOriginalNetworkId, "302");
    h.set(kEditFrequency, "858000");
    h.set(kEditSymbolRate, "5217");
    h.dialog->choice(kChoiceQam)->setCurrentIndex(3);
    h.dialog->choice(kChoiceParentLock)->setCurrentIndex(1);
    h.dialog->choice(kChoiceAudio)->setCurrentIndex(1);
    h.dialog->choice(kChoiceSubtitle)->setCurrentIndex(1);
    h.dialog->choice(kChoiceDescrambled)->setCurrentIndex(0);
    ASSERT_TRUE(h.dialog->saveChange());
    EXPECT_EQ(h.dialog->result(), QDialog::Accepted);

    ChannelRecord expected = r;
    expected.serviceId = 300;
    expected.transponderId = 301;
    expected.originalNetworkId = 302;
    expected.frequencyKHz = 858000;
    expected.symbolRate = 5217;
    expected.qam = kQam128;
    expected.flags = (r.flags & ~(kAudioMask | kFlagDescrambled)) | kFlagLocked | kFlagSubtitle |
                     (kAudioRight << kAudioShift);
    std::memcpy(expected.name.data(), "New name", 9);  // "Old" is overwritten with its terminator
    EXPECT_EQ(h.record(0), expected);
    EXPECT_TRUE(h.prompts.messages.empty());
}

struct FieldCase {
    const char* name;
    int field;
    const char* text;
    const char* message;  // nullptr: accepted
    uint32_t maximum;
};

class NumberFields : public testing::TestWithParam<FieldCase> {};

TEST_P(NumberFields, AreReadAsUnsignedDecimalWithinTheirRange) {
    const FieldCase& c = GetParam();
    EditHarness h(1);
    h.open(0);
    h.set(c.field, QString::fromUtf8(c.text));
    const ChannelRecord before = h.record(0);
    const bool saved = h.dialog->saveChange();
    if (c.message == nullptr) {
        EXPECT_TRUE(saved);
        EXPECT_TRUE(h.prompts.messages.empty());
        return;
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(h.record(0), before);
    EXPECT_NE(h.dialog->result(), QDialog::Accepted);
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    const QString expected = std::string(c.message) == "range" ? rangeMessage(c.maximum) : kUnreadable;
    EXPECT_EQ(h.prompts.messages[0].text, expected);
    EXPECT_EQ(h.prompts.messages[0].caption, QCoreApplication::applicationName());
    EXPECT_EQ(h.prompts.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(h.prompts.messages[0].owner, h.dialog.get());
    QLineEdit* field = h.dialog->edit(c.field);
    EXPECT_EQ(h.dialog->focusWidget(), field);
    EXPECT_EQ(field->selectedText(), field->text());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, NumberFields,
    testing::Values(FieldCase{"FrequencyAtItsLimit", kEditFrequency, "900000", nullptr, 0},
                    FieldCase{"FrequencyAboveItsLimit", kEditFrequency, "900001", "range", 900000},
                    FieldCase{"BlanksAndTabsAround", kEditFrequency, " \t42 \t", nullptr, 0},
                    FieldCase{"LeadingPlus", kEditFrequency, "+42", nullptr, 0},
                    FieldCase{"MinusSign", kEditFrequency, "-1", "unreadable", 0},
                    FieldCase{"LetterAfterDigits", kEditFrequency, "42x", "unreadable", 0},
                    FieldCase{"Empty", kEditFrequency, "", "unreadable", 0},
                    FieldCase{"OnlyBlanks", kEditFrequency, "   ", "unreadable", 0},
                    FieldCase{"PlusWithoutDigits", kEditFrequency, "+", "unreadable", 0},
                    FieldCase{"BeyondThirtyTwoBits", kEditFrequency, "99999999999999", "range", 900000},
                    FieldCase{"OriginalNetIdAboveItsLimit", kEditOriginalNetworkId, "65536", "range", 65535},
                    FieldCase{"SymbolRateAboveItsLimit", kEditSymbolRate, "65536", "range", 65535},
                    FieldCase{"SymbolRateAtItsLimit", kEditSymbolRate, "65535", nullptr, 0},
                    FieldCase{"ServiceIdUnreadable", kEditServiceId, "abc", "unreadable", 0},
                    FieldCase{"ServiceIdAboveItsLimit", kEditServiceId, "70000", "range", 65535},
                    FieldCase{"TransponderIdAboveItsLimit", kEditTransponderId, "65536", "range", 65535},
                    FieldCase{"TransponderIdFullWidthDigit", kEditTransponderId, "１", "unreadable", 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ChannelEditSave, OnlyTheFirst31CharactersAreRead) {
    uint32_t v = 0;
    EXPECT_TRUE(readUnsignedField(QString(28, ' ') + "123", v));  // 31 characters
    EXPECT_EQ(v, 123u);
    EXPECT_TRUE(readUnsignedField(QString(29, ' ') + "123", v));  // the last digit is not read
    EXPECT_EQ(v, 12u);
    EXPECT_TRUE(readUnsignedField(QString("7") + QString(30, ' ') + "x", v));
    EXPECT_EQ(v, 7u);
}

TEST(ChannelEditSave, FieldsAreCheckedInOrderAndTheFirstFailureWins) {
    EditHarness h(1);
    h.open(0);
    h.set(kEditTransponderId, "x");
    h.set(kEditServiceId, "x");
    h.set(kEditSymbolRate, "70000");
    h.set(kEditOriginalNetworkId, "x");
    h.set(kEditFrequency, "1000000");
    const int order[] = {kEditFrequency, kEditOriginalNetworkId, kEditSymbolRate, kEditServiceId,
                         kEditTransponderId};
    for (const int field : order) {
        EXPECT_FALSE(h.dialog->saveChange());
        EXPECT_EQ(h.dialog->focusWidget(), h.dialog->edit(field)) << field;
        h.set(field, "1");
    }
    EXPECT_TRUE(h.dialog->saveChange());
    ASSERT_EQ(h.prompts.messages.size(), 5u);
    EXPECT_EQ(h.prompts.messages[0].text, rangeMessage(900000));
    EXPECT_EQ(h.prompts.messages[1].text, kUnreadable);
    EXPECT_EQ(h.prompts.messages[2].text, rangeMessage(65535));
}

TEST(ChannelEditName, ThirtyTwoBytesFillTheFieldWithoutTerminator) {
    EditHarness h(1);
    h.open(0);
    const QString name = QString::fromUtf8("电视") + QString(28, 'A');  // 4 + 28 = 32 bytes
    h.set(kEditName, name);
    ASSERT_TRUE(h.dialog->saveChange());
    const ChannelRecord r = h.record(0);
    EXPECT_EQ(r.name[31], 'A');
    EXPECT_EQ(QString::fromStdString(nameToUtf8(r.name.data(), r.name.size())), name);
    EXPECT_EQ(h.dialog->edit(kEditName)->maxLength(), 32);

    ChannelEditDialog reopened(*h.image, h.prompts);
    reopened.loadChannel(0);
    EXPECT_EQ(reopened.edit(kEditName)->text(), name);
}

TEST(ChannelEditName, MoreThanThirtyTwoBytesIsRefused) {
    EditHarness h(1);
    h.open(0);
    h.set(kEditFrequency, "x");                                                   // the name is checked first
    h.set(kEditName, QString::fromUtf8("中央电视台第一套节目综合频道高清版本"));  // 17 characters, 34 bytes
    const ChannelRecord before = h.record(0);
    EXPECT_FALSE(h.dialog->saveChange());
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, kNameTooLong);
    EXPECT_EQ(h.prompts.messages[0].caption, QCoreApplication::applicationName());
    EXPECT_EQ(h.dialog->focusWidget(), h.dialog->edit(kEditName));
    EXPECT_EQ(h.record(0), before);
}

TEST(ChannelEditName, ClearingStoresAZeroFirstByteAndKeepsTheRest) {
    EditHarness h;
    ASSERT_EQ(addChannel(*h.image, makeService(1, 1, kProgTv, "Sports")), 0);
    h.open(0);
    h.set(kEditName, "");
    ASSERT_TRUE(h.dialog->saveChange());
    const ChannelRecord r = h.record(0);
    EXPECT_EQ(r.name[0], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.name.data()) + 1, 5), "ports");
}

TEST(ChannelEditName, ACharacterWithoutACodePageFormIsStoredAsQuestionMark) {
    EditHarness h(1);
    h.open(0);
    h.set(kEditName, QString::fromUtf8("TV😀"));
    ASSERT_TRUE(h.dialog->saveChange());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(h.record(0).name.data())), "TV?");
}

TEST(ChannelEditName, AnUnchangedNameKeepsBytesTheCodePageCannotShow) {
    EditHarness h;
    ChannelRecord r = makeService(1, 1, kProgTv, "");
    const uint8_t odd[] = {'A', 0xFF, 0x80, 'B'};
    std::memcpy(r.name.data(), odd, sizeof odd);
    ASSERT_EQ(addChannel(*h.image, r), 0);
    h.open(0);
    h.set(kEditServiceId, "9");
    ASSERT_TRUE(h.dialog->saveChange());
    EXPECT_EQ(h.record(0).name, r.name);
}

TEST(ChannelEditQam, AnUnknownValueOpensWithoutChoiceAndIsSavedAsAllBits) {
    EditHarness h;
    ChannelRecord r = makeService(1, 1, kProgTv, "Q");
    r.qam = 7;
    ASSERT_EQ(addChannel(*h.image, r), 0);
    h.open(0);
    EXPECT_EQ(h.dialog->choice(kChoiceQam)->currentIndex(), -1);
    ASSERT_TRUE(h.dialog->saveChange());
    EXPECT_EQ(h.record(0).qam, 0xFFFFFFFFu);

    h.open(0);
    h.dialog->choice(kChoiceQam)->setCurrentIndex(2);
    ASSERT_TRUE(h.dialog->saveChange());
    EXPECT_EQ(h.record(0).qam, uint32_t{kQam64});
}

TEST(ChannelEditType, AnUnknownTypeOpensAsUnknownAndIsSavedAsThreeAtTheEndOfTheDataList) {
    EditHarness h;
    ASSERT_EQ(addChannel(*h.image, makeService(1, 1, 5, "Odd")), 0);
    ASSERT_EQ(addChannel(*h.image, makeService(2, 1, kProgUnknown, "Data")), 1);
    EXPECT_EQ(h.list(kListData), std::vector<int>({0, 1}));
    h.open(0);
    EXPECT_EQ(h.dialog->choice(kChoiceProgType)->currentText(), "Unknown");
    ASSERT_TRUE(h.dialog->saveChange());
    EXPECT_EQ(h.record(0).progType(), uint32_t{kProgUnknown});
    EXPECT_EQ(h.list(kListData), std::vector<int>({1, 0}));
}

TEST(ChannelEditType, ChangingTheTypeMovesTheServiceBetweenLists) {
    EditHarness h(3);
    h.open(1);
    h.dialog->choice(kChoiceProgType)->setCurrentIndex(1);  // Radio
    ASSERT_TRUE(h.dialog->saveChange());
    EXPECT_EQ(h.record(1).progType(), uint32_t{kProgRadio});
    EXPECT_EQ(h.list(kListTv), std::vector<int>({0, 2}));
    EXPECT_EQ(h.list(kListRadio), std::vector<int>({1}));
}

TEST(ChannelEditAdd, NewServiceIsAppendedAndItsIndexHandedBack) {
    EditHarness h(2);
    int index = -1;
    int seen = 0;
    test::whenModal<ChannelEditDialog>(
        [](ChannelEditDialog& d) {
            d.edit(kEditName)->setText("Added");
            d.edit(kEditServiceId)->setText("900");
            d.choice(kChoiceProgType)->setCurrentIndex(0);
            d.saveButton()->click();
        },
        &seen);
    h.dialog->hide();  // a modal run shows the dialog itself
    EXPECT_EQ(h.dialog->runForChannel(index), QDialog::Accepted);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(h.record(2).serviceId, 900);
    EXPECT_EQ(h.list(kListTv), std::vector<int>({0, 1, 2}));
}

TEST(ChannelEditAdd, DuplicateIdsCloseWithOkStoreNothingAndHandBackMinusOne) {
    EditHarness h(2);
    h.open(-1);
    h.set(kEditServiceId, "102");
    h.set(kEditTransponderId, "1");
    EXPECT_TRUE(h.dialog->saveChange());
    EXPECT_EQ(h.dialog->result(), QDialog::Accepted);
    EXPECT_EQ(h.dialog->channelIndex(), -1);
    EXPECT_EQ(channelCount(*h.image), 2);
    EXPECT_TRUE(h.prompts.messages.empty());
}

TEST(ChannelEditEdit, IdsOfAnotherServiceAreAcceptedWhenEditing) {
    EditHarness h(2);
    h.open(0);
    h.set(kEditServiceId, "102");
    EXPECT_TRUE(h.dialog->saveChange());
    EXPECT_EQ(test::serviceIds(*h.image), std::vector<int>({102, 102}));
}

TEST(ChannelEditQuit, StoresNothing) {
    EditHarness h(1);
    const ChannelRecord before = h.record(0);
    int index = 0;
    test::whenModal<ChannelEditDialog>([](ChannelEditDialog& d) {
        d.edit(kEditName)->setText("Changed");
        d.quitButton()->click();
    });
    h.dialog->hide();
    EXPECT_EQ(h.dialog->runForChannel(index), QDialog::Rejected);
    EXPECT_EQ(h.record(0), before);
    EXPECT_EQ(index, 0);
}

}  // namespace
}  // namespace tovu::ui
