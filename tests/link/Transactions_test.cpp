// The three transfers end to end against the receiver simulator, and every message they give.
#include "LinkFixtures.h"
#include "SimProcess.h"

#include "db/DbFileFormat.h"
#include "db/DbImage.h"
#include "freqlist/ProviderFreqList.h"
#include "link/StbLink.h"
#include "link/Transactions.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace tovu {
namespace {

using test::loopback;
using test::SimProcess;
using test::TempDir;

std::vector<uint8_t> slice(const std::vector<uint8_t>& bytes, size_t from, size_t to) {
    return {bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(to)};
}

bool fileValidates(const std::string& path) {
    PosixDbFile file;
    return file.open(path, PosixDbFile::Mode::ReadOnly) && validateDbFile(file);
}

bool startsWith(const std::string& line, const std::string& prefix) { return line.rfind(prefix, 0) == 0; }

TEST(Download, WritesTheReceiversAreaBehindAStampedHeader) {
    TempDir dir;
    const auto receiverDb = test::patternKdat(1);
    test::writeFileBytes(dir.file("receiver.kdat"), receiverDb);
    SimProcess sim(loopback(10, 0, 1), {"--db", dir.file("receiver.kdat")});
    ASSERT_TRUE(sim.listening());

    const TransferOutcome outcome = downloadDatabase(sim.address(), dir.file("down.kdat"));
    EXPECT_EQ(outcome.message, "Download chan information completed!");
    EXPECT_EQ(outcome.caption, OutcomeCaption::ApplicationName);
    EXPECT_TRUE(outcome.success);
    const auto file = test::readFileBytes(dir.file("down.kdat"));
    ASSERT_EQ(file.size(), kDbFileSize);
    EXPECT_EQ(slice(file, kDbAreaOffset, kDbFileSize), slice(receiverDb, kDbAreaOffset, kDbFileSize));
    EXPECT_EQ(slice(file, 32, kHeaderBlockSize), std::vector<uint8_t>(kHeaderBlockSize - 32, 0));
    EXPECT_TRUE(fileValidates(dir.file("down.kdat")));
    EXPECT_TRUE(startsWith(sim.nextLine(), "read address=0x6A0000 length=262144 packets=256/256"));
}

TEST(Download, LongerExistingFileKeepsItsTailAndStillValidates) {
    TempDir dir;
    test::writeFileBytes(dir.file("receiver.kdat"), test::patternKdat(2));
    std::vector<uint8_t> longer(kDbFileSize + 4096, 0x5C);
    test::writeFileBytes(dir.file("down.kdat"), longer);
    SimProcess sim(loopback(10, 0, 2), {"--db", dir.file("receiver.kdat")});
    ASSERT_TRUE(sim.listening());

    ASSERT_TRUE(downloadDatabase(sim.address(), dir.file("down.kdat")).success);
    const auto file = test::readFileBytes(dir.file("down.kdat"));
    ASSERT_EQ(file.size(), longer.size());
    EXPECT_EQ(slice(file, kDbFileSize, file.size()), std::vector<uint8_t>(4096, 0x5C));
    EXPECT_TRUE(fileValidates(dir.file("down.kdat")));
}

TEST(Download, BlankAddressLeavesANewFileEmptyAndAnExistingOneAsItWas) {
    TempDir dir;
    EXPECT_EQ(downloadDatabase(std::nullopt, dir.file("new.kdat")).message,
              "Please Fill Ip address of server!");
    ASSERT_TRUE(std::filesystem::exists(dir.file("new.kdat")));
    EXPECT_EQ(std::filesystem::file_size(dir.file("new.kdat")), 0u);

    const std::vector<uint8_t> old = {1, 2, 3};
    test::writeFileBytes(dir.file("old.kdat"), old);
    EXPECT_FALSE(downloadDatabase(std::nullopt, dir.file("old.kdat")).success);
    EXPECT_EQ(test::readFileBytes(dir.file("old.kdat")), old);
}

TEST(Download, FailedTransferLeavesTheFileAsItWas) {
    TempDir dir;
    const auto old = test::patternKdat(3);
    test::writeFileBytes(dir.file("old.kdat"), old);
    SimProcess sim(loopback(10, 0, 3), {"--close-after", "100"});
    ASSERT_TRUE(sim.listening());
    EXPECT_EQ(downloadDatabase(sim.address(), dir.file("old.kdat")).message,
              "Cannot connect to STB, Please check!");
    EXPECT_EQ(test::readFileBytes(dir.file("old.kdat")), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temporary left
}

TEST(Upload, KeepsTheReceiversHeaderAndSendsAConsistentBlock0) {
    TempDir dir;
    const auto receiverDb = test::patternKdat(4);
    test::writeFileBytes(dir.file("receiver.kdat"), receiverDb);
    const auto upload = test::patternKdat(5);
    test::writeFileBytes(dir.file("up.kdat"), upload);
    SimProcess sim(loopback(10, 0, 4), {"--db", dir.file("receiver.kdat"), "--save", dir.file("saved.kdat")});
    ASSERT_TRUE(sim.listening());

    const TransferOutcome outcome = uploadDatabase(sim.address(), dir.file("up.kdat"));
    EXPECT_EQ(outcome.message, "Upload chan DB completed");
    EXPECT_EQ(outcome.caption, OutcomeCaption::ApplicationName);
    EXPECT_TRUE(outcome.success);
    EXPECT_TRUE(startsWith(sim.nextLine(), "read address=0x6D0000 length=4096 packets=4/4"));
    EXPECT_EQ(sim.nextLine(),
              "write address=0x6A0000 length=262144 packets=256/256 checksum=ok result=stored saved");

    const auto saved = test::readFileBytes(dir.file("saved.kdat"));
    ASSERT_EQ(saved.size(), kDbFileSize);
    const size_t block0 = blockFileOffset(0);
    EXPECT_EQ(slice(saved, block0, block0 + 72), slice(receiverDb, block0, block0 + 72));
    EXPECT_EQ(slice(saved, block0 + 72, block0 + kBlockDataSize),
              slice(upload, block0 + 72, block0 + kBlockDataSize));
    EXPECT_TRUE(verifyBlock(saved.data() + block0));
    EXPECT_EQ(slice(saved, kDbAreaOffset, block0), slice(upload, kDbAreaOffset, block0));
    EXPECT_EQ(test::readFileBytes(dir.file("up.kdat")), upload);  // the file on disk is not changed
}

TEST(Upload, InvalidFileIsReportedAfterTheReceiversHeaderWasReadAndNothingIsSent) {
    TempDir dir;
    auto broken = test::patternKdat(6);
    broken[blockFileOffset(1) + 10] ^= 0xFF;  // block 1 no longer matches its checksum
    test::writeFileBytes(dir.file("broken.kdat"), broken);
    SimProcess sim(loopback(10, 0, 5));
    ASSERT_TRUE(sim.listening());
    const TransferOutcome outcome = uploadDatabase(sim.address(), dir.file("broken.kdat"));
    EXPECT_EQ(outcome.message, "Invalid DB File!");
    EXPECT_EQ(outcome.caption, OutcomeCaption::Message);
    const auto lines = test::remainingLines(sim);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(startsWith(lines[0], "read address=0x6D0000 length=4096"));
    EXPECT_EQ(lines[1], "stopped");
}

TEST(UploadProviderList, SendsTheListWithItsChecksum) {
    TempDir dir;
    const std::string xml = test::cableXml(3, 4);
    test::writeFileBytes(dir.file("cable.xml"), std::vector<uint8_t>(xml.begin(), xml.end()));
    SimProcess sim(loopback(10, 0, 6));
    ASSERT_TRUE(sim.listening());

    const TransferOutcome outcome = uploadProviderList(sim.address(), dir.file("cable.xml"));
    EXPECT_EQ(outcome.message, "Upload chan DB completed");
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(sim.nextLine(), "write address=0x660000 length=65536 packets=64/64 checksum=ok result=stored");

    std::vector<uint8_t> expected(kProviderFreqListSize, 0);
    loadCableXml(dir.file("cable.xml"), expected.data());
    ASSERT_EQ(freqListTransponderCount(expected.data()), 12u);
    (void)storeFreqListChecksum(expected.data());
    std::vector<uint8_t> stored(kProviderFreqListSize);
    ASSERT_EQ(StbLink::transfer(sim.address(), kFromReceiver, stored.data(), kProviderListAddress, 0x10000),
              1);
    EXPECT_EQ(stored, expected);
}

TEST(UploadProviderList, ListWithoutTransponderSendsNothing) {
    TempDir dir;
    const std::string xml = "<cables><cable name=\"empty\"/></cables>";
    test::writeFileBytes(dir.file("cable.xml"), std::vector<uint8_t>(xml.begin(), xml.end()));
    SimProcess sim(loopback(10, 0, 7));
    ASSERT_TRUE(sim.listening());
    EXPECT_EQ(uploadProviderList(sim.address(), dir.file("cable.xml")).message, "Invalid DB File!");
    EXPECT_EQ(test::remainingLines(sim), std::vector<std::string>{"stopped"});
}

// ---- Every message of the three transfers ----

struct MessageCase {
    const char* name;
    uint8_t host;  // the simulator listens on 127.10.1.host; 0: no simulator
    std::function<TransferOutcome(const TempDir&, ReceiverAddress)> run;
    const char* message;
    OutcomeCaption caption;
    bool success;
};

class Messages : public testing::TestWithParam<MessageCase> {};

TEST_P(Messages, ComeOutWithTheirCaption) {
    const MessageCase& c = GetParam();
    TempDir dir;
    test::writePatternKdat(dir, "valid.kdat", 7);
    auto broken = test::patternKdat(8);
    broken[blockFileOffset(0) + 100] ^= 1;
    test::writeFileBytes(dir.file("broken.kdat"), broken);
    const std::string good = test::cableXml(1, 2), empty = "<cables><cable name=\"x\"></cable></cables>";
    test::writeFileBytes(dir.file("cable.xml"), std::vector<uint8_t>(good.begin(), good.end()));
    test::writeFileBytes(dir.file("empty.xml"), std::vector<uint8_t>(empty.begin(), empty.end()));

    const uint32_t address = loopback(10, 1, c.host == 0 ? 250 : c.host);
    std::unique_ptr<SimProcess> sim;
    if (c.host != 0) {
        sim = std::make_unique<SimProcess>(address, std::vector<std::string>{"--db", dir.file("valid.kdat")});
        ASSERT_TRUE(sim->listening());
    }
    const TransferOutcome outcome = c.run(dir, address);
    EXPECT_EQ(outcome.message, c.message);
    EXPECT_EQ(outcome.caption, c.caption);
    EXPECT_EQ(outcome.success, c.success);
}

constexpr auto kMessage = OutcomeCaption::Message;
constexpr auto kAppName = OutcomeCaption::ApplicationName;
constexpr const char* kFill = "Please Fill Ip address of server!";
constexpr const char* kCannot = "Cannot connect to STB, Please check!";

TransferOutcome download(const TempDir& d, ReceiverAddress a, const char* name) {
    return downloadDatabase(a, d.file(name));
}
TransferOutcome upload(const TempDir& d, ReceiverAddress a, const char* name) {
    return uploadDatabase(a, d.file(name));
}
TransferOutcome uploadFreq(const TempDir& d, ReceiverAddress a, const char* name) {
    return uploadProviderList(a, d.file(name));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Messages,
    testing::Values(
        MessageCase{"DownloadBlankAddress", 0,
                    [](auto& d, auto) { return download(d, std::nullopt, "x.kdat"); }, kFill, kMessage,
                    false},
        MessageCase{"UploadBlankAddress", 0,
                    [](auto& d, auto) { return upload(d, std::nullopt, "valid.kdat"); }, kFill, kMessage,
                    false},
        MessageCase{"UploadFreqBlankAddress", 0,
                    [](auto& d, auto) { return uploadFreq(d, std::nullopt, "cable.xml"); }, kFill, kMessage,
                    false},
        MessageCase{"DownloadIntoMissingFolder", 0,
                    [](auto& d, auto a) { return download(d, a, "no/such.kdat"); }, "Fail to open DB!",
                    kMessage, false},
        MessageCase{"DownloadOntoAFolder", 0, [](auto& d, auto a) { return download(d, a, ""); },
                    "Fail to open DB!", kMessage, false},
        MessageCase{"UploadMissingFile", 1, [](auto& d, auto a) { return upload(d, a, "missing.kdat"); },
                    "Fail to open DB!", kMessage, false},
        MessageCase{"UploadFreqMissingFile", 0,
                    [](auto& d, auto a) { return uploadFreq(d, a, "missing.xml"); }, "Fail to open DB!",
                    kMessage, false},
        MessageCase{"UploadInvalidFile", 2, [](auto& d, auto a) { return upload(d, a, "broken.kdat"); },
                    "Invalid DB File!", kMessage, false},
        MessageCase{"UploadFreqNoTransponder", 3,
                    [](auto& d, auto a) { return uploadFreq(d, a, "empty.xml"); }, "Invalid DB File!",
                    kMessage, false},
        MessageCase{"DownloadNoReceiver", 0, [](auto& d, auto a) { return download(d, a, "x.kdat"); },
                    kCannot, kAppName, false},
        MessageCase{"UploadNoReceiverEvenWithoutFile", 0,
                    [](auto& d, auto a) { return upload(d, a, "missing.kdat"); }, kCannot, kAppName, false},
        MessageCase{"UploadFreqNoReceiver", 0, [](auto& d, auto a) { return uploadFreq(d, a, "cable.xml"); },
                    kCannot, kAppName, false},
        MessageCase{"DownloadCompleted", 4, [](auto& d, auto a) { return download(d, a, "x.kdat"); },
                    "Download chan information completed!", kAppName, true},
        MessageCase{"UploadCompleted", 5, [](auto& d, auto a) { return upload(d, a, "valid.kdat"); },
                    "Upload chan DB completed", kAppName, true},
        MessageCase{"UploadFreqCompleted", 6, [](auto& d, auto a) { return uploadFreq(d, a, "cable.xml"); },
                    "Upload chan DB completed", kAppName, true}),
    [](const auto& row) { return std::string(row.param.name); });

// ---- Receivers that misbehave ----

struct FaultCase {
    const char* name;
    uint8_t host;  // 127.10.2.host
    std::vector<std::string> options;
    int result;
    const char* simLine;  // how the simulator saw it
};

class Faults : public testing::TestWithParam<FaultCase> {};

TEST_P(Faults, EndTheDownloadAsTheyShould) {
    const FaultCase& c = GetParam();
    TempDir dir;
    const auto receiverDb = test::patternKdat(9);
    test::writeFileBytes(dir.file("receiver.kdat"), receiverDb);
    auto options = c.options;
    options.insert(options.end(), {"--db", dir.file("receiver.kdat")});
    SimProcess sim(loopback(10, 2, c.host), options);
    ASSERT_TRUE(sim.listening());

    StbLink::LinkSettings quick;
    quick.packetTimeoutMs = 300;
    std::vector<uint8_t> buffer(kDbAreaSize, 0);
    EXPECT_EQ(StbLink::transferWith(quick, sim.address(), kFromReceiver, buffer.data(), kDbImageAddress,
                                    kDbImageLength),
              c.result);
    if (c.result == 1) {
        EXPECT_EQ(buffer, slice(receiverDb, kDbAreaOffset, kDbFileSize));
    }
    EXPECT_TRUE(startsWith(sim.nextLine(), c.simLine));
}

INSTANTIATE_TEST_SUITE_P(
    Receivers, Faults,
    testing::Values(
        FaultCase{
            "Stall", 1, {"--stall"}, 0, "read address=0x6A0000 length=262144 packets=0/256 result=stalled"},
        FaultCase{"EarlyClose",
                  2,
                  {"--close-after", "10"},
                  0,
                  "read address=0x6A0000 length=262144 packets=10/256 result=closed-early"},
        FaultCase{"BadIndex", 3, {"--bad-index"}, 0, "read address=0x6A0000 length=262144"},
        FaultCase{"DuplicatePackets", 4, {"--duplicate"}, 1, "read address=0x6A0000 length=262144"},
        FaultCase{"Healthy", 5, {}, 1, "read address=0x6A0000 length=262144 packets=256/256"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Download, StalledReceiverFailsAfterThePacketTimeOut) {
    TempDir dir;
    SimProcess sim(loopback(10, 0, 8), {"--stall"});
    ASSERT_TRUE(sim.listening());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(downloadDatabase(sim.address(), dir.file("x.kdat")).message,
              "Cannot connect to STB, Please check!");
    const auto waited =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    EXPECT_GE(waited, 4900);
    EXPECT_LT(waited, 9000);
}

}  // namespace
}  // namespace tovu
