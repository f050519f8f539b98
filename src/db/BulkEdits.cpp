#include "db/BulkEdits.h"

#include "db/NameCodec.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace tovu {
namespace {

// Applies `change` to each valid service and stores it when it changed.
template <class Change>
int editEach(ChannelDbImage& image, std::span<const int> indexes, Change change) {
    int changed = 0;
    for (const int index : indexes) {
        ChannelRecord record;
        if (!getChannel(image, index, record)) continue;
        const ChannelRecord before = record;
        change(record);
        if (record != before && setChannel(image, index, record)) ++changed;
    }
    return changed;
}

// The code-page bytes of as many whole characters of the UTF-8 text as fit in `limit` bytes.
std::string bytesWithin(std::string_view utf8, size_t limit) {
    std::string bytes;
    size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<uint8_t>(utf8[i]);
        size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        length = std::min(length, utf8.size() - i);
        const std::string stored = utf8ToName(utf8.substr(i, length));
        if (bytes.size() + stored.size() > limit) break;
        bytes += stored;
        i += length;
    }
    return bytes;
}

}  // namespace

int setChannelsFlag(ChannelDbImage& image, std::span<const int> indexes, uint32_t flag, bool on) {
    return editEach(image, indexes,
                    [flag, on](ChannelRecord& r) { r.flags = on ? r.flags | flag : r.flags & ~flag; });
}

int setChannelsProgType(ChannelDbImage& image, std::span<const int> indexes, uint32_t progType) {
    return editEach(image, indexes, [progType](ChannelRecord& r) {
        r.flags = (r.flags & ~kProgTypeMask) | ((progType << kProgTypeShift) & kProgTypeMask);
    });
}

std::optional<std::array<uint8_t, kNameSize>> replacedName(const std::array<uint8_t, kNameSize>& name,
                                                           std::string_view find,
                                                           std::string_view replacement) {
    if (find.empty()) return std::nullopt;
    const auto* first = reinterpret_cast<const char*>(name.data());
    const std::string_view stored(first,
                                  static_cast<size_t>(std::find(first, first + kNameSize, '\0') - first));
    const std::string text = nameToUtf8(stored);
    if (utf8ToName(text) != stored) return std::nullopt;

    std::string replaced;
    size_t from = 0;
    for (size_t at = text.find(find); at != std::string::npos; at = text.find(find, from)) {
        replaced.append(text, from, at - from).append(replacement);
        from = at + find.size();
    }
    if (from == 0) return std::nullopt;
    replaced.append(text, from);

    const std::string bytes = bytesWithin(replaced, kNameSize);
    std::array<uint8_t, kNameSize> result = name;
    std::memcpy(result.data(), bytes.data(), bytes.size());
    if (bytes.size() < kNameSize) result[bytes.size()] = 0;
    if (result == name) return std::nullopt;
    return result;
}

int replaceInNames(ChannelDbImage& image, std::span<const int> indexes, std::string_view find,
                   std::string_view replacement) {
    return editEach(image, indexes, [find, replacement](ChannelRecord& r) {
        if (const auto name = replacedName(r.name, find, replacement)) r.name = *name;
    });
}

}  // namespace tovu
