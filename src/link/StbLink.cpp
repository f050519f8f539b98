// One transfer to or from the receiver: the command frame and the numbered data packets.
#include "link/StbLink.h"

#include "db/DbImage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace tovu::StbLink {
namespace {

std::unique_ptr<uint8_t[]> allocateZeroed(size_t size) {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]());
}

}  // namespace

int transfer(uint32_t receiver, uint8_t direction, uint8_t* buffer, uint32_t targetAddress, uint32_t length) {
    return transferWith(LinkSettings{}, receiver, direction, buffer, targetAddress, length);
}

int transferWith(const LinkSettings& settings, uint32_t receiver, uint8_t direction, uint8_t* buffer,
                 uint32_t targetAddress, uint32_t length) {
    (void)startupSockets();  // a failure would show as a failed connect
    const int deadlineMs = std::max(settings.deadlineMs, 0);
    const Deadline deadline = Clock::now() + std::chrono::milliseconds(deadlineMs);
    const int s = openConnection(receiver, settings.port, std::min(settings.connectTimeoutMs, deadlineMs));
    if (s < 0) return 0;
    int result = 0;
    if (sendCommand(s, direction, targetAddress, length, settings.commandTimeoutMs, deadline) == 1) {
        if (direction == kToReceiver) {
            // Handed to the socket is not yet received: the send counts once the receiver's side
            // has acknowledged every byte.
            result = length <= static_cast<uint32_t>(INT32_MAX) &&
                             sendData(s, static_cast<int32_t>(length), buffer, settings.packetTimeoutMs,
                                      deadline) == 1 &&
                             waitAcknowledged(s, settings.packetTimeoutMs, deadline) == 0
                         ? 1
                         : 0;
        } else if (direction == kFromReceiver) {
            result = receiveData(s, buffer, length, settings.packetTimeoutMs, deadline);
        }
    }
    if (result == 1)
        closeSocket(s);
    else
        abortSocket(s);
    return result;
}

int sendCommand(int socket, uint8_t direction, uint32_t targetAddress, uint32_t length, int timeoutMs,
                Deadline deadline) {
    uint8_t frame[kCommandFrameSize] = {};
    frame[kFrameDirectionOffset] = direction;
    writeBe32(frame + kFrameAddressOffset, targetAddress);
    writeBe32(frame + kFrameLengthOffset, length);
    return sendAll(socket, frame, sizeof frame, timeoutMs, deadline) == 0 ? 1 : 0;
}

int sendData(int socket, int32_t length, const uint8_t* buffer, int timeoutMs, Deadline deadline) {
    if (length < 0 || (length > 0 && buffer == nullptr)) return 0;
    const uint64_t count = packetCountFor(static_cast<uint64_t>(length));
    if (count > 0xFFFF) return 0;  // the count and index fields are 16 bits wide
    const size_t size = static_cast<size_t>(length);
    // The packets are cut from a private copy of the caller's data.
    auto data = allocateZeroed(size == 0 ? 1 : size);
    if (!data) return 0;
    if (size > 0) std::memcpy(data.get(), buffer, size);
    const uint32_t checksum = byteSum(data.get(), size);

    uint8_t packet[kPacketSize];
    size_t done = 0;
    for (uint64_t index = 0; index < count; ++index) {
        writeBe32(packet + kPacketLengthOffset, static_cast<uint32_t>(length));
        writeBe32(packet + kPacketChecksumOffset, checksum);
        writeBe16(packet + kPacketCountOffset, static_cast<uint16_t>(count));
        writeBe16(packet + kPacketIndexOffset, static_cast<uint16_t>(index));
        packet[kPacketMarkerOffset] = kPacketMarker0;
        packet[kPacketMarkerOffset + 1] = kPacketMarker1;
        const size_t chunk = std::min(kPacketPayloadSize, size - done);
        std::memcpy(packet + kPacketHeaderSize, data.get() + done, chunk);
        std::memset(packet + kPacketHeaderSize + chunk, 0, kPacketPayloadSize - chunk);
        done += chunk;
        if (sendAll(socket, packet, kPacketSize, timeoutMs, deadline) != 0) return 0;
    }
    return 1;
}

int receiveData(int socket, uint8_t* buffer, uint32_t length, int timeoutMs, Deadline deadline) {
    // Only the packets of exactly the asked transfer are taken: a receiver that answers with fewer
    // or more bytes fails the transfer, whatever it announces.
    const size_t count = packetCountFor(length);
    if (count == 0) return 1;
    if (buffer == nullptr || count > kReceiveFlagCount) return 0;
    auto window = allocateZeroed(kReceiveWindowSize);
    auto received = allocateZeroed(kReceiveFlagCount);
    if (!window || !received) return 0;
    size_t distinct = 0;   // distinct packets so far, never more than count
    size_t delivered = 0;  // bytes of the caller's buffer filled, whole windows below count packets
    uint8_t packet[kPacketSize];
    for (;;) {
        if (receiveAll(socket, packet, kPacketSize, timeoutMs, deadline) != 0) return 0;
        const size_t index = readBe16(packet + kPacketIndexOffset);
        if (readBe32(packet + kPacketLengthOffset) != length ||
            readBe16(packet + kPacketCountOffset) != count || index >= count)
            return 0;
        if (received[index]) continue;  // a repeat
        // A packet of a later window would take the place of one not yet delivered: the receiver
        // sends in order, so an answer that runs a window ahead is not the asked transfer.
        if (index >= delivered / kPacketPayloadSize + kReceiveWindowSize / kPacketPayloadSize) return 0;
        received[index] = 1;
        ++distinct;
        std::memcpy(window.get() + (index % 256) * kPacketPayloadSize, packet + kPacketHeaderSize,
                    kPacketPayloadSize);
        if (distinct == count) {
            std::memcpy(buffer + delivered, window.get(), count * kPacketPayloadSize - delivered);
            return 1;
        }
        if ((distinct * kPacketPayloadSize) % kReceiveWindowSize == 0) {
            std::memcpy(buffer + delivered, window.get(), kReceiveWindowSize);
            delivered += kReceiveWindowSize;
        }
    }
}

}  // namespace tovu::StbLink
