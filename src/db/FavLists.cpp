#include "db/FavLists.h"

#include "db/ListStore.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace tovu {

using namespace detail;

namespace {

bool userListInUse(const ChannelDbImage& image, int listId) {
    return listId >= kListFirstUser && listId <= kListLastUser &&
           image.bytes[kListInUseOffset + (listId - kListFirstUser)] == 1;
}

// The slot of an existing favourite list.
std::optional<ListSlot> favSlot(const ChannelDbImage& image, int listId) {
    if (listId >= kListFirstDefault && listId <= kListLastDefault)
        return defaultFavSlot(listId - kListFirstDefault);
    if (userListInUse(image, listId)) return userFavSlot(listId - kListFirstUser);
    return std::nullopt;
}

// The slot of any list that listCount reports on: type lists, default lists, user lists in use.
std::optional<ListSlot> anySlot(const ChannelDbImage& image, int listId) {
    if (listId == kListTv) return typeListSlot(1);
    if (listId == kListRadio) return typeListSlot(2);
    if (listId == kListData) return typeListSlot(3);
    return favSlot(image, listId);
}

}  // namespace

bool isExistingFavList(const ChannelDbImage& image, int listId) { return favSlot(image, listId).has_value(); }

int isInDefaultFav(const ChannelDbImage& image, int index, int k) {
    if (k < 0 || k >= static_cast<int>(kDefaultFavCount)) return 0;
    return findEntry(image, defaultFavSlot(k), index) >= 0 ? 1 : 0;
}

int isInList(const ChannelDbImage& image, int index, int listId) {
    if (listId >= kListFirstDefault && listId <= kListLastDefault)
        return isInDefaultFav(image, index, listId - kListFirstDefault);
    if (listId >= kListFirstUser && listId <= kListLastUser)
        return findEntry(image, userFavSlot(listId - kListFirstUser), index) >= 0 ? 1 : 0;
    return 0;
}

int addToList(ChannelDbImage& image, int index, int listId) {
    const auto slot = favSlot(image, listId);
    return slot ? appendUnique(image, *slot, index) : 0;
}

int removeFromList(ChannelDbImage& image, int index, int listId) {
    const auto slot = favSlot(image, listId);
    return slot ? removeFirst(image, *slot, index) : 0;
}

int createUserList(ChannelDbImage& image, int& listId) {
    for (size_t k = 0; k < kUserFavCount; ++k) {
        if (image.bytes[kListInUseOffset + k] == 1) continue;
        image.bytes[kListInUseOffset + k] = 1;
        std::memset(image.bytes.data() + userFavSlot(k).offset, 0, kFavListSize);
        listId = kListFirstUser + static_cast<int>(k);
        return 1;
    }
    return 0;
}

int deleteUserList(ChannelDbImage& image, int listId) {
    if (!userListInUse(image, listId)) return 0;
    const size_t k = static_cast<size_t>(listId - kListFirstUser);
    image.bytes[kListInUseOffset + k] = 0;
    std::memset(image.bytes.data() + userFavSlot(k).offset, 0, kFavListSize);
    return 1;
}

int listUserLists(const ChannelDbImage& image, int* ids, int& count) {
    const int capacity = count;
    count = 0;
    for (int id = kListFirstUser; id <= kListLastUser && count < capacity; ++id)
        if (userListInUse(image, id)) ids[count++] = id;
    return 1;
}

int getListName(const ChannelDbImage& image, int listId, uint8_t* buffer, int length) {
    const auto slot = favSlot(image, listId);
    if (!slot) return 0;
    const size_t n = std::min<size_t>(kListNameSize, static_cast<size_t>(std::max(length, 0)));
    std::memcpy(buffer, image.bytes.data() + slot->offset, n);
    return 1;
}

int setListName(ChannelDbImage& image, int listId, const uint8_t* buffer) {
    const auto slot = favSlot(image, listId);
    if (!slot) return 0;
    std::memcpy(image.bytes.data() + slot->offset, buffer, kListNameSize);
    return 1;
}

int listCount(const ChannelDbImage& image, int listId) {
    const auto slot = anySlot(image, listId);
    return slot ? static_cast<int>(usedCount(image, *slot)) : 0;
}

int getListItems(const ChannelDbImage& image, int listId, int& count, uint16_t* out) {
    if (listId >= kListIdCount || listId < 0) return 0;
    const int c = listCount(image, listId);
    if (count < c) return 0;
    count = c;
    const auto slot = anySlot(image, listId);
    for (int i = 0; i < c; ++i) out[i] = entry(image, *slot, static_cast<uint32_t>(i));
    return 1;
}

int setListItems(ChannelDbImage& image, int listId, int count, const uint16_t* in) {
    if (listId >= kListIdCount || listId < 0) return 0;
    if (count != listCount(image, listId)) return 0;
    const auto slot = anySlot(image, listId);
    for (int i = 0; i < count; ++i) writeLe16(entryAt(image, *slot, static_cast<uint32_t>(i)), in[i]);
    return 1;
}

}  // namespace tovu
