#include "db/ListStore.h"

#include <cstring>

namespace tovu::detail {

int findEntry(const ChannelDbImage& image, ListSlot list, int value) {
    const uint32_t n = usedCount(image, list);
    for (uint32_t i = 0; i < n; ++i)
        if (entry(image, list, i) == value) return static_cast<int>(i);
    return -1;
}

int appendUnique(ChannelDbImage& image, ListSlot list, int value) {
    if (findEntry(image, list, value) >= 0) return 1;
    const uint32_t n = storedCount(image, list);
    if (n >= list.capacity) return 0;
    writeLe16(entryAt(image, list, n), static_cast<uint16_t>(value));
    setCount(image, list, n + 1);
    return 1;
}

int removeFirst(ChannelDbImage& image, ListSlot list, int value) {
    const int at = findEntry(image, list, value);
    if (at < 0) return 0;
    const uint32_t n = usedCount(image, list);
    std::memmove(entryAt(image, list, at), entryAt(image, list, at + 1), 2 * size_t{n - at - 1});
    setCount(image, list, n - 1);
    return 1;
}

void renumberAbove(ChannelDbImage& image, ListSlot list, int deleted) {
    const uint32_t n = usedCount(image, list);
    for (uint32_t i = 0; i < n; ++i) {
        const uint16_t v = entry(image, list, i);
        if (v > deleted) writeLe16(entryAt(image, list, i), static_cast<uint16_t>(v - 1));
    }
}

ListSlot typeListSlot(int typeList) {
    if (typeList == 1) return {kTvListOffset, kTvCapacity};
    if (typeList == 2) return {kRadioListOffset, kRadioCapacity};
    return {kDataListOffset, kDataCapacity};
}

ListSlot defaultFavSlot(size_t k) { return {kDefaultFavOffset + kFavListSize * k, kFavCapacity}; }

ListSlot userFavSlot(size_t k) { return {kUserFavOffset + kFavListSize * k, kFavCapacity}; }

}  // namespace tovu::detail
