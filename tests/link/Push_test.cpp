// kdattool push against a room of simulated receivers on 127.0.60.2x, some of them broken.
#include "LinkSupport.h"

#include <gtest/gtest.h>

namespace tovu {
namespace {

const std::string kTool = TOVU_BINARY_DIR "/bin/kdattool";

struct Receiver {
    uint8_t host;  // 127.0.60.host
    const char* faults;
    bool ok;
};

TEST(KdattoolPush, ReportsEveryReceiverWhateverTheOthersDo) {
    test::TempDir dir;
    test::writeFileBytes(dir.file("up.kdat"), test::patternKdat(70));
    test::writeText(dir.file("cable.xml"), test::cableXml(2, 3));
    const Receiver receivers[] = {{21, "", true},
                                  {22, "", true},
                                  {23, "--stall", false},
                                  {24, "--close-after 0", false},
                                  {25, "--corrupt-writes", false}};
    std::vector<std::unique_ptr<test::SimProcess>> sims;
    std::string to;
    for (const Receiver& r : receivers) {
        sims.push_back(
            std::make_unique<test::SimProcess>(test::loopback(0, 60, r.host), test::words(r.faults)));
        ASSERT_TRUE(sims.back()->listening());
        to += ' ' + dottedAddress(sims.back()->address());
    }
    const auto quoted = [&dir](const char* name) { return std::string(" '").append(dir.file(name)) + "'"; };
    const std::string files = quoted("up.kdat") + " --freq" + quoted("cable.xml");
    const std::string backups = " --backup-dir" + quoted("backups");

    const auto mixed = test::runCommand(kTool + " push" + files + " --jobs 3" + backups + " --to" + to);
    EXPECT_EQ(mixed.status, 1);
    for (const Receiver& r : receivers) {
        // address, OK or FAILED, message, seconds, backups: both of a receiver that got everything,
        // none of one that could not be reached.
        const std::string address = "127.0.60." + std::to_string(r.host);
        const size_t at = mixed.out.find(address + (r.ok ? "\tOK\t" : "\tFAILED\t"));
        ASSERT_NE(at, std::string::npos) << address << "\n" << mixed.out;
        const std::string line = mixed.out.substr(at, mixed.out.find('\n', at) - at);
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 4) << line;
        EXPECT_EQ(line.find(".kdat,") != std::string::npos, r.ok) << line;
        EXPECT_EQ(line.ends_with("\t-"), r.host == 23 || r.host == 24) << line;
    }
    EXPECT_TRUE(mixed.out.ends_with("\n5 receivers: 2 OK, 3 FAILED\n"));

    test::writeText(dir.file("good"), " 127.0.60.21  # the first\n\n# a comment line\n127.0.60.22\n");
    const auto good = test::runCommand(kTool + " push" + files + backups + " --hosts" + quoted("good"));
    EXPECT_EQ(good.status, 0);
    EXPECT_NE(good.out.find("2 receivers: 2 OK, 0 FAILED"), std::string::npos);

    for (size_t i = 0; i < 2; ++i)
        while (!sims[i]->nextLine(200).empty()) continue;
    test::writeText(dir.file("bad"), "127.0.60.21\n127.0.60.22\n# fine so far\n127.0.60.300\n");
    const auto bad = test::runCommand(kTool + " push" + files + " --hosts" + quoted("bad") + " 2>&1");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out.rfind(dir.file("bad") + ":4: not an IPv4 address: 127.0.60.300\n", 0), 0u) << bad.out;
    EXPECT_EQ(sims[0]->nextLine(300), "");  // nothing was sent
}

}  // namespace
}  // namespace tovu
