// Favourite lists (five default lists and sixteen user lists) and access to any list by ListId.
#pragma once

#include "db/DbImage.h"

#include <cstdint>

namespace tovu {

// ListId: 0 TV, 1 Radio, 2 Data, 3..7 default favourite lists, 8 no list, 9..24 user lists.
enum ListIdValue : int {
    kListTv = 0,
    kListRadio = 1,
    kListData = 2,
    kListFirstDefault = 3,
    kListLastDefault = 7,
    kListNone = 8,
    kListFirstUser = 9,
    kListLastUser = 24,
    kListIdCount = 25,
};

[[nodiscard]] int isInDefaultFav(const ChannelDbImage& image, int index, int k);
[[nodiscard]] int isInList(const ChannelDbImage& image, int index, int listId);
[[nodiscard]] int addToList(ChannelDbImage& image, int index, int listId);
[[nodiscard]] int removeFromList(ChannelDbImage& image, int index, int listId);
[[nodiscard]] int createUserList(ChannelDbImage& image, int& listId);
[[nodiscard]] int deleteUserList(ChannelDbImage& image, int listId);
// On entry count is the capacity of ids; on return the number of ids written.
int listUserLists(const ChannelDbImage& image, int* ids, int& count);
// Copies min(20, length) bytes of the stored name; no terminator is added.
[[nodiscard]] int getListName(const ChannelDbImage& image, int listId, uint8_t* buffer, int length);
// Copies exactly 20 bytes into the name field.
[[nodiscard]] int setListName(ChannelDbImage& image, int listId, const uint8_t* buffer);
[[nodiscard]] int listCount(const ChannelDbImage& image, int listId);
// On entry count is the capacity of out; on success the number of entries copied.
[[nodiscard]] int getListItems(const ChannelDbImage& image, int listId, int& count, uint16_t* out);
// Stores a new order of the same number of entries.
[[nodiscard]] int setListItems(ChannelDbImage& image, int listId, int count, const uint16_t* in);

// True when the id names a default list or a user list in use.
[[nodiscard]] bool isExistingFavList(const ChannelDbImage& image, int listId);

}  // namespace tovu
