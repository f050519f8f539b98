// The receiver's transfer protocol: one TCP connection per transfer to port 19998, a 64-byte
// command frame from the editor, then numbered 1038-byte data packets in the announced direction.
// Header fields are big-endian. Shared by the editor's link and the receiver simulator.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tovu {

inline constexpr uint16_t kReceiverPort = 19998;

// TransferDirection, the first byte of the command frame.
inline constexpr uint8_t kToReceiver = 0;    // the editor sends the data
inline constexpr uint8_t kFromReceiver = 1;  // the receiver sends the data

// CommandFrame: direction, target address, length; the rest is zero.
inline constexpr size_t kCommandFrameSize = 64;
inline constexpr size_t kFrameDirectionOffset = 0;
inline constexpr size_t kFrameAddressOffset = 1;  // u32 big-endian
inline constexpr size_t kFrameLengthOffset = 5;   // u32 big-endian

// DataPacket: 14-byte header and 1024 payload bytes; the last payload is zero-padded.
inline constexpr size_t kPacketHeaderSize = 14;
inline constexpr size_t kPacketPayloadSize = 1024;
inline constexpr size_t kPacketSize = kPacketHeaderSize + kPacketPayloadSize;  // 1038
inline constexpr size_t kPacketLengthOffset = 0;    // u32: length of the whole transfer
inline constexpr size_t kPacketChecksumOffset = 4;  // u32: byte sum of the whole transfer
inline constexpr size_t kPacketCountOffset = 8;     // u16: packets in the transfer
inline constexpr size_t kPacketIndexOffset = 10;    // u16: this packet, from 0
inline constexpr size_t kPacketMarkerOffset = 12;   // the bytes 0x04 0x00
inline constexpr uint8_t kPacketMarker0 = 0x04;
inline constexpr uint8_t kPacketMarker1 = 0x00;

// The editor's receive side: a 256-payload window and one received flag per possible index.
inline constexpr size_t kReceiveWindowSize = 256 * kPacketPayloadSize;  // 262144
inline constexpr size_t kReceiveFlagCount = 8192;

// Packets needed for a transfer of `length` bytes.
constexpr uint64_t packetCountFor(uint64_t length) {
    return (length + kPacketPayloadSize - 1) / kPacketPayloadSize;
}

// The receiver's storage areas the editor addresses.
inline constexpr uint32_t kProviderListAddress = 0x660000;  // the provider frequency list
inline constexpr uint32_t kDbImageAddress = 0x6A0000;       // the 256 KiB database area
inline constexpr uint32_t kDbImageLength = 0x40000;
inline constexpr uint32_t kReceiverBlockAddress = 0x6D0000;  // sector holding image block 0
inline constexpr uint32_t kReceiverBlockReadLength = 0x1000;

}  // namespace tovu
