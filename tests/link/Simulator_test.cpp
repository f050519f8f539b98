// The simulator checks what a careful receiver would, and stops cleanly on a signal.
#include "PeerSocket.h"
#include "SimProcess.h"

#include "db/DbImage.h"
#include "link/StbLink.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>

namespace tovu {
namespace {

using test::loopback;
using test::SimProcess;

// One write of `length` bytes whose packets are changed by `tamper` before they are sent.
std::vector<uint8_t> writeTransfer(uint32_t length, const std::function<void(size_t, uint8_t*)>& tamper) {
    std::vector<uint8_t> wire(kCommandFrameSize, 0);
    wire[0] = kToReceiver;
    writeBe32(wire.data() + 1, kProviderListAddress);
    writeBe32(wire.data() + 5, length);
    const size_t count = packetCountFor(length);
    std::vector<uint8_t> data(length);
    for (size_t i = 0; i < length; ++i) data[i] = static_cast<uint8_t>(i);
    const uint32_t sum = byteSum(data.data(), data.size());
    for (size_t i = 0; i < count; ++i) {
        uint8_t packet[kPacketSize] = {};
        writeBe32(packet, length);
        writeBe32(packet + 4, sum);
        writeBe16(packet + 8, static_cast<uint16_t>(count));
        writeBe16(packet + 10, static_cast<uint16_t>(i));
        packet[12] = 0x04;
        const size_t chunk = std::min<size_t>(1024, length - i * 1024);
        std::memcpy(packet + 14, data.data() + i * 1024, chunk);
        tamper(i, packet);
        wire.insert(wire.end(), packet, packet + kPacketSize);
    }
    return wire;
}

void sendRaw(uint32_t address, const std::vector<uint8_t>& bytes) {
    const int s = StbLink::openConnection(address, kReceiverPort, 1000);
    ASSERT_GE(s, 0);
    EXPECT_EQ(StbLink::sendAll(s, bytes.data(), bytes.size(), 1000), 0);
    StbLink::closeSocket(s);
}

struct CheckCase {
    const char* name;
    uint8_t host;  // 127.10.4.host
    std::function<void(size_t, uint8_t*)> tamper;
    const char* verdict;  // the end of the simulator's line
};

class SimulatorChecks : public testing::TestWithParam<CheckCase> {};

TEST_P(SimulatorChecks, ReportEveryMismatch) {
    const CheckCase& c = GetParam();
    SimProcess sim(loopback(10, 4, c.host));
    ASSERT_TRUE(sim.listening());
    sendRaw(sim.address(), writeTransfer(2500, c.tamper));
    const std::string line = sim.nextLine();
    EXPECT_EQ(line.substr(0, 49), "write address=0x660000 length=2500 packets=3/3 ch") << line;
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

TEST(Simulator, StopsCleanlyInTheMiddleOfATransfer) {
    SimProcess sim(loopback(10, 4, 20), {"--stall"});
    ASSERT_TRUE(sim.listening());
    const int s = StbLink::openConnection(sim.address(), kReceiverPort, 1000);
    ASSERT_GE(s, 0);
    ASSERT_EQ(StbLink::sendCommand(s, kFromReceiver, kDbImageAddress, kDbImageLength), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    StbLink::closeSocket(s);
}

TEST(Simulator, RefusesStorageOutsideItsAreas) {
    SimProcess sim(loopback(10, 4, 21));
    ASSERT_TRUE(sim.listening());
    std::vector<uint8_t> buffer(1024);
    EXPECT_EQ(StbLink::transfer(sim.address(), kFromReceiver, buffer.data(), 0x6E0000, 1024), 0);
    EXPECT_NE(sim.nextLine().find("result=refused"), std::string::npos);
}

}  // namespace
}  // namespace tovu
