// The simulator checks what a careful receiver would, and stops cleanly on a signal.
#include "LinkSupport.h"

#include "link/StbLink.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace tovu {
namespace {

using test::loopback;
using test::SimProcess;

struct CheckCase {
    const char* name;
    uint8_t host;                                  // 127.10.4.host
    std::function<void(size_t, uint8_t*)> tamper;  // changes packet i before it is sent
    const char* verdict;                           // the end of the simulator's line
};

class SimulatorChecks : public testing::TestWithParam<CheckCase> {};

TEST_P(SimulatorChecks, ReportEveryMismatch) {
    const CheckCase& c = GetParam();
    SimProcess sim(loopback(10, 4, c.host));
    ASSERT_TRUE(sim.listening());
    // A sound write of 2500 bytes, captured and then tampered with.
    test::SocketPair pair;
    std::vector<uint8_t> data(2500);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
    ASSERT_EQ(StbLink::sendCommand(pair.near(), kToReceiver, kProviderListAddress, 2500), 1);
    ASSERT_EQ(StbLink::sendData(pair.near(), 2500, data.data()), 1);
    pair.closeNear();
    auto wire = test::readUntilClosed(pair.far());
    ASSERT_EQ(wire.size(), kCommandFrameSize + 3 * kPacketSize);
    for (size_t i = 0; i < 3; ++i) c.tamper(i, wire.data() + kCommandFrameSize + i * kPacketSize);

    const int s = StbLink::openConnection(sim.address(), kReceiverPort, 1000);
    ASSERT_GE(s, 0);
    EXPECT_EQ(StbLink::sendAll(s, wire.data(), wire.size(), 1000), 0);
    StbLink::closeSocket(s);
    const std::string line = sim.nextLine();
    EXPECT_EQ(line.rfind("write address=0x660000 length=2500 packets=3/3 checksum=", 0), 0u) << line;
    EXPECT_NE(line.find(c.verdict), std::string::npos) << line;
    EXPECT_EQ(sim.stop(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Packets, SimulatorChecks,
    testing::Values(
        CheckCase{"Sound", 1, [](size_t, uint8_t*) {}, "checksum=ok result=stored"},
        CheckCase{"PayloadChanged", 2, [](size_t i, uint8_t* p) { p[20] ^= i == 1; },
                  "checksum=bad result=rejected"},
        CheckCase{"LengthField", 3, [](size_t i, uint8_t* p) { p[3] ^= i == 2; },
                  "result=rejected length-mismatch@2"},
        CheckCase{"CountField", 4, [](size_t, uint8_t* p) { p[9] = 4; }, "result=rejected count-mismatch@0"},
        CheckCase{"IndexOutOfOrder", 5, [](size_t i, uint8_t* p) { p[11] = static_cast<uint8_t>(2 - i); },
                  "index-mismatch@0"},
        CheckCase{"ChecksumField", 6, [](size_t i, uint8_t* p) { p[7] ^= i == 2; },
                  "checksum-field-mismatch@2"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Simulator, RefusesStorageOutsideItsAreasAndStopsCleanlyInTheMiddleOfATransfer) {
    SimProcess sim(loopback(10, 4, 21));
    ASSERT_TRUE(sim.listening());
    std::vector<uint8_t> buffer(1024);
    EXPECT_EQ(StbLink::transfer(sim.address(), kFromReceiver, buffer.data(), 0x6E0000, 1024), 0);
    EXPECT_NE(sim.nextLine().find("result=refused"), std::string::npos);

    SimProcess stalled(loopback(10, 4, 20), {"--stall"});
    ASSERT_TRUE(stalled.listening());
    const int s = StbLink::openConnection(stalled.address(), kReceiverPort, 1000);
    ASSERT_GE(s, 0);
    ASSERT_EQ(StbLink::sendCommand(s, kFromReceiver, kDbImageAddress, kDbImageLength), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(stalled.stop(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    StbLink::closeSocket(s);
}

TEST(Simulator, TakesAnEmptyWriteWhileAnotherClientSaysNothing) {
    SimProcess sim(loopback(0, 50, 20));
    ASSERT_TRUE(sim.listening());
    const int idle = StbLink::openConnection(sim.address(), kReceiverPort, 1000);
    ASSERT_GE(idle, 0);
    EXPECT_EQ(StbLink::transfer(sim.address(), kToReceiver, nullptr, kProviderListAddress, 0), 1);
    // Served at once, long before the simulator gives up on the silent client.
    EXPECT_EQ(sim.nextLine(2000), "write address=0x660000 length=0 packets=0/0 checksum=ok result=stored");
    StbLink::closeSocket(idle);
    EXPECT_EQ(sim.nextLine(), "command result=peer-closed (incomplete command frame)");
    EXPECT_EQ(sim.stop(), 0);
}

}  // namespace
}  // namespace tovu
