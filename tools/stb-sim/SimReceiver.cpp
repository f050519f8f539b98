#include "SimReceiver.h"

#include "SimIo.h"

#include "db/DbFileFormat.h"
#include "db/DbStore.h"
#include "link/Protocol.h"

#include <sys/socket.h>
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace stbsim {
namespace {

using namespace tovu;

constexpr int kSlowPauseMs = 1000;   // between two bytes of a slow read or write
constexpr int kRepeatPauseMs = 100;  // between two copies of a repeated first packet

uint32_t be32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}
uint16_t be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
void putBe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}
void putBe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

uint32_t sumBytes(const uint8_t* data, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i < size; ++i) sum += data[i];
    return sum;
}

bool inStorage(uint32_t address, uint32_t length) {
    return address >= kStorageBase && uint64_t{address} + length <= uint64_t{kStorageBase} + kStorageSize;
}

bool touchesDatabaseArea(uint32_t address, uint32_t length) {
    return length > 0 && uint64_t{address} + length > kDbImageAddress &&
           address < uint64_t{kDbImageAddress} + kDbImageLength;
}

const char* ioText(IoResult r) {
    switch (r) {
        case IoResult::Done: return "done";
        case IoResult::Closed: return "peer-closed";
        case IoResult::TimedOut: return "timed-out";
        case IoResult::Stopped: return "stopped";
    }
    return "?";
}

std::string describe(const char* direction, uint32_t address, uint32_t length, uint64_t packets,
                     uint64_t count) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "%s address=0x%06" PRIX32 " length=%" PRIu32 " packets=%" PRIu64 "/%" PRIu64, direction,
                  address, length, packets, count);
    return text;
}

bool closeNow(const Options& options, uint64_t packets) {
    return options.closeAfter >= 0 && packets >= static_cast<uint64_t>(options.closeAfter);
}

// Ends a connection early: the result to report. The caller closes the socket.
const char* endEarly(const Connection& c, const Options& options) {
    if (!options.reset) return "closed-early";
    const linger reset{1, 0};
    (void)setsockopt(c.fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    return "reset";
}

// What a read of the storage sees: the stored bytes, with the bytes of writes that are still
// lagging put back as they were before them (the oldest write's last, so it wins).
std::vector<uint8_t> visibleBytes(Receiver& receiver, uint32_t address, uint32_t length) {
    const auto now = Clock::now();
    std::erase_if(receiver.lagging, [now](const LaggingWrite& w) { return w.until <= now; });
    const auto first = receiver.storage.begin() + (address - kStorageBase);
    std::vector<uint8_t> bytes(first, first + length);
    for (auto w = receiver.lagging.rbegin(); w != receiver.lagging.rend(); ++w) {
        const uint64_t from = std::max<uint64_t>(address, w->address);
        const uint64_t to = std::min<uint64_t>(uint64_t{address} + length, w->address + w->before.size());
        if (from < to)
            std::memcpy(bytes.data() + (from - address), w->before.data() + (from - w->address), to - from);
    }
    return bytes;
}

std::string serveRead(Receiver& receiver, const Connection& c, uint32_t address, uint32_t length) {
    const Options& o = receiver.options;
    const uint32_t answered = o.answerLength >= 0 ? static_cast<uint32_t>(o.answerLength) : length;
    const uint64_t count = packetCountFor(answered);
    if (!inStorage(address, answered) || count > 0xFFFF)
        return describe("read", address, length, 0, count) + " result=refused (outside storage)";
    if (o.refuseReadsAfterWrite && receiver.written)
        return describe("read", address, length, 0, count) + " result=refused (read after write)";
    const uint32_t lengthField = o.lengthField >= 0 ? static_cast<uint32_t>(o.lengthField) : answered;
    const std::vector<uint8_t> visible = visibleBytes(receiver, address, answered);
    const uint8_t* data = visible.data();
    const uint32_t checksum = sumBytes(data, answered);
    uint8_t packet[kPacketSize];
    uint64_t sent = 0;
    auto ended = [&](const char* result) {
        return describe("read", address, length, sent, count) + " result=" + result;
    };
    for (uint64_t index = 0; index < count; ++index) {
        const size_t offset = index * kPacketPayloadSize;
        const size_t chunk = std::min<size_t>(kPacketPayloadSize, answered - offset);
        putBe32(packet + kPacketLengthOffset, lengthField);
        putBe32(packet + kPacketChecksumOffset, checksum);
        putBe16(packet + kPacketCountOffset, static_cast<uint16_t>(count));
        const bool beyond = o.badIndex && index == 0;
        putBe16(packet + kPacketIndexOffset, static_cast<uint16_t>(beyond ? count : index));
        packet[kPacketMarkerOffset] = kPacketMarker0;
        packet[kPacketMarkerOffset + 1] = kPacketMarker1;
        std::memcpy(packet + kPacketHeaderSize, data + offset, chunk);
        std::memset(packet + kPacketHeaderSize + chunk, 0, kPacketPayloadSize - chunk);
        // A repeated first packet goes out until the peer gives up.
        for (int copy = 0; copy < (o.duplicate ? 2 : 1) || o.repeatFirst; ++copy) {
            if (copy > 0 && o.repeatFirst)
                if (const IoResult r = pause(c, kRepeatPauseMs); r != IoResult::Done) return ended(ioText(r));
            if (closeNow(o, sent)) return ended(endEarly(c, o));
            const IoResult r = writeExact(c, packet, kPacketSize, o.slowRead ? kSlowPauseMs : 0);
            if (r != IoResult::Done) return ended(ioText(r));
            ++sent;
        }
    }
    char tail[64];
    std::snprintf(tail, sizeof tail, " checksum=0x%08" PRIX32 " result=sent", checksum);
    return describe("read", address, length, sent, count) + tail;
}

std::string serveWrite(Receiver& receiver, const Connection& c, uint32_t address, uint32_t length) {
    const Options& o = receiver.options;
    const uint64_t count = packetCountFor(length);
    if (!inStorage(address, length) || count > 0xFFFF)
        return describe("write", address, length, 0, count) + " result=refused (outside storage)";
    if (o.ignoreWrite)
        return describe("write", address, length, 0, count) + " result=ignored " + ioText(waitUntilGone(c));
    // Packets are staged and stored only when the whole transfer checked out.
    std::vector<uint8_t> staged(count * kPacketPayloadSize, 0);
    std::string problems;
    auto note = [&problems](const char* what, uint64_t index) {
        if (problems.find(what) != std::string::npos) return;
        problems += " ";
        problems += what;
        problems += '@';
        problems += std::to_string(index);
    };
    uint32_t announcedSum = 0;
    uint8_t packet[kPacketSize];
    uint64_t received = 0;
    for (uint64_t expected = 0; expected < count; ++expected) {
        if (closeNow(o, received))
            return describe("write", address, length, received, count) + " result=" + endEarly(c, o);
        const IoResult r = readExact(c, packet, kPacketSize, o.slowWrite ? kSlowPauseMs : 0);
        if (r != IoResult::Done)
            return describe("write", address, length, received, count) + " result=" + ioText(r);
        ++received;
        if (be32(packet + kPacketLengthOffset) != length) note("length-mismatch", expected);
        if (be16(packet + kPacketCountOffset) != count) note("count-mismatch", expected);
        if (packet[kPacketMarkerOffset] != kPacketMarker0 ||
            packet[kPacketMarkerOffset + 1] != kPacketMarker1)
            note("marker-mismatch", expected);
        const uint16_t index = be16(packet + kPacketIndexOffset);
        if (index != expected) note("index-mismatch", expected);
        if (expected == 0)
            announcedSum = be32(packet + kPacketChecksumOffset);
        else if (be32(packet + kPacketChecksumOffset) != announcedSum)
            note("checksum-field-mismatch", expected);
        if (index < count)
            std::memcpy(staged.data() + index * kPacketPayloadSize, packet + kPacketHeaderSize,
                        kPacketPayloadSize);
    }
    const uint32_t actualSum = sumBytes(staged.data(), length);
    const bool sumOk = actualSum == announcedSum;
    std::string line =
        describe("write", address, length, received, count) + (sumOk ? " checksum=ok" : " checksum=bad");
    if (!sumOk || !problems.empty()) return line + " result=rejected" + problems;
    uint8_t* target = receiver.storage.data() + (address - kStorageBase);
    if (o.lagWritesMs > 0 && length > 0)
        receiver.lagging.push_back({address, std::vector<uint8_t>(target, target + length),
                                    Clock::now() + std::chrono::milliseconds(o.lagWritesMs)});
    if (o.corruptWrites && length > 0) staged[length / 2] ^= 0xFF;
    if (length > 0) std::memcpy(target, staged.data(), length);
    receiver.written = true;
    line += o.corruptWrites && length > 0 ? " result=stored corrupted" : " result=stored";
    if (!receiver.options.savePath.empty() && touchesDatabaseArea(address, length))
        line += saveDatabaseArea(receiver, receiver.options.savePath) ? " saved" : " save-failed";
    return line;
}

}  // namespace

bool loadDatabaseArea(Receiver& receiver, const std::string& path) {
    PosixDbFile file;
    if (!file.open(path, PosixDbFile::Mode::ReadOnly) || !file.seek(kDbAreaOffset)) return false;
    return file.readExact(receiver.storage.data() + (kDbImageAddress - kStorageBase), kDbAreaSize);
}

bool saveDatabaseArea(const Receiver& receiver, const std::string& path) {
    std::vector<uint8_t> bytes(kDbFileSize, 0);
    std::memcpy(bytes.data() + kDbAreaOffset, receiver.storage.data() + (kDbImageAddress - kStorageBase),
                kDbAreaSize);
    return saveFileSafely(path, [&bytes](DbFile& file) {
               return file.seek(0) && file.write(bytes.data(), bytes.size()) && stampFileHeader(file) == 1;
           }) == SaveResult::Saved;
}

std::string serveCommand(Receiver& receiver, const Connection& connection, const uint8_t* frame) {
    const uint8_t direction = frame[kFrameDirectionOffset];
    const uint32_t address = be32(frame + kFrameAddressOffset);
    const uint32_t length = be32(frame + kFrameLengthOffset);
    if (receiver.options.stall) {
        (void)drainUntilClosed(connection);
        return describe(direction == kToReceiver ? "write" : "read", address, length, 0,
                        packetCountFor(length)) +
               " result=stalled";
    }
    if (direction == kFromReceiver) return serveRead(receiver, connection, address, length);
    if (direction == kToReceiver) return serveWrite(receiver, connection, address, length);
    return "command direction=" + std::to_string(direction) + " result=refused (unknown direction)";
}

}  // namespace stbsim
