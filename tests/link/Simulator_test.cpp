// The simulator checks what a careful receiver would before it stores a write.
#include "LinkSupport.h"

#include "link/StbLink.h"

#include <gtest/gtest.h>

#include <functional>

namespace tovu {
namespace {

struct CheckCase {
    const char* name;
    uint8_t host;                                  // 127.10.4.host
    std::function<void(size_t, uint8_t*)> tamper;  // changes packet i before it is sent
    const char* verdict;                           // the end of the simulator's line
};

void PrintTo(const CheckCase& row, std::ostream* out) { *out << row.name; }

class SimulatorChecks : public testing::TestWithParam<CheckCase> {};

TEST_P(SimulatorChecks, ReportEveryMismatch) {
    const CheckCase& c = GetParam();
    test::SimProcess sim(test::loopback(10, 4, c.host));
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
    testing::Values(CheckCase{"Sound", 1, [](size_t, uint8_t*) {}, "checksum=ok result=stored"},
                    CheckCase{"PayloadChanged", 2, [](size_t i, uint8_t* p) { p[20] ^= i == 1; },
                              "checksum=bad result=rejected"},
                    CheckCase{"LengthField", 3, [](size_t i, uint8_t* p) { p[3] ^= i == 2; },
                              "result=rejected length-mismatch@2"},
                    CheckCase{"IndexOutOfOrder", 5,
                              [](size_t i, uint8_t* p) { p[11] = static_cast<uint8_t>(2 - i); },
                              "index-mismatch@0"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu
