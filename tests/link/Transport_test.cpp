// The transport at the byte level: command frame, packets, receive window, waits and failures.
#include "PeerSocket.h"
#include "SimProcess.h"

#include "db/DbImage.h"
#include "link/StbLink.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <chrono>

namespace tovu {
namespace {

using namespace StbLink;
using test::FarWriter;
using test::loopback;
using test::makePacket;
using test::PacketSpec;
using test::SocketPair;

using Clock = std::chrono::steady_clock;
long long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::vector<uint8_t> concat(const std::vector<PacketSpec>& specs) {
    std::vector<uint8_t> all;
    for (const PacketSpec& s : specs) {
        const auto p = makePacket(s);
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

// ---- Sending ----

TEST(SendCommand, FrameHoldsDirectionAddressAndLengthBigEndian) {
    SocketPair pair;
    ASSERT_EQ(sendCommand(pair.near(), kFromReceiver, 0x006D0000, 0x1000), 1);
    pair.closeNear();
    const auto frame = test::readUntilClosed(pair.far());
    std::vector<uint8_t> expected(kCommandFrameSize, 0);
    expected[0] = 1;
    expected[1] = 0x00, expected[2] = 0x6D, expected[3] = 0x00, expected[4] = 0x00;
    expected[5] = 0x00, expected[6] = 0x00, expected[7] = 0x10, expected[8] = 0x00;
    EXPECT_EQ(frame, expected);
}

struct SendCase {
    const char* name;
    size_t length;
    size_t packets;
};

class SendData : public testing::TestWithParam<SendCase> {};

TEST_P(SendData, CutsNumberedZeroPaddedPackets) {
    const SendCase& c = GetParam();
    std::vector<uint8_t> data(c.length);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
    SocketPair pair;
    std::vector<uint8_t> wire;
    std::thread reader([&] { wire = test::readUntilClosed(pair.far()); });
    EXPECT_EQ(sendData(pair.near(), static_cast<int32_t>(c.length), data.data()), 1);
    pair.closeNear();
    reader.join();

    ASSERT_EQ(wire.size(), c.packets * kPacketSize);
    const uint32_t sum = byteSum(data.data(), data.size());
    for (size_t i = 0; i < c.packets; ++i) {
        const uint8_t* p = wire.data() + i * kPacketSize;
        EXPECT_EQ(readBe32(p + 0), c.length);
        EXPECT_EQ(readBe32(p + 4), sum);
        EXPECT_EQ(readBe16(p + 8), c.packets);
        EXPECT_EQ(readBe16(p + 10), i);
        EXPECT_EQ(p[12], 0x04);
        EXPECT_EQ(p[13], 0x00);
        for (size_t b = 0; b < kPacketPayloadSize; ++b) {
            const size_t at = i * kPacketPayloadSize + b;
            ASSERT_EQ(p[14 + b], at < data.size() ? data[at] : 0) << "packet " << i << " byte " << b;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, SendData,
                         testing::Values(SendCase{"Empty", 0, 0}, SendCase{"OneByte", 1, 1},
                                         SendCase{"OnePayload", 1024, 1}, SendCase{"OneMoreByte", 1025, 2},
                                         SendCase{"DatabaseArea", 0x40000, 256}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(SendData, ChecksumIsTheWrappingByteSumBigEndian) {
    const uint8_t data[] = {0x01, 0x02, 0xFF};
    SocketPair pair;
    ASSERT_EQ(sendData(pair.near(), 3, data), 1);
    pair.closeNear();
    const auto wire = test::readUntilClosed(pair.far());
    ASSERT_EQ(wire.size(), kPacketSize);
    EXPECT_EQ(std::vector<uint8_t>(wire.begin() + 4, wire.begin() + 8),
              (std::vector<uint8_t>{0x00, 0x00, 0x01, 0x02}));
}

TEST(SendData, RefusesLengthsThatCannotBeNumbered) {
    SocketPair pair;
    const uint8_t byte = 0;
    EXPECT_EQ(sendData(pair.near(), -1, &byte), 0);
    EXPECT_EQ(sendData(pair.near(), 65536 * 1024, &byte), 0);  // needs 65536 packets
    EXPECT_EQ(sendData(pair.near(), 10, nullptr), 0);
    pair.closeNear();
    EXPECT_TRUE(test::readUntilClosed(pair.far()).empty());
}

TEST(SendData, PeerThatClosesFailsTheSendWithoutASignal) {
    SocketPair pair;
    pair.closeFar();
    std::vector<uint8_t> data(4096, 1);
    EXPECT_EQ(sendData(pair.near(), 4096, data.data(), 200), 0);  // still running: no SIGPIPE
}

// ---- Receiving ----

struct ReceiveCase {
    const char* name;
    std::vector<PacketSpec> packets;
    size_t capacityPackets;
    int result;
};

class ReceiveData : public testing::TestWithParam<ReceiveCase> {};

TEST_P(ReceiveData, StoresEachIndexOnceAndOnlyInsideItsBuffers) {
    const ReceiveCase& c = GetParam();
    SocketPair pair;
    // The caller's buffer is exactly as large as asked, so the sanitizers see any overrun.
    std::vector<uint8_t> buffer(c.capacityPackets * kPacketPayloadSize, 0);
    FarWriter writer(pair, concat(c.packets));
    EXPECT_EQ(receiveData(pair.near(), buffer.data(), buffer.size(), 2000), c.result);
    writer.finish();
    if (c.result != 1) return;
    std::vector<uint8_t> expected(buffer.size(), 0);
    std::vector<bool> seen(c.capacityPackets, false);
    for (const PacketSpec& p : c.packets) {
        if (seen[p.index]) continue;
        seen[p.index] = true;
        std::fill_n(expected.begin() + p.index * kPacketPayloadSize, kPacketPayloadSize, p.fill);
    }
    EXPECT_EQ(buffer, expected);
}

std::vector<PacketSpec> shrinkingCount() {
    // 255 packets announce 256, then one announces 1: the count must not open a way past the buffer.
    std::vector<PacketSpec> specs;
    for (uint16_t i = 1; i < 256; ++i) specs.push_back({256, i, static_cast<uint8_t>(i)});
    specs.push_back({1, 0, 0xAA});
    specs.push_back({300, 299, 0xBB});
    return specs;
}

INSTANTIATE_TEST_SUITE_P(
    Packets, ReceiveData,
    testing::Values(ReceiveCase{"InOrder", {{3, 0, 1}, {3, 1, 2}, {3, 2, 3}}, 3, 1},
                    ReceiveCase{"RepeatIsNeitherStoredNorCounted", {{2, 0, 1}, {2, 0, 9}, {2, 1, 2}}, 2, 1},
                    ReceiveCase{"OutOfOrderInsideOneWindow", {{3, 2, 3}, {3, 0, 1}, {3, 1, 2}}, 3, 1},
                    ReceiveCase{"SmallerThanTheBuffer", {{1, 0, 7}}, 4, 1},
                    ReceiveCase{"IndexNotBelowCount", {{2, 0, 1}, {2, 2, 2}}, 2, 0},
                    ReceiveCase{"ZeroCount", {{0, 0, 1}}, 2, 0},
                    ReceiveCase{"CountBeyondTheBuffer", {{5, 0, 1}}, 4, 0},
                    ReceiveCase{"IndexBeyondTheFlagTable", {{9000, 8192, 1}}, 9000, 0},
                    ReceiveCase{"ShrinkingCount", shrinkingCount(), 256, 0},
                    ReceiveCase{"PeerClosesBeforeTheLastPacket", {{3, 0, 1}, {3, 1, 2}}, 3, 0}),
    [](const auto& row) { return std::string(row.param.name); });

std::vector<PacketSpec> numbered(uint16_t count, uint16_t sent) {
    std::vector<PacketSpec> specs;
    for (uint16_t i = 0; i < sent; ++i) specs.push_back({count, i, static_cast<uint8_t>(i * 13 + 1)});
    return specs;
}

struct WindowCase {
    const char* name;
    uint16_t count;
    uint16_t sent;          // packets sent before the peer closes
    size_t deliveredBytes;  // bytes of the buffer that must hold data afterwards
    int result;
};

class ReceiveWindow : public testing::TestWithParam<WindowCase> {};

TEST_P(ReceiveWindow, DeliversWholeWindowsThenTheRest) {
    const WindowCase& c = GetParam();
    SocketPair pair;
    std::vector<uint8_t> buffer(size_t{c.count} * kPacketPayloadSize, 0);
    const auto specs = numbered(c.count, c.sent);
    FarWriter writer(pair, concat(specs));
    EXPECT_EQ(receiveData(pair.near(), buffer.data(), buffer.size(), 2000), c.result);
    writer.finish();
    for (size_t i = 0; i < c.count; ++i) {
        const uint8_t want = i * kPacketPayloadSize < c.deliveredBytes ? specs[i].fill : 0;
        ASSERT_EQ(buffer[i * kPacketPayloadSize], want) << "packet " << i;
        ASSERT_EQ(buffer[i * kPacketPayloadSize + 1023], want) << "packet " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, ReceiveWindow,
                         testing::Values(WindowCase{"Exactly256", 256, 256, 262144, 1},
                                         WindowCase{"NothingBeforeThe256th", 256, 255, 0, 0},
                                         WindowCase{"Of300", 300, 300, 300 * 1024, 1},
                                         WindowCase{"FirstWindowAfter256Of300", 300, 256, 262144, 0},
                                         WindowCase{"TwoWindowsAndMore", 600, 600, 600 * 1024, 1}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(ReceiveData, SilentPeerTimesOut) {
    SocketPair pair;
    std::vector<uint8_t> buffer(1024);
    const auto start = Clock::now();
    EXPECT_EQ(receiveData(pair.near(), buffer.data(), buffer.size(), 100), 0);
    EXPECT_LT(msSince(start), 2000);
}

// ---- Waiting and exact moves ----

TEST(WaitReady, ModesAndTimeOut) {
    SocketPair pair;
    EXPECT_EQ(waitReady(pair.near(), 2, 10), -1);
    EXPECT_EQ(waitReady(pair.near(), 1, 10), 0);
    EXPECT_EQ(waitReady(pair.near(), 0, 20), -2);
    const uint8_t byte = 5;
    ASSERT_EQ(write(pair.far(), &byte, 1), 1);
    EXPECT_EQ(waitReady(pair.near(), 0, 20), 0);
    EXPECT_EQ(waitReady(-1, 0, 20), -1);
}

TEST(WaitReady, WorksForSocketNumbersAbove1023) {
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
    EXPECT_EQ(waitReady(high, 0, 20), 0);
    uint8_t got = 0;
    EXPECT_EQ(receiveAll(high, &got, 1, 100), 0);
    EXPECT_EQ(got, 5);
    close(high);
    setrlimit(RLIMIT_NOFILE, &saved);
}

TEST(ReceiveAll, ExactCountZeroCountClosedPeerAndTimeOut) {
    SocketPair pair;
    uint8_t bytes[8] = {};
    EXPECT_EQ(receiveAll(pair.near(), bytes, 0, 10), -1);
    EXPECT_EQ(receiveAll(pair.near(), bytes, 4, 20), -2);
    const uint8_t four[] = {1, 2, 3, 4};
    ASSERT_EQ(write(pair.far(), four, 2), 2);
    std::thread later([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        (void)!write(pair.far(), four + 2, 2);
    });
    EXPECT_EQ(receiveAll(pair.near(), bytes, 4, 1000), 0);
    later.join();
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), std::vector<uint8_t>(four, four + 4));
    pair.closeFar();
    EXPECT_EQ(receiveAll(pair.near(), bytes, 4, 100), -1);
}

TEST(SendAll, PeerThatStopsReadingTimesOut) {
    SocketPair pair;
    std::vector<uint8_t> lots(8 * 1024 * 1024, 1);
    const auto start = Clock::now();
    EXPECT_EQ(sendAll(pair.near(), lots.data(), lots.size(), 100), -2);
    EXPECT_LT(msSince(start), 3000);
}

// ---- Connections ----

TEST(OpenConnection, NothingListeningFailsAtOnce) {
    const auto start = Clock::now();
    EXPECT_EQ(openConnection(loopback(11, 0, 1), kReceiverPort, 1000), -1);
    EXPECT_LT(msSince(start), 1000);
}

TEST(OpenConnection, UnansweredConnectGivesUpAfterItsTimeOut) {
    // A listener that never accepts and whose queue is full leaves further connects unanswered.
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(kReceiverPort);
    local.sin_addr.s_addr = htonl(loopback(11, 0, 2));
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&local), sizeof local), 0);
    ASSERT_EQ(listen(listener, 0), 0);
    std::vector<int> queued;
    int timedOut = 0;
    long long waited = 0;
    for (int i = 0; i < 8 && timedOut == 0; ++i) {
        const auto start = Clock::now();
        const int s = openConnection(loopback(11, 0, 2), kReceiverPort, 200);
        if (s >= 0) {
            queued.push_back(s);
        } else {
            timedOut = 1;
            waited = msSince(start);
        }
    }
    for (int s : queued) closeSocket(s);
    close(listener);
    ASSERT_EQ(timedOut, 1) << "the connect queue never filled";
    EXPECT_GE(waited, 150);
    EXPECT_LT(waited, 2000);
}

TEST(Transfer, UnknownDirectionSendsTheCommandAndFails) {
    test::RecordingListener peer(loopback(11, 0, 3));
    ASSERT_TRUE(peer.ready());
    uint8_t buffer[1024] = {};
    EXPECT_EQ(transfer(loopback(11, 0, 3), 2, buffer, 0x6A0000, 1024), 0);
    const auto wire = peer.received();
    ASSERT_EQ(wire.size(), kCommandFrameSize);
    EXPECT_EQ(wire[0], 2);
}

TEST(Transfer, EmptySendIsTheCommandAlone) {
    test::RecordingListener peer(loopback(11, 0, 4));
    ASSERT_TRUE(peer.ready());
    EXPECT_EQ(transfer(loopback(11, 0, 4), kToReceiver, nullptr, 0x660000, 0), 1);
    const auto wire = peer.received();
    ASSERT_EQ(wire.size(), kCommandFrameSize);
    EXPECT_EQ(readBe32(wire.data() + 5), 0u);
}

TEST(Transfer, NobodyListening) {
    uint8_t buffer[1024];
    EXPECT_EQ(transfer(loopback(11, 0, 5), kFromReceiver, buffer, 0x6A0000, 1024), 0);
}

}  // namespace
}  // namespace tovu
