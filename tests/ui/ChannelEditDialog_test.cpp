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
const std::string kIdsTaken = "“已有频道使用这个Service Id和Transponder Id，请填入其他的值。”";
const std::string kTableFull = "“不能再添加频道：最多可以保存1000个频道。”";
std::string unstorable(const std::string& characters) { return "“请删除无法保存的字符：" + characters + "”"; }

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
    void set(int id, const QString& text) { test::retype(dialog->edit(id), text); }
    void pick(int id, int entry) { test::pick(dialog->choice(id), entry); }
    // Presses "Save Change"; true when the dialog closed with OK.
    bool save() {
        test::click(dialog->saveButton());
        return dialog->result() == QDialog::Accepted;
    }
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
    h.pick(kChoiceQam, 3);
    h.pick(kChoiceParentLock, 0);
    h.pick(kChoiceAudio, 1);
    h.pick(kChoiceSubtitle, 0);
    h.pick(kChoiceDescrambled, 1);
    ASSERT_TRUE(h.save());
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
    EditHarness h(2);
    h.dialog->loadChannel(0);
    h.set(c.field, QString::fromStdString(c.text));
    const ChannelRecord before = h.record(0);
    QLineEdit* field = h.dialog->edit(c.field);
    if (c.refusal.empty()) {
        EXPECT_TRUE(h.save());
        EXPECT_TRUE(h.prompts.messages.empty());
        h.dialog->loadChannel(0);
        EXPECT_EQ(field->text(), QString::fromStdString(c.shownAfter));
        return;
    }
    EXPECT_FALSE(h.save());
    EXPECT_EQ(h.record(0), before);
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
        FieldCase{"NameWithoutACodePageForm", kEditName, "TV😀é😀₩", unstorable("😀₩")},
        // A Chinese character takes two bytes of the 32-byte name field, which takes no more.
        FieldCase{"NameOfThirtyTwoBytes", kEditName, "电视" + std::string(28, 'A'), "",
                  "电视" + std::string(28, 'A')},
        FieldCase{"NameTypedBeyondThirtyTwoBytes", kEditName, std::string(31, 'A') + "电视", "",
                  std::string(31, 'A')},
        FieldCase{"ServiceIdsOfAnotherService", kEditServiceId, "102", kIdsTaken}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ChannelEditSave, FieldsAreCheckedInOrderAndTheFirstFailureWins) {
    EditHarness h(1);
    h.dialog->loadChannel(0);
    h.set(kEditTransponderId, "x");
    h.set(kEditServiceId, "x");
    h.set(kEditSymbolRate, "70000");
    h.set(kEditOriginalNetworkId, "x");
    h.set(kEditFrequency, "1000000");
    h.set(kEditName, QString::fromUtf8("频道😀"));
    for (const int field : {kEditName, kEditFrequency, kEditOriginalNetworkId, kEditSymbolRate,
                            kEditServiceId, kEditTransponderId}) {
        EXPECT_FALSE(h.save());
        EXPECT_EQ(h.dialog->focusWidget(), h.dialog->edit(field)) << field;
        h.set(field, "1");
    }
    EXPECT_TRUE(h.save());
    EXPECT_EQ(h.prompts.texts(),
              QStringList({QString::fromStdString(unstorable("😀")), QString::fromStdString(range(900000)),
                           QString::fromStdString(kUnreadable), QString::fromStdString(range(65535)),
                           QString::fromStdString(kUnreadable), QString::fromStdString(kUnreadable)}));
}

TEST(ChannelEditName, AnUnchangedNameKeepsItsBytesAndAClearedOneOnlyLosesItsFirst) {
    EditHarness h;
    ChannelRecord r = makeService(1, 1, kProgTv, "");
    std::memcpy(r.name.data(), "A\xFF\x80\x42", 4);  // bytes the code page cannot show
    h.openOn(r);
    h.set(kEditServiceId, "9");
    ASSERT_TRUE(h.save());
    EXPECT_EQ(h.record(0).name, r.name);

    h.dialog->loadChannel(0);
    h.set(kEditName, "");
    ASSERT_TRUE(h.save());
    r.name[0] = 0;
    EXPECT_EQ(h.record(0).name, r.name);
}

// A stored QAM without an entry opens without a choice and is saved as all bits; a stored type
// other than TV and Radio opens as "Unknown" and is saved as 3 at the end of the Data list.
TEST(ChannelEditChoices, StoredValuesWithoutAnEntryOpenWithoutOrAsUnknown) {
    EditHarness h;
    ChannelRecord r = makeService(1, 1, 5, "Odd");
    r.qam = 7;
    h.openOn(r);
    ASSERT_EQ(addChannel(*h.image, makeService(2, 1, kProgUnknown, "Data")), 1);
    EXPECT_EQ(h.dialog->choice(kChoiceQam)->currentIndex(), -1);
    EXPECT_EQ(h.dialog->choice(kChoiceProgType)->currentText(), "Unknown");
    ASSERT_TRUE(h.save());
    EXPECT_EQ(h.record(0).qam, 0xFFFFFFFFu);
    EXPECT_EQ(h.record(0).progType(), uint32_t{kProgUnknown});
    uint16_t items[2];
    int count = 2;
    ASSERT_EQ(getListItems(*h.image, kListData, count, items), 1);
    EXPECT_EQ(std::vector<int>(items, items + count), std::vector<int>({1, 0}));
}

struct RunCase {
    const char* name;
    int services;
    int index;  // -1: add
    const char* serviceId;
    bool save;  // false: quit
    int code;
    int indexAfter;
    std::vector<int> firstServiceIds;
    std::string message{};  // a refusal; the user then quits
};

class RunForChannel : public testing::TestWithParam<RunCase> {};

TEST_P(RunForChannel, EndsWithItsCodeAndHandsBackTheIndex) {
    const RunCase& c = GetParam();
    EditHarness h(c.services);
    // Services 0 and 1 share their ids, as a loaded file may have them.
    ChannelRecord shared = h.record(1);
    shared.serviceId = 101;
    ASSERT_EQ(setChannel(*h.image, 1, shared), 1);
    h.dialog->hide();  // a modal run shows the dialog itself
    int seen = 0;
    test::whenModal<ChannelEditDialog>(
        [&c](ChannelEditDialog& d) {
            test::retype(d.edit(kEditServiceId), c.serviceId);
            test::retype(d.edit(kEditTransponderId), "1");
            test::click(c.save ? d.saveButton() : d.quitButton());
            if (d.isVisible()) test::click(d.quitButton());
        },
        &seen);
    int index = c.index;
    EXPECT_EQ(h.dialog->runForChannel(index), c.code);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(index, c.indexAfter);
    std::vector<int> ids = test::serviceIds(*h.image);
    ids.resize(std::min(ids.size(), c.firstServiceIds.size()));
    EXPECT_EQ(ids, c.firstServiceIds);
    EXPECT_EQ(channelCount(*h.image), c.services + (c.index == -1 && c.code == QDialog::Accepted ? 1 : 0));
    EXPECT_EQ(h.prompts.texts(),
              c.message.empty() ? QStringList() : QStringList{QString::fromStdString(c.message)});
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RunForChannel,
    testing::Values(
        RunCase{"AddAppends", 3, -1, "900", true, QDialog::Accepted, 3, {101, 101, 103, 900}},
        RunCase{
            "AddOfTakenIdsIsRefused", 3, -1, "103", true, QDialog::Rejected, -1, {101, 101, 103}, kIdsTaken},
        RunCase{"AddToAFullTableIsRefused", 1000, -1, "2000", true, QDialog::Rejected, -1, {101}, kTableFull},
        RunCase{"EditToIdsOfAnotherServiceIsRefused",
                3,
                0,
                "103",
                true,
                QDialog::Rejected,
                0,
                {101, 101, 103},
                kIdsTaken},
        RunCase{"EditKeepingIdsSharedWithAnother", 3, 0, "101", true, QDialog::Accepted, 0, {101, 101, 103}},
        RunCase{"QuitStoresNothing", 3, 0, "555", false, QDialog::Rejected, 0, {101, 101, 103}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu::ui
