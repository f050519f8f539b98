// Service records (72 bytes each, from image offset 76) and the upkeep of the TV, Radio and Data
// lists that give the receiver's order of each kind of service.
#pragma once

#include "db/DbImage.h"

#include <array>
#include <cstdint>

namespace tovu {

inline constexpr size_t kNameSize = 32;

// Coded values of a record.
enum ProgType : uint32_t { kProgTv = 1, kProgRadio = 2, kProgUnknown = 3 };
enum AudioMode : uint32_t { kAudioLeft = 0, kAudioRight = 1, kAudioStereo = 2, kAudioMono = 3 };
enum QamMode : uint32_t { kQam16 = 0, kQam32 = 1, kQam64 = 2, kQam128 = 3, kQam256 = 4 };

// Bits of ChannelRecord::flags.
inline constexpr uint32_t kFlagLocked = 1u << 0;
inline constexpr uint32_t kAudioShift = 1;
inline constexpr uint32_t kAudioMask = 3u << kAudioShift;
inline constexpr uint32_t kFlagSubtitle = 1u << 8;
inline constexpr uint32_t kFlagDescrambled = 1u << 20;
inline constexpr uint32_t kProgTypeShift = 21;
inline constexpr uint32_t kProgTypeMask = 7u << kProgTypeShift;

// Type lists, as addToTypeList and removeFromTypeList take them.
enum TypeList : int { kTypeListTv = 1, kTypeListRadio = 2, kTypeListData = 3 };

struct ChannelRecord {
    uint16_t serviceId = 0;
    uint16_t transponderId = 0;
    uint32_t flags = 0;
    uint32_t opaque1 = 0;
    uint32_t frequencyKHz = 0;
    uint32_t symbolRate = 0;
    uint8_t annex = 0;
    uint8_t opaque2 = 0;
    uint8_t opaque3 = 0;
    uint8_t opaque4 = 0;
    uint32_t qam = 0;
    uint32_t opaque5 = 0;
    uint32_t opaque6 = 0;
    uint16_t originalNetworkId = 0;
    uint16_t opaque7 = 0;
    std::array<uint8_t, kNameSize> name{};  // code-page bytes, NUL-padded, no terminator when full

    uint32_t progType() const { return (flags & kProgTypeMask) >> kProgTypeShift; }
    uint32_t audioMode() const { return (flags & kAudioMask) >> kAudioShift; }
    bool operator==(const ChannelRecord&) const = default;
};

// The 72-byte stored form of a record.
ChannelRecord decodeRecord(const uint8_t* bytes);
void encodeRecord(const ChannelRecord& record, uint8_t* bytes);

// The type list a ProgType value belongs to: 1 TV, 2 Radio, anything else Data.
int typeListOf(uint32_t progType);

// The stored channel count. Only counts up to 1000 exist in a sanitized image; a larger stored
// value is reported as 1000 so that no caller walks past the record array.
[[nodiscard]] int channelCount(const ChannelDbImage& image);
[[nodiscard]] int getChannel(const ChannelDbImage& image, int index, ChannelRecord& out);
[[nodiscard]] int setChannel(ChannelDbImage& image, int index, const ChannelRecord& record);
[[nodiscard]] int addChannel(ChannelDbImage& image, const ChannelRecord& record);
[[nodiscard]] int findChannel(const ChannelDbImage& image, const ChannelRecord& record);
[[nodiscard]] int deleteChannel(ChannelDbImage& image, int index);
[[nodiscard]] int addToTypeList(ChannelDbImage& image, int index, int typeList);
[[nodiscard]] int removeFromTypeList(ChannelDbImage& image, int index, int typeList);
void shiftTypeList(ChannelDbImage& image, int deletedIndex, int typeList);

}  // namespace tovu
