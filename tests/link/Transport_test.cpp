// The transport at the byte level: what goes on the wire, and how received packets are counted
// and stored.
#include "LinkSupport.h"

#include "db/DbImage.h"
#include "link/StbLink.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <algorithm>
#include <numeric>

namespace tovu {
namespace {

using namespace StbLink;

TEST(Wire, CommandFrameThenNumberedZeroPaddedPackets) {
    test::SocketPair pair;
    std::vector<uint8_t> data(1025);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
    ASSERT_EQ(sendCommand(pair.near(), kToReceiver, 0x660000, 1025), 1);
    ASSERT_EQ(sendData(pair.near(), 1025, data.data()), 1);
    pair.closeNear();
    const auto wire = test::readUntilClosed(pair.far());
    ASSERT_EQ(wire.size(), 64u + 2 * 1038);
    // Direction, then address and length big-endian, then zeros.
    std::vector<uint8_t> frame = {0x00, 0x00, 0x66, 0x00, 0x00, 0x00, 0x00, 0x04, 0x01};
    frame.resize(64, 0);
    EXPECT_EQ(std::vector<uint8_t>(wire.begin(), wire.begin() + 64), frame);
    const uint32_t sum = std::accumulate(data.begin(), data.end(), uint32_t{0});
    std::vector<uint8_t> padded = data;
    padded.resize(2048, 0);
    for (size_t i = 0; i < 2; ++i) {
        // Length, byte sum, count and index, big-endian, then the marker 04 00 and the payload.
        const uint8_t* p = wire.data() + 64 + i * 1038;
        EXPECT_EQ(readBe32(p), 1025u);
        EXPECT_EQ(readBe32(p + 4), sum);
        EXPECT_EQ(readBe16(p + 8), 2u);
        EXPECT_EQ(readBe16(p + 10), i);
        EXPECT_EQ(readBe16(p + 12), 0x0400);
        EXPECT_TRUE(std::equal(p + 14, p + 1038, padded.begin() + i * 1024)) << "packet " << i;
    }
}

TEST(Wire, SendRefusesWhatCannotBeNumberedAndSurvivesAPeerThatCloses) {
    test::SocketPair pair;
    const uint8_t byte = 0;
    EXPECT_EQ(sendData(pair.near(), -1, &byte), 0);
    EXPECT_EQ(sendData(pair.near(), 65536 * 1024, &byte), 0);  // needs 65536 packets
    EXPECT_EQ(sendData(pair.near(), 10, nullptr), 0);
    shutdown(pair.far(), SHUT_RDWR);
    std::vector<uint8_t> data(4096, 1);
    EXPECT_EQ(sendData(pair.near(), 4096, data.data(), 200), 0);  // still running: no SIGPIPE
}

// Received packets: count and index; the length field says count whole packets and the payload
// is one fill byte.
struct SentPacket {
    uint16_t count;
    uint16_t index;
    uint8_t fill;
};

std::vector<uint8_t> packetBytes(const std::vector<SentPacket>& sent) {
    std::vector<uint8_t> all;
    for (const SentPacket& s : sent) {
        std::vector<uint8_t> packet(kPacketSize, s.fill);
        std::fill_n(packet.begin(), kPacketHeaderSize, 0);
        writeBe32(packet.data() + kPacketLengthOffset, s.count * uint32_t{kPacketPayloadSize});
        writeBe16(packet.data() + kPacketCountOffset, s.count);
        writeBe16(packet.data() + kPacketIndexOffset, s.index);
        all.insert(all.end(), packet.begin(), packet.end());
    }
    return all;
}

// Packets 0..count-1; a packet and the one a window away have different fills.
std::vector<SentPacket> numbered(uint16_t count) {
    std::vector<SentPacket> sent;
    for (uint16_t i = 0; i < count; ++i) sent.push_back({count, i, static_cast<uint8_t>(i % 251 + 1)});
    return sent;
}

// Packet 256 (the next window's first) before packet 255 has filled the first window.
std::vector<SentPacket> aheadOfItsWindow() {
    std::vector<SentPacket> sent = numbered(300);
    std::swap(sent[255], sent[256]);
    return sent;
}

struct ReceiveCase {
    const char* name;
    std::vector<SentPacket> packets;  // sent before the peer closes
    size_t askedPackets;              // the buffer holds exactly these
    int result;
};

void PrintTo(const ReceiveCase& row, std::ostream* out) { *out << row.name; }

class ReceiveData : public testing::TestWithParam<ReceiveCase> {};

TEST_P(ReceiveData, StoresEachIndexOnceAndOnlyTheAskedTransfer) {
    const ReceiveCase& c = GetParam();
    test::SocketPair pair;
    std::vector<uint8_t> buffer(c.askedPackets * kPacketPayloadSize, 0);
    pair.feed(packetBytes(c.packets));
    ASSERT_EQ(receiveData(pair.near(), buffer.data(), buffer.size(), 2000), c.result);
    if (c.result != 1) return;
    std::vector<uint8_t> expected(buffer.size(), 0);
    std::vector<bool> seen(c.askedPackets, false);
    for (const SentPacket& p : c.packets) {
        if (!seen[p.index])
            std::fill_n(expected.begin() + p.index * kPacketPayloadSize, kPacketPayloadSize, p.fill);
        seen[p.index] = true;
    }
    EXPECT_EQ(buffer, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Packets, ReceiveData,
    testing::Values(ReceiveCase{"RepeatIsNeitherStoredNorCounted", {{2, 0, 1}, {2, 0, 9}, {2, 1, 2}}, 2, 1},
                    ReceiveCase{"OutOfOrder", {{3, 2, 3}, {3, 0, 1}, {3, 1, 2}}, 3, 1},
                    ReceiveCase{"IndexNotBelowCount", {{2, 0, 1}, {2, 2, 2}}, 2, 0},
                    ReceiveCase{"CountNotTheAskedOne", {{2, 0, 1}, {2, 1, 2}}, 1, 0},
                    ReceiveCase{"MoreThanTheFlagTableHolds", {{9000, 8192, 1}}, 9000, 0},
                    ReceiveCase{"OneWindow", numbered(256), 256, 1},
                    ReceiveCase{"AWindowAndMore", numbered(300), 300, 1},
                    ReceiveCase{"TwoWindowsAndMore", numbered(600), 600, 1},
                    ReceiveCase{"AWindowAhead", aheadOfItsWindow(), 300, 0}),
    [](const auto& row) { return std::string(row.param.name); });

// Waiting goes through poll, which has no limit on socket numbers.
TEST(Waits, WorkForSocketNumbersAbove1023) {
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    if (limit.rlim_max < 1600) GTEST_SKIP() << "descriptor limit too low";
    const rlimit saved = limit;
    limit.rlim_cur = std::max<rlim_t>(limit.rlim_cur, 1600);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
    test::SocketPair pair;
    const int high = dup2(pair.near(), 1500);
    ASSERT_EQ(high, 1500);
    const uint8_t byte = 5;
    ASSERT_EQ(write(pair.far(), &byte, 1), 1);
    uint8_t got = 0;
    EXPECT_EQ(receiveAll(high, &got, 1, 1000), 0);
    EXPECT_EQ(got, 5);
    close(high);
    setrlimit(RLIMIT_NOFILE, &saved);
}

}  // namespace
}  // namespace tovu
