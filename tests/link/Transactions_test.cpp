// The three transfers end to end against the receiver simulator, and every message they give.
#include "LinkSupport.h"

#include "db/DbFileFormat.h"
#include "db/DbImage.h"
#include "freqlist/ProviderFreqList.h"
#include "link/StbLink.h"
#include "link/Transactions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

namespace tovu {
namespace {

using test::loopback;
using test::readFileBytes;
using test::SimProcess;
using test::TempDir;
using test::writeFileBytes;

std::vector<uint8_t> slice(const std::vector<uint8_t>& bytes, size_t from, size_t to) {
    return {bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(to)};
}

bool fileValidates(const std::string& path) {
    PosixDbFile file;
    return file.open(path, PosixDbFile::Mode::ReadOnly) && validateDbFile(file);
}

size_t filesIn(const TempDir& dir) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir.path()), {}));
}

TEST(Download, StoresTheReceiversAreaBehindAStampedHeaderAndKeepsALongerFilesTail) {
    TempDir dir;
    const auto receiverDb = test::patternKdat(1);
    writeFileBytes(dir.file("receiver.kdat"), receiverDb);
    writeFileBytes(dir.file("longer.kdat"), std::vector<uint8_t>(kDbFileSize + 4096, 0x5C));
    // A receiver that sends every packet twice: the repeats are ignored.
    SimProcess sim(loopback(10, 0, 1), {"--db", dir.file("receiver.kdat"), "--duplicate"});
    ASSERT_TRUE(sim.listening());

    for (const char* name : {"new.kdat", "longer.kdat"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(downloadDatabase(sim.address(), dir.file(name)).success);
        const auto file = readFileBytes(dir.file(name));
        ASSERT_EQ(file.size(), name[0] == 'n' ? kDbFileSize : kDbFileSize + 4096);
        EXPECT_EQ(slice(file, kDbAreaOffset, kDbFileSize), slice(receiverDb, kDbAreaOffset, kDbFileSize));
        EXPECT_EQ(slice(file, 32, kHeaderBlockSize), std::vector<uint8_t>(kHeaderBlockSize - 32, 0));
        EXPECT_EQ(slice(file, kDbFileSize, file.size()),
                  std::vector<uint8_t>(file.size() - kDbFileSize, 0x5C));
        EXPECT_TRUE(fileValidates(dir.file(name)));
    }
}

TEST(Download, FailureLeavesANewFileEmptyAndAnExistingOneAsItWas) {
    TempDir dir;
    writeFileBytes(dir.file("receiver.kdat"), test::patternKdat(2));
    const auto old = test::patternKdat(3);
    writeFileBytes(dir.file("old.kdat"), old);
    SimProcess closing(loopback(10, 0, 3), {"--close-after", "100"});
    SimProcess healthy(loopback(10, 3, 2), {"--db", dir.file("receiver.kdat")});
    ASSERT_TRUE(closing.listening() && healthy.listening());

    EXPECT_FALSE(downloadDatabase(std::nullopt, dir.file("new.kdat")).success);
    EXPECT_EQ(readFileBytes(dir.file("new.kdat")), std::vector<uint8_t>{});  // created, and empty
    EXPECT_FALSE(downloadDatabase(std::nullopt, dir.file("old.kdat")).success);
    EXPECT_EQ(readFileBytes(dir.file("old.kdat")), old);
    EXPECT_EQ(downloadDatabase(closing.address(), dir.file("old.kdat")).message,
              "Cannot connect to STB, Please check!");
    EXPECT_EQ(readFileBytes(dir.file("old.kdat")), old);
    TransferOutcome outcome;
    {
        test::FileSizeLimit full(1024);  // every write of the download fails
        ASSERT_TRUE(full.active());
        outcome = downloadDatabase(healthy.address(), dir.file("old.kdat"));
    }
    EXPECT_EQ(outcome.message, "Fail to write DB!");
    EXPECT_EQ(outcome.caption, OutcomeCaption::Message);
    EXPECT_FALSE(outcome.success);
    EXPECT_EQ(readFileBytes(dir.file("old.kdat")), old);
    EXPECT_EQ(filesIn(dir), 3u);  // no temporary left
}

TEST(Upload, KeepsTheReceiversHeaderAndStoresTheProviderListWithItsChecksum) {
    TempDir dir;
    const auto receiverDb = test::patternKdat(4);
    writeFileBytes(dir.file("receiver.kdat"), receiverDb);
    const auto upload = test::patternKdat(5);
    writeFileBytes(dir.file("up.kdat"), upload);
    test::writeText(dir.file("cable.xml"), test::cableXml(3, 4));
    SimProcess sim(loopback(10, 0, 4), {"--db", dir.file("receiver.kdat"), "--save", dir.file("saved.kdat")});
    ASSERT_TRUE(sim.listening());

    ASSERT_TRUE(uploadDatabase(sim.address(), dir.file("up.kdat")).success);
    (void)sim.nextLine();  // the read of the receiver's header
    (void)sim.nextLine();  // the backup
    ASSERT_NE(sim.nextLine().find("result=stored saved"), std::string::npos);
    const auto saved = readFileBytes(dir.file("saved.kdat"));
    ASSERT_EQ(saved.size(), kDbFileSize);
    const size_t block0 = blockFileOffset(0);
    EXPECT_EQ(slice(saved, block0, block0 + 72), slice(receiverDb, block0, block0 + 72));
    EXPECT_EQ(slice(saved, block0 + 72, block0 + kBlockDataSize),
              slice(upload, block0 + 72, block0 + kBlockDataSize));
    EXPECT_TRUE(verifyBlock(saved.data() + block0));
    EXPECT_EQ(slice(saved, kDbAreaOffset, block0), slice(upload, kDbAreaOffset, block0));
    EXPECT_EQ(readFileBytes(dir.file("up.kdat")), upload);  // the file on disk is not changed

    ASSERT_TRUE(uploadProviderList(sim.address(), dir.file("cable.xml")).success);
    std::vector<uint8_t> expected(kProviderFreqListSize, 0);
    loadCableXml(dir.file("cable.xml"), expected.data());
    ASSERT_EQ(freqListTransponderCount(expected.data()), 12u);
    (void)storeFreqListChecksum(expected.data());
    std::vector<uint8_t> stored(kProviderFreqListSize);
    ASSERT_EQ(StbLink::transfer(sim.address(), kFromReceiver, stored.data(), kProviderListAddress, 0x10000),
              1);
    EXPECT_EQ(stored, expected);
}

// ---- Every message of the three transfers, and what the receiver saw ----

using Transaction = TransferOutcome (*)(ReceiverAddress, const std::string&);
constexpr uint32_t kBlank = 0;
constexpr uint32_t kNobody = loopback(10, 1, 250);  // every other address has a simulator

const TransferOutcome kFill{"Please Fill Ip address of server!", OutcomeCaption::Message, false};
const TransferOutcome kOpen{"Fail to open DB!", OutcomeCaption::Message, false};
const TransferOutcome kInvalid{"Invalid DB File!", OutcomeCaption::Message, false};
const TransferOutcome kCannot{"Cannot connect to STB, Please check!", OutcomeCaption::ApplicationName, false};
const TransferOutcome kDownloaded{"Download chan information completed!", OutcomeCaption::ApplicationName,
                                  true};
const TransferOutcome kUploaded{"Upload chan DB completed", OutcomeCaption::ApplicationName, true};
const TransferOutcome kNoBackup{
    "Cannot connect to STB, Please check!\nThe backup of the receiver's provider list failed. "
    "Nothing was uploaded.",
    OutcomeCaption::ApplicationName, false};

struct MessageCase {
    const char* name;
    Transaction run;
    uint32_t address;  // kBlank: a blank address
    const char* simOptions;
    const char* file;
    TransferOutcome outcome;
    const char* simLines;  // how each line the simulator printed starts, '|' between lines
    long long minMs = 0;   // the least time the transaction takes
};

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
    return parts;
}

class Messages : public testing::TestWithParam<MessageCase> {};

TEST_P(Messages, ComeOutWithTheirCaptionAfterWhatTheReceiverSaw) {
    const MessageCase& c = GetParam();
    TempDir dir;
    writeFileBytes(dir.file("valid.kdat"), test::patternKdat(7));
    auto broken = test::patternKdat(8);
    broken[blockFileOffset(1) + 10] ^= 1;  // block 1 no longer matches its checksum
    writeFileBytes(dir.file("broken.kdat"), broken);
    test::writeText(dir.file("cable.xml"), test::cableXml(1, 2));
    test::writeText(dir.file("empty.xml"), "<cables><cable name=\"x\"></cable></cables>");
    std::unique_ptr<SimProcess> sim;
    if (c.address != kBlank && c.address != kNobody) {
        auto options = split(c.simOptions, ' ');
        options.insert(options.end(), {"--db", dir.file("valid.kdat")});
        sim = std::make_unique<SimProcess>(c.address, options);
        ASSERT_TRUE(sim->listening());
    }

    const auto start = std::chrono::steady_clock::now();
    const TransferOutcome outcome =
        c.run(c.address == kBlank ? ReceiverAddress{} : ReceiverAddress{c.address}, dir.file(c.file));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(outcome.message, c.outcome.message);
    EXPECT_EQ(outcome.caption, c.outcome.caption);
    EXPECT_EQ(outcome.success, c.outcome.success);
    EXPECT_GE(waited, std::chrono::milliseconds(c.minMs));
    EXPECT_LT(waited, std::chrono::milliseconds(c.minMs + 4000));
    if (!sim) return;
    for (const std::string& prefix : split(c.simLines, '|')) {
        const std::string line = sim->nextLine();
        EXPECT_EQ(line.rfind(prefix, 0), 0u) << line;
    }
    EXPECT_EQ(sim->linesUntilStopped(), std::vector<std::string>{"stopped"});
}

INSTANTIATE_TEST_SUITE_P(
    Table, Messages,
    testing::Values(
        MessageCase{"DownloadBlankAddress", downloadDatabase, kBlank, "", "x.kdat", kFill, ""},
        MessageCase{"UploadBlankAddress", uploadDatabase, kBlank, "", "valid.kdat", kFill, ""},
        MessageCase{"UploadFreqBlankAddress", uploadProviderList, kBlank, "", "cable.xml", kFill, ""},
        MessageCase{"DownloadIntoMissingFolder", downloadDatabase, kNobody, "", "no/such.kdat", kOpen, ""},
        MessageCase{"DownloadOntoAFolder", downloadDatabase, kNobody, "", "", kOpen, ""},
        MessageCase{"UploadMissingFileAfterTheReceiversHeader", uploadDatabase, loopback(10, 1, 1), "",
                    "missing.kdat", kOpen, "read address=0x6D0000 length=4096 packets=4/4"},
        MessageCase{"UploadFreqMissingFile", uploadProviderList, kNobody, "", "missing.xml", kOpen, ""},
        MessageCase{"UploadInvalidFileSendsNothing", uploadDatabase, loopback(10, 1, 2), "", "broken.kdat",
                    kInvalid, "read address=0x6D0000 length=4096 packets=4/4"},
        MessageCase{"UploadFreqNoTransponderSendsNothing", uploadProviderList, loopback(10, 1, 3), "",
                    "empty.xml", kInvalid, ""},
        MessageCase{"DownloadNoReceiver", downloadDatabase, kNobody, "", "x.kdat", kCannot, ""},
        MessageCase{"UploadNoReceiverEvenWithoutFile", uploadDatabase, kNobody, "", "missing.kdat", kCannot,
                    ""},
        // The provider list's first transfer is its backup.
        MessageCase{"UploadFreqNoReceiver", uploadProviderList, kNobody, "", "cable.xml", kNoBackup, ""},
        MessageCase{"DownloadCompleted", downloadDatabase, loopback(10, 1, 4), "", "x.kdat", kDownloaded,
                    "read address=0x6A0000 length=262144 packets=256/256 checksum="},
        MessageCase{"UploadCompleted", uploadDatabase, loopback(10, 1, 5), "", "valid.kdat", kUploaded,
                    "read address=0x6D0000 length=4096 packets=4/4|read address=0x6A0000 length=262144|"
                    "write address=0x6A0000 length=262144 packets=256/256 checksum=ok result=stored|"
                    "read address=0x6A0000 length=262144"},
        MessageCase{"UploadFreqCompleted", uploadProviderList, loopback(10, 1, 6), "", "cable.xml", kUploaded,
                    "read address=0x660000 length=65536|"
                    "write address=0x660000 length=65536 packets=64/64 checksum=ok result=stored|"
                    "read address=0x660000 length=65536"},
        MessageCase{"DownloadStalledFailsAfterThePacketTimeOut", downloadDatabase, loopback(10, 2, 1),
                    "--stall", "x.kdat", kCannot,
                    "read address=0x6A0000 length=262144 packets=0/256 result=stalled", 4900},
        MessageCase{"DownloadClosedEarly", downloadDatabase, loopback(10, 2, 2), "--close-after 10", "x.kdat",
                    kCannot, "read address=0x6A0000 length=262144 packets=10/256 result=closed-early"},
        MessageCase{"DownloadBadIndex", downloadDatabase, loopback(10, 2, 3), "--bad-index", "x.kdat",
                    kCannot, "read address=0x6A0000 length=262144 packets="}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu
