// kdattool's transfer commands against the simulator.
#include "LinkSupport.h"

#include "db/DbFileFormat.h"
#include "freqlist/ProviderFreqList.h"

#include <gtest/gtest.h>

namespace tovu {
namespace {

using test::readFileBytes;
using test::runCommand;
using test::TempDir;

const std::string kTool = TOVU_BINARY_DIR "/bin/kdattool";

std::string quoted(const std::string& text) { return "'" + text + "'"; }

// Runs kdattool: a success prints `text` on standard output alone, a failure on standard error
// alone (a usage error starts with it).
void expectRun(const TempDir& dir, const std::string& arguments, int status, const std::string& text) {
    SCOPED_TRACE(arguments);
    const auto run = runCommand(kTool + " " + arguments + " 2>" + quoted(dir.file("stderr")));
    const auto errBytes = readFileBytes(dir.file("stderr"));
    const std::string err(errBytes.begin(), errBytes.end());
    EXPECT_EQ(run.status, status);
    EXPECT_EQ(status == 0 ? run.out : status == 1 ? err : err.substr(0, text.size()), text);
    EXPECT_EQ(status == 0 ? err : run.out, "");
}

TEST(KdattoolLink, TransfersReportOnTheRightStreamWithTheirStatus) {
    TempDir dir;
    const auto receiverDb = test::patternKdat(20);
    test::writeFileBytes(dir.file("receiver.kdat"), receiverDb);
    test::writeText(dir.file("cable.xml"), test::cableXml(2, 3));
    test::SimProcess sim(test::loopback(10, 3, 1), {"--db", dir.file("receiver.kdat")});
    ASSERT_TRUE(sim.listening());
    const std::string address = test::dottedAddress(sim.address()) + " ";

    expectRun(dir, "download " + address + quoted(dir.file("d.kdat")), 0,
              "Download chan information completed!\n");
    const auto downloaded = readFileBytes(dir.file("d.kdat"));
    ASSERT_EQ(downloaded.size(), kDbFileSize);
    EXPECT_TRUE(
        std::equal(downloaded.begin() + kDbAreaOffset, downloaded.end(), receiverDb.begin() + kDbAreaOffset));
    expectRun(dir, "upload " + address + quoted(dir.file("d.kdat")), 0, "Upload chan DB completed\n");
    expectRun(dir, "upload-freq " + address + quoted(dir.file("cable.xml")), 0, "Upload chan DB completed\n");

    expectRun(dir, "upload '' " + quoted(dir.file("d.kdat")), 1, "Please Fill Ip address of server!\n");
    expectRun(dir, "download not.an.address " + quoted(dir.file("d.kdat")), 2, "not an IPv4 address");
}

TEST(KdattoolLink, Cable2BinWritesTheListThatWouldBeSent) {
    TempDir dir;
    test::writeText(dir.file("cable.xml"), test::cableXml(4, 5));
    expectRun(dir, "cable2bin " + quoted(dir.file("cable.xml")) + " " + quoted(dir.file("f.bin")), 0, "");
    std::vector<uint8_t> expected(kProviderFreqListSize, 0);
    loadCableXml(dir.file("cable.xml"), expected.data());
    (void)storeFreqListChecksum(expected.data());
    EXPECT_EQ(readFileBytes(dir.file("f.bin")), expected);

    test::writeText(dir.file("none.xml"), "<cables><cable name=\"a\"/></cables>");
    expectRun(dir, "cable2bin " + quoted(dir.file("none.xml")) + " " + quoted(dir.file("g.bin")), 1,
              "Invalid DB File!\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("g.bin")));
}

}  // namespace
}  // namespace tovu
