// The channel database image: the receiver's 256 KiB database area as the editor holds it,
// its region map, little-endian field access and the 64 KiB blocks it is cut into.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tovu {

inline constexpr size_t kBlockDataSize = 65532;  // data bytes of one block
inline constexpr size_t kBlockSize = 65536;      // data bytes + 4-byte big-endian checksum
inline constexpr size_t kBlockCount = 4;
inline constexpr size_t kImageSize = kBlockCount * kBlockDataSize;  // 262128
inline constexpr size_t kUsedImageSize = 93268;

// Region map of the image (byte offsets).
inline constexpr size_t kReceiverHeaderSize = 72;  // owned by the receiver, never edited
inline constexpr size_t kChannelCountOffset = 72;
inline constexpr size_t kRecordsOffset = 76;
inline constexpr size_t kRecordSize = 72;
inline constexpr size_t kMaxChannels = 1000;
inline constexpr size_t kTvListOffset = 72076;
inline constexpr size_t kRadioListOffset = 74104;
inline constexpr size_t kDataListOffset = 74732;
inline constexpr size_t kDefaultFavOffset = 74860;
inline constexpr size_t kDefaultFavCount = 5;
inline constexpr size_t kListsEnd = 78000;  // end of count, records, type lists and default lists
inline constexpr size_t kListInUseOffset = 83204;
inline constexpr size_t kUserFavOffset = 83220;
inline constexpr size_t kUserFavCount = 16;

// Layout shared by every list: 20-byte name, u32 count, u32 reserved, u16 entries.
inline constexpr size_t kListNameSize = 20;
inline constexpr size_t kListCountField = 20;
inline constexpr size_t kListReservedField = 24;
inline constexpr size_t kListEntriesField = 28;
inline constexpr size_t kTvCapacity = 1000;
inline constexpr size_t kRadioCapacity = 300;
inline constexpr size_t kDataCapacity = 50;
inline constexpr size_t kFavCapacity = 300;
inline constexpr size_t kFavListSize = kListEntriesField + 2 * kFavCapacity;  // 628

// Where each block of the image sits inside the 256 KiB database area: block 0 comes last.
inline constexpr std::array<uint32_t, kBlockCount> kBlockTable = {0x30000, 0x20000, 0x10000, 0x00000};

struct ChannelDbImage {
    std::array<uint8_t, kImageSize> bytes{};
};

// The editor's one image and its one snapshot, zero at start, alive for the whole process.
ChannelDbImage& editorImage();
ChannelDbImage& editorSnapshot();

void takeSnapshot(const ChannelDbImage& image, ChannelDbImage& snapshot);
void restoreSnapshot(ChannelDbImage& image, const ChannelDbImage& snapshot);

// Little-endian access inside the image and other byte buffers.
inline uint16_t readLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void writeLe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void writeLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint32_t readBe32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}
inline void writeBe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}
inline uint16_t readBe16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline void writeBe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

// The 32-bit wrapping sum of the bytes: block checksums, packet and frequency-list checksums.
[[nodiscard]] uint32_t byteSum(const uint8_t* data, size_t length);

// A block as stored (65536 bytes) passes when its checksum is 0 or the sum of its data bytes.
[[nodiscard]] bool verifyBlock(const uint8_t* block);

}  // namespace tovu
