// Access to the lists of the image, shared by the record and favourite-list operations. Every
// scan is bounded by the list's capacity, whatever count a loaded file stored.
#pragma once

#include "db/DbImage.h"

namespace tovu::detail {

struct ListSlot {
    size_t offset;
    uint32_t capacity;
};

inline uint32_t storedCount(const ChannelDbImage& image, ListSlot list) {
    return readLe32(image.bytes.data() + list.offset + kListCountField);
}
inline uint32_t usedCount(const ChannelDbImage& image, ListSlot list) {
    const uint32_t n = storedCount(image, list);
    return n < list.capacity ? n : list.capacity;
}
inline void setCount(ChannelDbImage& image, ListSlot list, uint32_t n) {
    writeLe32(image.bytes.data() + list.offset + kListCountField, n);
}
inline uint8_t* entryAt(ChannelDbImage& image, ListSlot list, uint32_t i) {
    return image.bytes.data() + list.offset + kListEntriesField + 2 * size_t{i};
}
inline uint16_t entry(const ChannelDbImage& image, ListSlot list, uint32_t i) {
    return readLe16(image.bytes.data() + list.offset + kListEntriesField + 2 * size_t{i});
}

// Position of the first entry equal to value, or -1.
int findEntry(const ChannelDbImage& image, ListSlot list, int value);
// Appends value unless present; 1 added or present, 0 full.
int appendUnique(ChannelDbImage& image, ListSlot list, int value);
// Removes the first entry equal to value and closes up; 1 removed, 0 absent.
int removeFirst(ChannelDbImage& image, ListSlot list, int value);
// Lowers every entry above deleted by one.
void renumberAbove(ChannelDbImage& image, ListSlot list, int deleted);

ListSlot typeListSlot(int typeList);
ListSlot defaultFavSlot(size_t k);
ListSlot userFavSlot(size_t k);

}  // namespace tovu::detail
