// The Channel Edit dialog: what it shows, what it stores, and every validation rule and message.
#include "UiTestSupport.h"

#include "db/FavLists.h"
#include "ui/ChannelEditDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <vector>

namespace tovu::ui {
namespace {

using test::makeService;

const std::string kUnreadable = "“请填入一个正整数。”";
std::string range(uint32_t max) { return "“请填入一个在0和" + std::to_string(max) + "之间的整数。”"; }
const std::string kNameTooLong = "“请填入不多于32个的字符。”";

struct EditHarness {
    explicit EditHarness(int services = 0) : image(test::imageWithServices(services)) {
        test::uiApplication();
        dialog = std::make_unique<ChannelEditDialog>(*image, prompts);
        dialog->show();
    }
    // Adds the service and opens the dialog on it.
    void openOn(const ChannelRecord& r) {
        const int index = addChannel(*image, r);
        ASSERT_GE(index, 0);
        dialog->loadChannel(index);
    }
    void set(int id, const QString& text) { dialog->edit(id)->setText(text); }
    ChannelRecord record(int index) const {
        ChannelRecord r;
        EXPECT_EQ(getChannel(*image, index, r), 1);
        return r;
    }
    // The texts of the edits and choices, top to bottom and left to right.
    QStringList shown() const {
        QStringList texts;
        for (const int id : {kEditName, kEditServiceId, kEditTransponderId, kEditOriginalNetworkId,
                             kEditFrequency, kEditSymbolRate})
            texts << dialog->edit(id)->text();
        for (const int id : {kChoiceQam, kChoiceParentLock, kChoiceAudio, kChoiceSubtitle, kChoiceDescrambled,
                             kChoiceProgType})
            texts << dialog->choice(id)->currentText();
        return texts;
    }

    test::FakePrompts prompts;
    std::unique_ptr<ChannelDbImage> image;
    std::unique_ptr<ChannelEditDialog> dialog;
};

TEST(ChannelEditOpen, NewServiceOpensWithDefaults) {
    EditHarness h(2);
    h.dialog->loadChannel(-1);
    EXPECT_EQ(h.dialog->windowTitle(), "Channel Edit");
    EXPECT_EQ(h.shown(),
              QStringList({"", "0", "0", "0", "0", "0", "16QAM", "UnLock", "Left", "Off", "Not", "Unknown"}));
    EXPECT_EQ(h.dialog->saveButton()->text(), "Save Change");
    EXPECT_EQ(h.dialog->quitButton()->text(), "Quit Editor");
    EXPECT_TRUE(h.dialog->saveButton()->isDefault());
    EXPECT_EQ(h.dialog->edit(kEditName)->maxLength(), 32);
}

TEST(ChannelEditSave, ShowsTheServiceStoresTheEditedFieldsAndKeepsEveryOtherField) {
    EditHarness h;
    ChannelRecord r = makeService(4660, 22, kProgRadio, "电影频道");
    r.originalNetworkId = 65535;
    r.frequencyKHz = 900000;
    r.symbolRate = 6900;
    r.qam = kQam256;
    r.opaque1 = 0xDEADBEEF;
    r.annex = 2;
    r.opaque7 = 0x1234;
    r.flags = (r.flags & ~kAudioMask) | (kAudioMono << kAudioShift) | kFlagLocked | kFlagSubtitle |
              0xFF000000u | (1u << 5) | (1u << 12);
    h.openOn(r);
    EXPECT_EQ(h.shown(), QStringList({QString::fromUtf8("电影频道"), "4660", "22", "65535", "900000", "6900",
                                      "256QAM", "Locked", "Mono", "On", "Not", "Radio"}));
    h.set(kEditName, "New name");
    h.set(kEditServiceId, "300");
    h.set(kEditTransponderId, "301");
    h.set(kEditOriginalNetworkId, "302");
    h.set(kEditFrequency, "858000");
    h.set(kEditSymbolRate, "5217");
    h.dialog->choice(kChoiceQam)->setCurrentIndex(3);
    h.dialog->choice(kChoiceParentLock)->setCurrentIndex(0);
    h.dialog->choice(kChoiceAudio)->setCurrentIndex(1);
    h.dialog->choice(kChoiceSubtitle)->setCurrentIndex(0);
    h.dialog->choice(kChoiceDescrambled)->setCurrentIndex(1);
    ASSERT_TRUE(h.dialog->saveChange());
    EXPECT_EQ(h.dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(h.prompts.messages.empty());

    ChannelRecord expected = r;
    expected.serviceId = 300;
    expected.transponderId = 301;
    expected.originalNetworkId = 302;
    expected.frequencyKHz = 858000;
    expected.symbolRate = 5217;
    expected.qam = kQam128;
    expected.flags = (r.flags & ~(kAudioMask | kFlagLocked | kFlagSubtitle)) | kFlagDescrambled |
                     (kAudioRight << kAudioShift);
    std::memcpy(expected.name.data(), "New name", 9);  // the old name is overwritten with the terminator
    EXPECT_EQ(h.record(0), expected);
}

struct FieldCase {
    const char* name;
    int field;
    std::string text;
    std::string refusal;       // the message, or empty when the text is accepted
    std::string shownAfter{};  // accepted: what the field shows after saving and reopening
};

class Fields : public testing::TestWithParam<FieldCase> {};

TEST_P(Fields, AreAcceptedWithinTheirRulesOrRefusedWithTheirMessage) {
    const FieldCase& c = GetParam();
    EditHarness h(1);
    h.dialog->loadChannel(0);
    h.set(c.field, QString::fromStdString(c.text));
    const ChannelRecord before = h.record(0);
    QLineEdit* field = h.dialog->edit(c.field);
    if (c.refusal.empty()) {
        EXPECT_TRUE(h.dialog->saveChange());
        EXPECT_TRUE(h.prompts.messages.empty());
        h.dialog->loadChannel(0);
        EXPECT_EQ(field->text(), QString::fromStdString(c.shownAfter));
        return;
    }
    EXPECT_FALSE(h.dialog->saveChange());
    EXPECT_EQ(h.record(0), before);
    EXPECT_NE(h.dialog->result(), QDialog::Accepted);
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, QString::fromStdString(c.refusal));
    EXPECT_EQ(h.prompts.messages[0].caption, QCoreApplication::applicationName());
    EXPECT_EQ(h.prompts.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(h.prompts.messages[0].owner, h.dialog.get());
    EXPECT_EQ(h.dialog->focusWidget(), field);
    EXPECT_EQ(field->selectedText(), field->text());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Fields,
    testing::Values(
        FieldCase{"FrequencyAtItsLimit", kEditFrequency, "900000", "", "900000"},
        FieldCase{"FrequencyAboveItsLimit", kEditFrequency, "900001", range(900000)},
        FieldCase{"BlanksAndTabsAround", kEditFrequency, " \t42 \t", "", "42"},
        FieldCase{"LeadingPlus", kEditFrequency, "+42", "", "42"},
        FieldCase{"ThirtyOneCharactersAreRead", kEditFrequency, std::string(28, ' ') + "123", "", "123"},
        FieldCase{"The32ndCharacterIsNotRead", kEditFrequency, std::string(29, ' ') + "123", "", "12"},
        FieldCase{"TextAfterThe31stIsNotRead", kEditFrequency, std::string("7").append(30, ' ') + "x", "",
                  "7"},
        FieldCase{"MinusSign", kEditFrequency, "-1", kUnreadable},
        FieldCase{"LetterAfterDigits", kEditFrequency, "42x", kUnreadable},
        FieldCase{"Empty", kEditFrequency, "", kUnreadable},
        FieldCase{"OnlyBlanks", kEditFrequency, "   ", kUnreadable},
        FieldCase{"PlusWithoutDigits", kEditFrequency, "+", kUnreadable},
        FieldCase{"BeyondThirtyTwoBits", kEditFrequency, "99999999999999", range(900000)},
        FieldCase{"OriginalNetIdAboveItsLimit", kEditOriginalNetworkId, "65536", range(65535)},
        FieldCase{"SymbolRateAboveItsLimit", kEditSymbolRate, "65536", range(65535)},
        FieldCase{"SymbolRateAtItsLimit", kEditSymbolRate, "65535", "", "65535"},
        FieldCase{"ServiceIdUnreadable", kEditServiceId, "abc", kUnreadable},
        FieldCase{"ServiceIdAboveItsLimit", kEditServiceId, "70000", range(65535)},
        FieldCase{"TransponderIdAboveItsLimit", kEditTransponderId, "65536", range(65535)},
        FieldCase{"TransponderIdFullWidthDigit", kEditTransponderId, "１", kUnreadable},
        FieldCase{"NameWithoutACodePageForm", kEditName, "TV😀", "", "TV?"},
        // A Chinese character takes two bytes of the 32-byte name field.
        FieldCase{"NameOfThirtyTwoBytes", kEditName, "电视" + std::string(28, 'A'), "",
                  "电视" + std::string(28, 'A')},
        FieldCase{"NameOfThirtyThreeBytes", kEditName, "电视" + std::string(29, 'A'), kNameTooLong}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ChannelEditSave, FieldsAreCheckedInOrderAndTheFirstFailureWins) {
    EditHarness h(1);
    h.dialog->loadChannel(0);
    h.set(kEditTransponderId, "x");
    h.set(kEditServiceId, "x");
    h.set(kEditSymbolRate, "70000");
    h.set(kEditOriginalNetworkId, "x");
    h.set(kEditFrequency, "1000000");
    h.set(kEditName, QString::fromUtf8("中央电视台第一套节目综合频道高清版本"));  // 34 bytes
    for (const int field : {kEditName, kEditFrequency, kEditOriginalNetworkId, kEditSymbolRate,
                            kEditServiceId, kEditTransponderId}) {
        EXPECT_FALSE(h.dialog->saveChange());
        EXPECT_EQ(h.dialog->focusWidget(), h.dialog->edit(field)) << field;
        h.set(field, "1");
    }
    EXPECT_TRUE(h.dialog->saveChange());
    EXPECT_EQ(h.prompts.texts(),
              QStringList({QString::fromStdString(kNameTooLong), QString::fromStdString(range(900000)),
                           QString::fromStdString(kUnreadable), QString::fromStdString(range(65535)),
                           QString::fromStdString(kUnreadable), QString::fromStdString(kUnreadable)}));
}

TEST(ChannelEditName, AnUnchangedNameKeepsItsBytesAndAClearedOneOnlyLosesItsFirst) {
    EditHarness h;
    ChannelRecord r = makeService(1, 1, kProgTv, "");
    std::memcpy(r.name.data(), "A\xFF\x80\x42", 4);  // bytes the code page cannot show
    h.openOn(r);
    h.set(kEditServiceId, "9");
    ASSERT_TRUE(h.dialog->saveChange());
    EXPECT_EQ(h.record(0).name, r.name);

    h.dialog->loadChannel(0);
    h.set(kEditName, "");
    ASSERT_TRUE(h.dialog->saveChange());
    r.name[0] = 0;
    EXPECT_EQ(h.record(0).name, r.name);
}

TEST(ChannelEditQam, AnUnknownValueOpensWithoutChoiceAndIsSavedAsAllBits) {
    EditHarness h;
    ChannelRecord r = makeService(1, 1, kProgTv, "Q");
    r.qam = 7;
    h.openOn(r);
    EXPECT_EQ(h.dialog->choice(kChoiceQam)->currentIndex(), -1);
    ASSERT_TRUE(h.dialog->saveChange());
    EXPECT_EQ(h.record(0).qam, 0xFFFFFFFFu);

    h.dialog->loadChannel(0);
    h.dialog->choice(kChoiceQam)->setCurrentIndex(2);
    ASSERT_TRUE(h.dialog->saveChange());
    EXPECT_EQ(h.record(0).qam, uint32_t{kQam64});
}

TEST(ChannelEditType, AnUnknownTypeOpensAsUnknownAndIsSavedAsThreeAtTheEndOfTheDataList) {
    EditHarness h;
    h.openOn(makeService(1, 1, 5, "Odd"));
    ASSERT_EQ(addChannel(*h.image, makeService(2, 1, kProgUnknown, "Data")), 1);
    EXPECT_EQ(h.dialog->choice(kChoiceProgType)->currentText(), "Unknown");
    ASSERT_TRUE(h.dialog->saveChange());
    EXPECT_EQ(h.record(0).progType(), uint32_t{kProgUnknown});
    uint16_t items[2];
    int count = 2;
    ASSERT_EQ(getListItems(*h.image, kListData, count, items), 1);
    EXPECT_EQ(std::vector<int>(items, items + count), std::vector<int>({1, 0}));
}

struct RunCase {
    const char* name;
    int index;  // -1: add
    const char* serviceId;
    bool save;  // false: quit
    int code;
    int indexAfter;
    std::vector<int> serviceIds;
};

class RunForChannel : public testing::TestWithParam<RunCase> {};

TEST_P(RunForChannel, EndsWithItsCodeAndHandsBackTheIndex) {
    const RunCase& c = GetParam();
    EditHarness h(2);
    h.dialog->hide();  // a modal run shows the dialog itself
    int seen = 0;
    test::whenModal<ChannelEditDialog>(
        [&c](ChannelEditDialog& d) {
            d.edit(kEditServiceId)->setText(c.serviceId);
            d.edit(kEditTransponderId)->setText("1");
            c.save ? d.saveButton()->click() : d.quitButton()->click();
        },
        &seen);
    int index = c.index;
    EXPECT_EQ(h.dialog->runForChannel(index), c.code);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(index, c.indexAfter);
    EXPECT_EQ(test::serviceIds(*h.image), c.serviceIds);
    EXPECT_TRUE(h.prompts.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RunForChannel,
    testing::Values(
        RunCase{"AddAppends", -1, "900", true, QDialog::Accepted, 2, {101, 102, 900}},
        RunCase{"AddOfDuplicateIdsStoresNothing", -1, "102", true, QDialog::Accepted, -1, {101, 102}},
        RunCase{"EditAcceptsIdsOfAnotherService", 0, "102", true, QDialog::Accepted, 0, {102, 102}},
        RunCase{"QuitStoresNothing", 0, "555", false, QDialog::Rejected, 0, {101, 102}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu::ui
