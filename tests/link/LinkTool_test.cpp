// kdattool's transfer commands against the simulator.
#include "LinkSupport.h"

#include <gtest/gtest.h>

namespace tovu {
namespace {

const std::string kTool = TOVU_BINARY_DIR "/bin/kdattool";

std::string quoted(const std::string& text) { return "'" + text + "'"; }

// Runs kdattool: a success prints `text` on standard output alone, a failure on standard error
// alone (a usage error starts with it).
void expectRun(const test::TempDir& dir, const std::string& arguments, int status, const std::string& text) {
    SCOPED_TRACE(arguments);
    const auto run = test::runCommand(kTool + " " + arguments + " 2>" + quoted(dir.file("stderr")));
    const auto errBytes = test::readFileBytes(dir.file("stderr"));
    const std::string err(errBytes.begin(), errBytes.end());
    EXPECT_EQ(run.status, status);
    EXPECT_EQ(status == 0 ? run.out : status == 1 ? err : err.substr(0, text.size()), text);
    EXPECT_EQ(status == 0 ? err : run.out, "");
}

TEST(KdattoolLink, TransfersReportOnTheRightStreamWithTheirStatus) {
    test::TempDir dir;
    test::writeFileBytes(dir.file("receiver.kdat"), test::patternKdat(20));
    test::writeText(dir.file("cable.xml"), test::cableXml(2, 3));
    test::SimProcess sim(test::loopback(10, 3, 1), {"--db", dir.file("receiver.kdat")});
    test::SimProcess corrupting(test::loopback(10, 3, 2), {"--corrupt-writes"});
    ASSERT_TRUE(sim.listening() && corrupting.listening());
    const std::string address = dottedAddress(sim.address()) + " ";

    expectRun(dir, "download " + address + quoted(dir.file("d.kdat")), 0,
              "Download chan information completed!\n");
    expectRun(dir, "upload " + address + quoted(dir.file("d.kdat")), 0, "Upload chan DB completed\n");
    expectRun(dir, "upload-freq " + address + quoted(dir.file("cable.xml")), 0, "Upload chan DB completed\n");
    // Without the read-back nothing notices what the receiver stored.
    expectRun(dir,
              "upload " + dottedAddress(corrupting.address()) + " " + quoted(dir.file("d.kdat")) +
                  " --no-verify --backup-dir " + quoted(dir.file("backups")),
              0, "Upload chan DB completed\n");

    expectRun(dir, "upload '' " + quoted(dir.file("d.kdat")), 1, "Please Fill Ip address of server!\n");
    expectRun(dir, "download not.an.address " + quoted(dir.file("d.kdat")), 2, "not an IPv4 address");
}

}  // namespace
}  // namespace tovu
