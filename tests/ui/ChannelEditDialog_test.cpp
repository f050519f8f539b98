// The Channel Edit dialog: what it shows and stores, and every rule its fields are checked by.
#include "UiTestSupport.h"

#include "ui/ChannelEditDialog.h"

#include <QLineEdit>

namespace tovu::ui {
namespace {

using test::makeService;

const std::string kUnreadable = "“请填入一个正整数。”";
std::string range(uint32_t max) { return "“请填入一个在0和" + std::to_string(max) + "之间的整数。”"; }

// The dialog shown on an image of three services 101, 101 and 103 on transponder 1: the first two
// share their ids, as a loaded file may have them.
struct EditHarness {
    EditHarness() {
        ChannelRecord shared = makeService(101, 1, kProgTv, "Service 2");
        EXPECT_EQ(setChannel(*image, 1, shared), 1);
        dialog->show();
    }
    // Adds the service and opens the dialog on it.
    void openOn(const ChannelRecord& r) { dialog->loadChannel(addChannel(*image, r)); }
    [[nodiscard]] ChannelRecord record(int index) const {
        ChannelRecord r;
        EXPECT_EQ(getChannel(*image, index, r), 1);
        return r;
    }
    // The texts of the edits and choices, top to bottom and left to right.
    [[nodiscard]] QString shown() const {
        QStringList texts;
        for (const int id : {kEditName, kEditServiceId, kEditTransponderId, kEditOriginalNetworkId,
                             kEditFrequency, kEditSymbolRate})
            texts << dialog->edit(id)->text();
        for (const int id : {kChoiceQam, kChoiceParentLock, kChoiceAudio, kChoiceSubtitle, kChoiceDescrambled,
                             kChoiceProgType})
            texts << dialog->choice(id)->currentText();
        return texts.join('|');
    }

    QApplication& app = test::uiApplication();
    test::FakePrompts prompts;
    std::unique_ptr<ChannelDbImage> image = test::imageWithServices(3);
    std::unique_ptr<ChannelEditDialog> dialog = std::make_unique<ChannelEditDialog>(*image, prompts);
};

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
    EXPECT_EQ(h.shown(), "电影频道|4660|22|65535|900000|6900|256QAM|Locked|Mono|On|Not|Radio");
    test::play(h.dialog.get(),
               "set:Name=New name, set:Service Id:=300, set:Transponder Id:=301, set:Original Net Id:=302, "
               "set:Frequency=858000, set:SymRate=5217, set:QAM:=128QAM, set:Parent Lock=UnLock, "
               "set:Audio Track=Right, set:Subtitle=Off, set:Descrambled=Yes, button:Save Change");
    EXPECT_EQ(h.dialog->result(), QDialog::Accepted);
    EXPECT_EQ(h.prompts.texts(), "");

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
    EXPECT_EQ(h.record(3), expected);
}

// A name left as it was keeps its stored bytes (also those the code page cannot show); a cleared
// name loses only its first byte. A QAM without an entry opens without a choice and is stored as
// all bits; a type other than TV and Radio opens as "Unknown" and is stored as 3 at the end of
// the Data list.
TEST(ChannelEditSave, KeepsStoredBytesTheDialogCannotShow) {
    EditHarness h;
    ChannelRecord r = makeService(1, 1, 5, "");
    std::memcpy(r.name.data(), "A\xFF\x80\x42", 4);
    r.qam = 7;
    h.openOn(r);
    ASSERT_EQ(addChannel(*h.image, makeService(2, 1, kProgUnknown, "Data")), 4);
    EXPECT_EQ(h.dialog->choice(kChoiceQam)->currentIndex(), -1);
    test::play(h.dialog.get(), "set:Service Id:=9, button:Save Change");
    EXPECT_EQ(h.record(3).name, r.name);
    EXPECT_EQ(h.record(3).qam, 0xFFFFFFFFu);
    EXPECT_EQ(h.record(3).progType(), uint32_t{kProgUnknown});
    EXPECT_EQ(test::listEntries(*h.image, kListData), std::vector<int>({4, 3}));

    h.dialog->loadChannel(3);
    h.dialog->show();
    test::play(h.dialog.get(), "set:Name=, button:Save Change");
    r.name[0] = 0;
    EXPECT_EQ(h.record(3).name, r.name);
}

struct FieldCase {
    const char* name;
    const char* input;    // played in the dialog open on the first service
    const char* field;    // the field refused, or the field that shows `shown` on opening again
    std::string refusal;  // empty: saved
    const char* shown = "";
};

void PrintTo(const FieldCase& c, std::ostream* out) { *out << c.name; }

class ChannelEditFields : public testing::TestWithParam<FieldCase> {};

// A refused field takes the focus with its text selected; the dialog stays open and nothing is stored.
TEST_P(ChannelEditFields, AreSavedWithinTheirRulesOrRefusedWithTheirMessage) {
    const FieldCase& c = GetParam();
    EditHarness h;
    h.dialog->loadChannel(0);
    const ChannelDbImage before = *h.image;
    test::play(h.dialog.get(), QString::fromUtf8(c.input) + ", button:Save Change");
    auto* field = qobject_cast<QLineEdit*>(test::fieldNamed(h.dialog.get(), c.field));
    ASSERT_NE(field, nullptr);
    if (c.refusal.empty()) {
        EXPECT_EQ(h.prompts.texts(), "");
        EXPECT_EQ(h.dialog->result(), QDialog::Accepted);
        h.dialog->loadChannel(0);
        EXPECT_EQ(field->text(), QString::fromUtf8(c.shown));
        return;
    }
    EXPECT_TRUE(h.dialog->isVisible());
    EXPECT_TRUE(h.image->bytes == before.bytes);
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, QString::fromStdString(c.refusal));
    EXPECT_EQ(h.prompts.messages[0].caption, QCoreApplication::applicationName());
    EXPECT_EQ(h.prompts.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(h.prompts.messages[0].owner, h.dialog.get());
    EXPECT_EQ(h.dialog->focusWidget(), field);
    EXPECT_EQ(field->selectedText(), field->text());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ChannelEditFields,
    testing::Values(
        FieldCase{"FrequencyAtItsLimit", "set:Frequency=900000", "Frequency", "", "900000"},
        FieldCase{"FrequencyAboveItsLimit", "set:Frequency=900001", "Frequency", range(900000)},
        FieldCase{"BlanksAndPlusAround", "set:Frequency=  +42 ", "Frequency", "", "42"},
        FieldCase{"LetterAfterDigits", "set:Frequency=42x", "Frequency", kUnreadable},
        FieldCase{"PlusWithoutDigits", "set:Frequency=+", "Frequency", kUnreadable},
        // 2^32 + 42 would wrap to 42.
        FieldCase{"BeyondThirtyTwoBitsIsTooLarge", "set:Frequency=4294967338", "Frequency", range(900000)},
        FieldCase{"Empty", "set:Original Net Id:=", "Original Net Id:", kUnreadable},
        FieldCase{"MinusSign", "set:SymRate=-1", "SymRate", kUnreadable},
        FieldCase{"SymbolRateAtItsLimit", "set:SymRate=65535", "SymRate", "", "65535"},
        FieldCase{"IdAboveItsLimit", "set:Transponder Id:=65536", "Transponder Id:", range(65535)},
        FieldCase{"FullWidthDigit", "set:Service Id:=１", "Service Id:", kUnreadable},
        FieldCase{"IdsOfAnotherService", "set:Service Id:=103",
                  "Service Id:", "“已有频道使用这个Service Id和Transponder Id，请填入其他的值。”"},
        FieldCase{"IdsKeptThatAnotherServiceShares", "set:Name=Same ids", "Name", "", "Same ids"},
        FieldCase{"NameWithoutACodePageForm", "set:Name=TV😀é😀₩", "Name", "“请删除无法保存的字符：😀₩”"},
        // A Chinese character takes two bytes of the 32-byte name field, which takes no more.
        FieldCase{"NameOfThirtyTwoBytes", "set:Name=电视AAAAAAAAAAAAAAAAAAAAAAAAAAAA", "Name", "",
                  "电视AAAAAAAAAAAAAAAAAAAAAAAAAAAA"},
        FieldCase{"NameTypedBeyondThirtyTwoBytes", "set:Name=AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA电视", "Name", "",
                  "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu::ui
