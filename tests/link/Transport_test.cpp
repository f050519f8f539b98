// The transport at the byte level: command frame, packets, receive window, waits and failures.
#include "LinkSupport.h"

#include "db/DbImage.h"
#include "link/StbLink.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <chrono>
#include <numeric>

namespace tovu {
namespace {

using namespace StbLink;
using test::loopback;
using test::PacketSpec;
using test::readUntilClosed;
using test::SocketPair;

using Clock = std::chrono::steady_clock;
long long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

auto rowName = [](const auto& row) { return std::string(row.param.name); };

std::vector<uint8_t> pattern(size_t length) {
    std::vector<uint8_t> data(length);
    for (size_t i = 0; i < length; ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
    return data;
}

struct SendCase {
    const char* name;
    std::vector<uint8_t> data;
    size_t packets;
};

class SendData : public testing::TestWithParam<SendCase> {};

TEST_P(SendData, CutsNumberedZeroPaddedPackets) {
    const SendCase& c = GetParam();
    SocketPair pair;
    std::vector<uint8_t> wire;
    std::thread reader([&] { wire = readUntilClosed(pair.far()); });
    EXPECT_EQ(sendData(pair.near(), static_cast<int32_t>(c.data.size()), c.data.data()), 1);
    pair.closeNear();
    reader.join();

    ASSERT_EQ(wire.size(), c.packets * kPacketSize);
    const uint32_t sum = std::accumulate(c.data.begin(), c.data.end(), uint32_t{0});
    for (size_t i = 0; i < c.packets; ++i) {
        const uint8_t* p = wire.data() + i * kPacketSize;
        EXPECT_EQ(readBe32(p + 0), c.data.size());
        EXPECT_EQ(readBe32(p + 4), sum);
        EXPECT_EQ(readBe16(p + 8), c.packets);
        EXPECT_EQ(readBe16(p + 10), i);
        EXPECT_EQ(p[12], 0x04);
        EXPECT_EQ(p[13], 0x00);
        for (size_t b = 0, at = i * kPacketPayloadSize; b < kPacketPayloadSize; ++b, ++at)
            ASSERT_EQ(p[14 + b], at < c.data.size() ? c.data[at] : 0) << "packet " << i << " byte " << b;
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, SendData,
                         testing::Values(SendCase{"Empty", {}, 0},
                                         SendCase{"ChecksumOf01_02_FF", {1, 2, 0xFF}, 1},
                                         SendCase{"OnePayload", pattern(1024), 1},
                                         SendCase{"OneMoreByte", pattern(1025), 2},
                                         SendCase{"DatabaseArea", pattern(0x40000), 256}),
                         rowName);

TEST(SendData, RefusesWhatCannotBeNumberedAndSurvivesAPeerThatCloses) {
    SocketPair pair;
    const uint8_t byte = 0;
    EXPECT_EQ(sendData(pair.near(), -1, &byte), 0);
    EXPECT_EQ(sendData(pair.near(), 65536 * 1024, &byte), 0);  // needs 65536 packets
    EXPECT_EQ(sendData(pair.near(), 10, nullptr), 0);
    pair.closeFar();
    std::vector<uint8_t> data(4096, 1);
    EXPECT_EQ(sendData(pair.near(), 4096, data.data(), 200), 0);  // still running: no SIGPIPE
}

// Received packets go into a buffer exactly as large as asked, so the sanitizers see any overrun.
struct ReceiveCase {
    const char* name;
    std::vector<PacketSpec> packets;  // sent before the peer closes
    size_t capacityPackets;
    int result;
    size_t delivered;  // bytes of the buffer that then hold their packets; the rest stays zero
};

class ReceiveData : public testing::TestWithParam<ReceiveCase> {};

TEST_P(ReceiveData, StoresEachIndexOnceAndOnlyInsideItsBuffers) {
    const ReceiveCase& c = GetParam();
    SocketPair pair;
    std::vector<uint8_t> buffer(c.capacityPackets * kPacketPayloadSize, 0);
    pair.feed(test::packetBytes(c.packets));
    EXPECT_EQ(receiveData(pair.near(), buffer.data(), buffer.size(), 2000), c.result);
    std::vector<uint8_t> expected(buffer.size(), 0);
    std::vector<bool> seen(c.capacityPackets, false);
    for (const PacketSpec& p : c.packets) {
        if (p.index >= c.capacityPackets || seen[p.index]) continue;
        seen[p.index] = true;
        if (p.index * kPacketPayloadSize < c.delivered)
            std::fill_n(expected.begin() + p.index * kPacketPayloadSize, kPacketPayloadSize, p.fill);
    }
    EXPECT_EQ(buffer, expected);
}

// Packets 0..sent-1 of `count`; a packet and the one a window away have different fills.
std::vector<PacketSpec> numbered(uint16_t count, uint16_t sent) {
    std::vector<PacketSpec> specs;
    for (uint16_t i = 0; i < sent; ++i) specs.push_back({count, i, static_cast<uint8_t>(i % 251 + 1)});
    return specs;
}

constexpr size_t kAll = SIZE_MAX;

INSTANTIATE_TEST_SUITE_P(
    Packets, ReceiveData,
    testing::Values(ReceiveCase{"InOrder", {{3, 0, 1}, {3, 1, 2}, {3, 2, 3}}, 3, 1, kAll},
                    ReceiveCase{
                        "RepeatIsNeitherStoredNorCounted", {{2, 0, 1}, {2, 0, 9}, {2, 1, 2}}, 2, 1, kAll},
                    ReceiveCase{"OutOfOrderInsideOneWindow", {{3, 2, 3}, {3, 0, 1}, {3, 1, 2}}, 3, 1, kAll},
                    ReceiveCase{"FewerPacketsThanAsked", {{1, 0, 7}}, 4, 0, 0},
                    ReceiveCase{"IndexNotBelowCount", {{2, 0, 1}, {2, 2, 2}}, 2, 0, 0},
                    ReceiveCase{"ZeroCount", {{0, 0, 1}}, 2, 0, 0},
                    ReceiveCase{"CountBeyondTheBuffer", {{2, 0, 1}, {2, 1, 2}}, 1, 0, 0},
                    ReceiveCase{"IndexBeyondTheFlagTable", {{9000, 8192, 1}}, 9000, 0, 0},
                    ReceiveCase{"PeerClosesBeforeTheLastPacket", {{3, 0, 1}, {3, 1, 2}}, 3, 0, 0},
                    ReceiveCase{"Window256DeliveredAtTheEnd", numbered(256, 256), 256, 1, kAll},
                    ReceiveCase{"Window256NothingEarlier", numbered(256, 255), 256, 0, 0},
                    ReceiveCase{"Window300", numbered(300, 300), 300, 1, kAll},
                    ReceiveCase{"Window300FirstAfterThe256th", numbered(300, 256), 300, 0, 262144},
                    ReceiveCase{"TwoWindowsAndMore", numbered(600, 600), 600, 1, kAll}),
    rowName);

TEST(Waits, ModesTimeOutsAndExactCounts) {
    SocketPair pair;
    EXPECT_EQ(waitReady(pair.near(), 2, 10), -1);
    EXPECT_EQ(waitReady(-1, 0, 10), -1);
    EXPECT_EQ(waitReady(pair.near(), 1, 10), 0);
    EXPECT_EQ(waitReady(pair.near(), 0, 20), -2);
    uint8_t bytes[4] = {};
    EXPECT_EQ(receiveAll(pair.near(), bytes, 0, 10), -1);
    EXPECT_EQ(receiveAll(pair.near(), bytes, 4, 20), -2);

    const uint8_t four[] = {1, 2, 3, 4};
    ASSERT_EQ(write(pair.far(), four, 2), 2);
    EXPECT_EQ(waitReady(pair.near(), 0, 20), 0);
    std::thread later([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        (void)!write(pair.far(), four + 2, 2);
    });
    EXPECT_EQ(receiveAll(pair.near(), bytes, 4, 1000), 0);  // the rest arrives later
    later.join();
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), std::vector<uint8_t>(four, four + 4));
    pair.closeFar();
    EXPECT_EQ(receiveAll(pair.near(), bytes, 4, 100), -1);

    SocketPair silent;  // a peer that neither reads nor writes
    std::vector<uint8_t> lots(8 * 1024 * 1024, 1);
    const auto start = Clock::now();
    EXPECT_EQ(sendAll(silent.near(), lots.data(), lots.size(), 100), -2);
    EXPECT_EQ(receiveData(silent.near(), lots.data(), 1024, 100), 0);
    EXPECT_LT(msSince(start), 3000);
}

TEST(Waits, WorkForSocketNumbersAbove1023) {
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    if (limit.rlim_max < 1600) GTEST_SKIP() << "descriptor limit too low";
    const rlimit saved = limit;
    limit.rlim_cur = std::max<rlim_t>(limit.rlim_cur, 1600);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
    SocketPair pair;
    const int high = dup2(pair.near(), 1500);
    ASSERT_EQ(high, 1500);
    EXPECT_EQ(waitReady(high, 0, 20), -2);
    const uint8_t byte = 5;
    ASSERT_EQ(write(pair.far(), &byte, 1), 1);
    uint8_t got = 0;
    EXPECT_EQ(receiveAll(high, &got, 1, 100), 0);
    EXPECT_EQ(got, 5);
    close(high);
    setrlimit(RLIMIT_NOFILE, &saved);
}

TEST(OpenConnection, FailsAtOnceWhenRefusedAndAfterItsTimeOutWhenUnanswered) {
    auto start = Clock::now();
    EXPECT_EQ(openConnection(loopback(11, 0, 1), kReceiverPort, 1000), -1);
    EXPECT_LT(msSince(start), 1000);
    uint8_t buffer[1024];
    EXPECT_EQ(transfer(loopback(11, 0, 1), kFromReceiver, buffer, 0x6A0000, 1024), 0);

    // A listener that never accepts and whose queue is full leaves further connects unanswered.
    const int listener = test::listenOn(loopback(11, 0, 2), 0);
    ASSERT_GE(listener, 0);
    std::vector<int> queued;
    long long waited = -1;
    for (int i = 0; i < 8 && waited < 0; ++i) {
        start = Clock::now();
        const int s = openConnection(loopback(11, 0, 2), kReceiverPort, 200);
        if (s >= 0) queued.push_back(s);
        if (s < 0) waited = msSince(start);
    }
    for (int s : queued) closeSocket(s);
    close(listener);
    ASSERT_GE(waited, 0) << "the connect queue never filled";
    EXPECT_GE(waited, 150);
    EXPECT_LT(waited, 2000);
}

TEST(Transfer, SendsTheCommandFrameThenNothingForAnEmptySendOrAnUnknownDirection) {
    const int listener = test::listenOn(loopback(11, 0, 3), 4);
    ASSERT_GE(listener, 0);
    EXPECT_EQ(transfer(loopback(11, 0, 3), kToReceiver, nullptr, 0x660000, 0), 1);
    uint8_t buffer[0x1000] = {};
    EXPECT_EQ(transfer(loopback(11, 0, 3), 2, buffer, 0x6D0000, 0x1000), 0);
    // Direction, then address and length big-endian, then zeros.
    for (std::vector<uint8_t> frame :
         {std::vector<uint8_t>{0x00, 0x00, 0x66, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
          std::vector<uint8_t>{0x02, 0x00, 0x6D, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00}}) {
        frame.resize(kCommandFrameSize, 0);
        const int connection = accept(listener, nullptr, nullptr);
        ASSERT_GE(connection, 0);
        EXPECT_EQ(readUntilClosed(connection), frame);
        close(connection);
    }
    close(listener);
}

}  // namespace
}  // namespace tovu
