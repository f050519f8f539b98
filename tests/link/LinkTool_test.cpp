// kdattool's transfer commands against the simulator.
#include "LinkFixtures.h"
#include "SimProcess.h"

#include "db/DbFileFormat.h"
#include "freqlist/ProviderFreqList.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace tovu {
namespace {

using test::loopback;
using test::runCommand;
using test::SimProcess;
using test::TempDir;

const std::string kTool = TOVU_BINARY_DIR "/bin/kdattool";

std::string quoted(const std::string& text) { return "'" + text + "'"; }

TEST(KdattoolLink, DownloadUploadAndUploadFreqRoundTrip) {
    TempDir dir;
    const auto receiverDb = test::patternKdat(20);
    test::writeFileBytes(dir.file("receiver.kdat"), receiverDb);
    const std::string xml = test::cableXml(2, 3);
    test::writeFileBytes(dir.file("cable.xml"), std::vector<uint8_t>(xml.begin(), xml.end()));
    SimProcess sim(loopback(10, 3, 1), {"--db", dir.file("receiver.kdat")});
    ASSERT_TRUE(sim.listening());
    const std::string address = test::dottedAddress(sim.address());

    auto r = runCommand(kTool + " download " + address + " " + quoted(dir.file("d.kdat")) + " 2>&1");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Download chan information completed!\n");
    const auto downloaded = test::readFileBytes(dir.file("d.kdat"));
    ASSERT_EQ(downloaded.size(), kDbFileSize);
    EXPECT_TRUE(
        std::equal(downloaded.begin() + kDbAreaOffset, downloaded.end(), receiverDb.begin() + kDbAreaOffset));

    r = runCommand(kTool + " upload " + address + " " + quoted(dir.file("d.kdat")) + " 2>&1");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Upload chan DB completed\n");
    r = runCommand(kTool + " upload-freq " + address + " " + quoted(dir.file("cable.xml")) + " 2>&1");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Upload chan DB completed\n");
}

TEST(KdattoolLink, FailuresGoToStandardErrorWithStatus1) {
    TempDir dir;
    auto r = runCommand(kTool + " download '' " + quoted(dir.file("d.kdat")) + " 2>/dev/null");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    r = runCommand(kTool + " upload '' " + quoted(dir.file("d.kdat")) + " 2>&1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Please Fill Ip address of server!\n");
    r = runCommand(kTool + " upload-freq 127.10.3.250 " + quoted(dir.file("none.xml")) + " 2>&1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Fail to open DB!\n");
    r = runCommand(kTool + " download 127.10.3.250 " + quoted(dir.file("d.kdat")) + " 2>&1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Cannot connect to STB, Please check!\n");
    r = runCommand(kTool + " download not.an.address " + quoted(dir.file("d.kdat")) + " 2>/dev/null");
    EXPECT_EQ(r.status, 2);
}

TEST(KdattoolLink, DownloadThatCannotWriteReportsItAndKeepsTheFile) {
    TempDir dir;
    test::writeFileBytes(dir.file("receiver.kdat"), test::patternKdat(21));
    const std::vector<uint8_t> old(100, 0x42);
    test::writeFileBytes(dir.file("d.kdat"), old);
    SimProcess sim(loopback(10, 3, 2), {"--db", dir.file("receiver.kdat")});
    ASSERT_TRUE(sim.listening());
    // A file size limit of 1 KiB makes every write of the download fail, even for root.
    const auto r =
        runCommand("trap '' XFSZ; ulimit -f 1 && exec " + kTool + " download " +
                   test::dottedAddress(sim.address()) + " " + quoted(dir.file("d.kdat")) + " 2>&1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Fail to write DB!\n");
    EXPECT_EQ(test::readFileBytes(dir.file("d.kdat")), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // no temporary left
}

TEST(KdattoolLink, Cable2BinWritesTheListThatWouldBeSent) {
    TempDir dir;
    const std::string xml = test::cableXml(4, 5);
    test::writeFileBytes(dir.file("cable.xml"), std::vector<uint8_t>(xml.begin(), xml.end()));
    auto r = runCommand(kTool + " cable2bin " + quoted(dir.file("cable.xml")) + " " +
                        quoted(dir.file("f.bin")) + " 2>&1");
    EXPECT_EQ(r.status, 0);
    std::vector<uint8_t> expected(kProviderFreqListSize, 0);
    loadCableXml(dir.file("cable.xml"), expected.data());
    (void)storeFreqListChecksum(expected.data());
    EXPECT_EQ(test::readFileBytes(dir.file("f.bin")), expected);

    const std::string none = "<cables><cable name=\"a\"/></cables>";
    test::writeFileBytes(dir.file("none.xml"), std::vector<uint8_t>(none.begin(), none.end()));
    r = runCommand(kTool + " cable2bin " + quoted(dir.file("none.xml")) + " " + quoted(dir.file("g.bin")) +
                   " 2>&1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Invalid DB File!\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("g.bin")));
}

}  // namespace
}  // namespace tovu
