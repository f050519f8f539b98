// Edits of many services at once. Each service goes through getChannel and setChannel, so a
// change of type moves it between the TV, Radio and Data lists exactly as a single edit does.
#pragma once

#include "db/ChannelRecord.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace tovu {

// Sets or clears one flag bit (kFlagLocked, kFlagSubtitle, kFlagDescrambled) of the services at
// the given indexes; invalid indexes are skipped. The number of services changed.
[[nodiscard]] int setChannelsFlag(ChannelDbImage& image, std::span<const int> indexes, uint32_t flag,
                                  bool on);

// Gives the services the ProgType (1 TV, 2 Radio, 3 the Data list's type). Services that change
// type go to the end of their new list, in the order of the indexes. The number changed.
[[nodiscard]] int setChannelsProgType(ChannelDbImage& image, std::span<const int> indexes, uint32_t progType);

// The name field after replacing every `find` (UTF-8, case as typed) in the stored name by
// `replacement`, stored as a single edit stores a name: the first bytes that fit in 32 as whole
// characters, then a NUL when shorter (the bytes behind it kept). Nothing when the name does not
// hold `find`, when the result equals the name, or when the stored bytes have no exact text form
// (a replacement would lose them).
[[nodiscard]] std::optional<std::array<uint8_t, kNameSize>> replacedName(
    const std::array<uint8_t, kNameSize>& name, std::string_view find, std::string_view replacement);

// replacedName over the services at the given indexes. The number of names changed.
[[nodiscard]] int replaceInNames(ChannelDbImage& image, std::span<const int> indexes, std::string_view find,
                                 std::string_view replacement);

}  // namespace tovu
