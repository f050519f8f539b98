// Receivers that misbehave: every transfer ends by its deadline, and only a transfer of exactly
// the asked bytes, all acknowledged, counts as done. A failed download keeps the file as it was.
#include "LinkSupport.h"

#include "db/DbFileFormat.h"
#include "link/Transactions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

namespace tovu {
namespace {

using Transaction = TransferOutcome (*)(ReceiverAddress, const std::string&, const StbLink::LinkSettings&);

struct HostileCase {
    const char* name;
    Transaction run;
    uint8_t host;  // the simulator listens on 127.0.50.host
    const char* faults;
    const char* file;
    bool success;
    const char* sawLine;  // how the simulator's line for the last transfer starts
};

class HostileReceivers : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileReceivers, NeitherHangNorPassForSuccess) {
    const HostileCase& c = GetParam();
    test::TempDir dir;
    const auto receiverDb = test::patternKdat(30);
    const auto old = test::patternKdat(31);
    test::writeFileBytes(dir.file("receiver.kdat"), receiverDb);
    test::writeFileBytes(dir.file("old.kdat"), old);
    test::writeText(dir.file("cable.xml"), test::cableXml(2, 3));
    std::vector<std::string> options = {"--db", dir.file("receiver.kdat")};
    std::istringstream faults(c.faults);
    for (std::string word; faults >> word;) options.push_back(word);
    test::SimProcess sim(test::loopback(0, 50, c.host), options);
    ASSERT_TRUE(sim.listening());

    StbLink::LinkSettings link;
    link.deadlineMs = 500;
    const auto start = std::chrono::steady_clock::now();
    const TransferOutcome outcome = c.run(sim.address(), dir.file(c.file), link);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(outcome.success, c.success);
    EXPECT_EQ(outcome.message.rfind("Cannot connect to STB, Please check!", 0) == 0, !c.success);
    if (c.run == static_cast<Transaction>(downloadDatabase)) {
        const auto file = test::readFileBytes(dir.file(c.file));
        EXPECT_EQ(file == old, !c.success);
        EXPECT_EQ(std::equal(file.begin() + kDbAreaOffset, file.end(), receiverDb.begin() + kDbAreaOffset),
                  c.success);
    }
    std::string line;  // the reads before the upload's write are skipped
    while (!(line = sim.nextLine()).empty() && line.rfind(c.sawLine, 0) != 0) continue;
    EXPECT_EQ(line.rfind(c.sawLine, 0), 0u) << c.sawLine;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, HostileReceivers,
    testing::Values(HostileCase{"DownloadWellBehaved", downloadDatabase, 1, "", "old.kdat", true,
                                "read address=0x6A0000 length=262144 packets=256/256 checksum="},
                    HostileCase{"DownloadShortAnswer", downloadDatabase, 3, "--answer-length 1024",
                                "old.kdat", false, "read address=0x6A0000 length=262144 packets=1/1 "},
                    HostileCase{"DownloadWrongLengthField", downloadDatabase, 4, "--length-field 262143",
                                "old.kdat", false, "read address=0x6A0000 length=262144 packets="},
                    HostileCase{"DownloadRepeatsFirstPacketForEver", downloadDatabase, 5, "--repeat-first",
                                "old.kdat", false, "read address=0x6A0000 length=262144 packets="},
                    HostileCase{"DownloadTricklesOneByteASecond", downloadDatabase, 6, "--slow-read",
                                "old.kdat", false, "read address=0x6A0000 length=262144 packets=0/256 "},
                    HostileCase{"UploadReadNothing", uploadDatabase, 7, "--ignore-write", "old.kdat", false,
                                "write address=0x6A0000 length=262144 packets=0/256 result=ignored"},
                    HostileCase{"UploadFreqReadNothing", uploadProviderList, 8, "--ignore-write", "cable.xml",
                                false, "write address=0x660000 length=65536 packets=0/64 result=ignored"},
                    HostileCase{"UploadReadOneByteASecond", uploadDatabase, 9, "--slow-write", "old.kdat",
                                false, "write address=0x6A0000 length=262144 packets=0/256 result="},
                    HostileCase{"UploadResetDuringTheBackup", uploadDatabase, 10, "--reset-after 8",
                                "old.kdat", false,
                                "read address=0x6A0000 length=262144 packets=8/256 result=reset"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu
