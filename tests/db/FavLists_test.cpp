#include "db/FavLists.h"
#include "db/ChannelRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace tovu {
namespace {

class FavLists : public ::testing::Test {
protected:
    std::unique_ptr<ChannelDbImage> owned = std::make_unique<ChannelDbImage>();
    ChannelDbImage& image = *owned;
};

TEST_F(FavLists, UserListsAreCreatedLowestSlotFirstAndReused) {
    for (int expected = 9; expected <= 24; ++expected) {
        int id = 0;
        ASSERT_EQ(createUserList(image, id), 1);
        EXPECT_EQ(id, expected);
        EXPECT_EQ(image.bytes[kListInUseOffset + (id - 9)], 1);
    }
    int id = 0;
    EXPECT_EQ(createUserList(image, id), 0);

    ASSERT_EQ(addToList(image, 4, 10), 1);
    const uint8_t name[20] = {'o', 'l', 'd'};
    ASSERT_EQ(setListName(image, 10, name), 1);
    ASSERT_EQ(deleteUserList(image, 10), 1);
    EXPECT_EQ(listCount(image, 10), 0);
    EXPECT_EQ(addToList(image, 1, 10), 0);
    ASSERT_EQ(createUserList(image, id), 1);
    EXPECT_EQ(id, 10);
    uint8_t back[20];
    ASSERT_EQ(getListName(image, 10, back, 20), 1);
    EXPECT_EQ(back[0], 0);
    EXPECT_EQ(listCount(image, 10), 0);
}

TEST_F(FavLists, DefaultListsCannotBeDeletedAndOtherIdsAreNoFavouriteLists) {
    EXPECT_EQ(deleteUserList(image, 3), 0);
    EXPECT_EQ(addToList(image, 1, 12), 0);  // not in use
    EXPECT_EQ(addToList(image, 1, 8), 0);
    EXPECT_EQ(addToList(image, 1, 1), 0);
    EXPECT_EQ(addToList(image, 1, 25), 0);
    EXPECT_EQ(listCount(image, 8), 0);
    EXPECT_EQ(listCount(image, 99), 0);
    uint8_t name[20];
    EXPECT_EQ(getListName(image, 8, name, 20), 0);
    EXPECT_EQ(setListName(image, 2, name), 0);
}

TEST_F(FavLists, MembershipHasNoDuplicatesAndStopsAt300) {
    EXPECT_EQ(addToList(image, 7, 3), 1);
    EXPECT_EQ(addToList(image, 7, 3), 1);
    EXPECT_EQ(listCount(image, 3), 1);
    for (int i = 100; i < 399; ++i) ASSERT_EQ(addToList(image, i, 3), 1);
    EXPECT_EQ(listCount(image, 3), 300);
    EXPECT_EQ(addToList(image, 999, 3), 0);
    EXPECT_EQ(isInList(image, 7, 3), 1);
    EXPECT_EQ(isInDefaultFav(image, 7, 0), 1);
    EXPECT_EQ(isInList(image, 999, 3), 0);
    EXPECT_EQ(removeFromList(image, 7, 3), 1);
    EXPECT_EQ(removeFromList(image, 7, 3), 0);
    EXPECT_EQ(listCount(image, 3), 299);
}

TEST_F(FavLists, TypeListsAreNotFavouriteLists) {
    ChannelRecord radio;
    radio.flags = kProgRadio << kProgTypeShift;
    ASSERT_EQ(addChannel(image, radio), 0);
    EXPECT_EQ(listCount(image, kListRadio), 1);
    EXPECT_EQ(isInList(image, 0, kListRadio), 0);
}

TEST_F(FavLists, DuplicatesFromAnImportAreRemovedOneAtATime) {
    const uint16_t entries[] = {5, 6, 5};
    writeLe32(image.bytes.data() + kDefaultFavOffset + kListCountField, 3);
    std::memcpy(image.bytes.data() + kDefaultFavOffset + kListEntriesField, entries, sizeof entries);
    EXPECT_EQ(removeFromList(image, 5, 3), 1);
    EXPECT_EQ(isInList(image, 5, 3), 1);
    EXPECT_EQ(listCount(image, 3), 2);
}

TEST_F(FavLists, ItemsNeedRoomAndTheSameCount) {
    for (int i = 0; i < 11; ++i) ASSERT_EQ(addToList(image, i, 4), 1);
    std::vector<uint16_t> out(10);
    int n = 10;
    EXPECT_EQ(getListItems(image, 4, n, out.data()), 0);
    EXPECT_EQ(n, 10);
    out.resize(11);
    n = 11;
    ASSERT_EQ(getListItems(image, 4, n, out.data()), 1);
    EXPECT_EQ(n, 11);
    std::vector<uint16_t> reversed(out.rbegin(), out.rend());
    EXPECT_EQ(setListItems(image, 4, 10, reversed.data()), 0);
    EXPECT_EQ(setListItems(image, 25, 11, reversed.data()), 0);
    ASSERT_EQ(setListItems(image, 4, 11, reversed.data()), 1);
    ASSERT_EQ(getListItems(image, 4, n, out.data()), 1);
    EXPECT_EQ(out, reversed);
    n = 0;
    EXPECT_EQ(getListItems(image, 8, n, out.data()), 1);  // no list: an empty one
    EXPECT_EQ(n, 0);
}

TEST_F(FavLists, NameOfTwentyBytesHasNoTerminator) {
    const uint8_t name[20] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J',
                              'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R', 'S', 'T'};
    ASSERT_EQ(setListName(image, 5, name), 1);
    EXPECT_EQ(image.bytes[kDefaultFavOffset + 2 * kFavListSize + 19], 'T');
    EXPECT_EQ(image.bytes[kDefaultFavOffset + 2 * kFavListSize + 20], 0);  // the count follows
    uint8_t back[32] = {};
    ASSERT_EQ(getListName(image, 5, back, 32), 1);
    EXPECT_EQ(std::memcmp(back, name, 20), 0);
    EXPECT_EQ(back[20], 0);  // only 20 bytes copied
}

TEST_F(FavLists, ListUserListsStopsAtTheCapacity) {
    for (int k : {0, 3, 11}) image.bytes[kListInUseOffset + k] = 1;
    int ids[2];
    int n = 2;
    ASSERT_EQ(listUserLists(image, ids, n), 1);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(ids[0], 9);
    EXPECT_EQ(ids[1], 12);
}

}  // namespace
}  // namespace tovu
