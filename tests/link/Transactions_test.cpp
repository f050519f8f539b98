// The three transfers end to end against the receiver simulator, sound or misbehaving: each ends
// in its one message, by its deadline, and only a transfer of exactly the asked bytes counts as
// done. A download replaces the file only when it is complete. Simulators listen on 127.0.50.x.
#include "LinkSupport.h"

#include "db/DbFileFormat.h"
#include "link/Transactions.h"

#include <gtest/gtest.h>

#include <optional>

namespace tovu {
namespace {

using Transaction = TransferOutcome (*)(ReceiverAddress, const std::string&, const StbLink::LinkSettings&);

constexpr uint8_t kBlank = 0;     // a blank address field
constexpr uint8_t kNobody = 250;  // nobody listens there

const TransferOutcome kFill{"Please Fill Ip address of server!", OutcomeCaption::Message, false};
const TransferOutcome kOpen{"Fail to open DB!", OutcomeCaption::Message, false};
const TransferOutcome kInvalid{"Invalid DB File!", OutcomeCaption::Message, false};
const TransferOutcome kWrite{"Fail to write DB!", OutcomeCaption::Message, false};
const TransferOutcome kCannot{"Cannot connect to STB, Please check!", OutcomeCaption::ApplicationName, false};
const TransferOutcome kDownloaded{"Download chan information completed!", OutcomeCaption::ApplicationName,
                                  true};
const TransferOutcome kNotTaken{
    "Cannot connect to STB, Please check!\nYour previous channel list is saved in {backup}.",
    OutcomeCaption::ApplicationName, false};

constexpr const char* kHeaderRead = "read address=0x6D0000 length=4096 packets=4/4";
constexpr const char* kAreaRead = "read address=0x6A0000 length=262144 packets=";

struct TransactionCase {
    const char* name;
    Transaction run;
    uint8_t host;  // 127.0.50.host runs the simulator with `faults`
    const char* faults;
    const char* file;
    TransferOutcome outcome;  // {backup} stands for the backup's path
    const char* lastLine;     // how the simulator's line for the last transfer starts; "": none
    bool diskFull = false;    // files of this process cannot grow beyond 1 KiB meanwhile
};

void PrintTo(const TransactionCase& row, std::ostream* out) { *out << row.name; }

class Transactions : public testing::TestWithParam<TransactionCase> {};

TEST_P(Transactions, EndInTheirMessageAfterWhatTheReceiverSaw) {
    const TransactionCase& c = GetParam();
    test::TempDir dir;
    const auto receiverDb = test::patternKdat(1);
    auto old = test::patternKdat(2);
    std::fill(old.begin() + 32, old.begin() + kDbAreaOffset, 0x5C);
    old.resize(kDbFileSize + 4096, 0x5C);
    auto broken = test::patternKdat(3);
    broken[blockFileOffset(1) + 10] ^= 1;  // block 1 no longer matches its checksum
    test::writeFileBytes(dir.file("receiver.kdat"), receiverDb);
    test::writeFileBytes(dir.file("old.kdat"), old);
    test::writeFileBytes(dir.file("broken.kdat"), broken);
    test::writeText(dir.file("cable.xml"), test::cableXml(1, 2));
    test::writeText(dir.file("empty.xml"), "<cables><cable name=\"x\"></cable></cables>");
    const uint32_t address = test::loopback(0, 50, c.host);
    std::optional<test::SimProcess> sim;
    if (c.host != kBlank && c.host != kNobody) {
        auto options = test::words(c.faults);
        options.insert(options.end(), {"--db", dir.file("receiver.kdat")});
        ASSERT_TRUE(sim.emplace(address, options).listening());
    }

    StbLink::LinkSettings link;
    link.deadlineMs = 1000;  // how long a misbehaving receiver may hold one transfer
    TransferOutcome outcome;
    {
        std::optional<test::FileSizeLimit> full;
        if (c.diskFull) full.emplace(1024);
        ASSERT_TRUE(!full || full->active());
        outcome = c.run(c.host == kBlank ? ReceiverAddress{} : address, dir.file(c.file), link);
    }
    std::string message = c.outcome.message;
    if (const size_t at = message.find("{backup}"); at != std::string::npos)
        message.replace(at, 8, outcome.backupPath);
    EXPECT_EQ(outcome.message, message);
    EXPECT_EQ(outcome.caption, c.outcome.caption);
    EXPECT_EQ(outcome.success, c.outcome.success);
    if (c.file == std::string("old.kdat") && c.run == static_cast<Transaction>(downloadDatabase)) {
        // The receiver's area behind a zeroed header block with a fresh stamp; a longer file
        // keeps its tail. A failed download leaves the file as it was.
        const auto file = test::readFileBytes(dir.file("old.kdat"));
        auto expected = old;
        if (outcome.success && file.size() == old.size()) {
            std::copy_n(file.begin(), 32, expected.begin());
            std::fill(expected.begin() + 32, expected.begin() + kDbAreaOffset, 0);
            std::copy(receiverDb.begin() + kDbAreaOffset, receiverDb.end(), expected.begin() + kDbAreaOffset);
            PosixDbFile saved;
            EXPECT_TRUE(saved.open(dir.file("old.kdat"), PosixDbFile::Mode::ReadOnly) &&
                        validateDbFile(saved));
        }
        EXPECT_TRUE(file == expected);
    }
    if (!sim) return;
    const auto lines = sim->linesUntilStopped();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "stopped");  // also in the middle of a transfer
    const std::string last = lines.size() > 1 ? lines[lines.size() - 2] : "";
    EXPECT_TRUE(*c.lastLine ? last.starts_with(c.lastLine) : last.empty()) << last;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Transactions,
    testing::Values(
        TransactionCase{"DownloadBlankAddress", downloadDatabase, kBlank, "", "new.kdat", kFill, ""},
        TransactionCase{"UploadFreqBlankAddress", uploadProviderList, kBlank, "", "cable.xml", kFill, ""},
        TransactionCase{"DownloadIntoMissingFolder", downloadDatabase, kNobody, "", "no/such.kdat", kOpen,
                        ""},
        TransactionCase{"DownloadNoReceiver", downloadDatabase, kNobody, "", "old.kdat", kCannot, ""},
        // An upload asks the receiver for its header before it looks at the file.
        TransactionCase{"UploadMissingFile", uploadDatabase, 1, "", "missing.kdat", kOpen, kHeaderRead},
        TransactionCase{"UploadInvalidFileSendsNothing", uploadDatabase, 2, "", "broken.kdat", kInvalid,
                        kHeaderRead},
        TransactionCase{"UploadFreqNoTransponderSendsNothing", uploadProviderList, 3, "", "empty.xml",
                        kInvalid, ""},
        TransactionCase{"DownloadIgnoresRepeats", downloadDatabase, 4, "--duplicate", "old.kdat", kDownloaded,
                        kAreaRead},
        TransactionCase{"DownloadOntoAFullDisk", downloadDatabase, 5, "", "old.kdat", kWrite, kAreaRead,
                        true},
        // Receivers that misbehave.
        TransactionCase{"DownloadShortAnswer", downloadDatabase, 6, "--answer-length 1024", "old.kdat",
                        kCannot, "read address=0x6A0000 length=262144 packets=1/1 "},
        TransactionCase{"DownloadWrongLengthField", downloadDatabase, 7, "--length-field 262143", "old.kdat",
                        kCannot, kAreaRead},
        TransactionCase{"DownloadFirstPacketForEver", downloadDatabase, 8, "--repeat-first", "old.kdat",
                        kCannot, kAreaRead},
        TransactionCase{"DownloadOneByteASecond", downloadDatabase, 9, "--slow-read", "old.kdat", kCannot,
                        "read address=0x6A0000 length=262144 packets=0/256 "},
        TransactionCase{"DownloadIndexBeyondTheCount", downloadDatabase, 10, "--bad-index", "old.kdat",
                        kCannot, kAreaRead},
        TransactionCase{"UploadNobodyReads", uploadDatabase, 11, "--ignore-write", "receiver.kdat", kNotTaken,
                        "write address=0x6A0000 length=262144 packets=0/256 result=ignored"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu
