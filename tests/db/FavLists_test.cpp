#include "db/FavLists.h"
#include "db/ChannelRecord.h"

#include <gtest/gtest.h>

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
    }
    int id = 0;
    EXPECT_EQ(createUserList(image, id), 0);
    int ids[16];
    int n = 16;
    ASSERT_EQ(listUserLists(image, ids, n), 1);
    ASSERT_EQ(n, 16);
    EXPECT_EQ(ids[15], 24);
    n = 2;  // stops at the caller's capacity
    ASSERT_EQ(listUserLists(image, ids, n), 1);
    EXPECT_EQ(n, 2);

    ASSERT_EQ(addToList(image, 4, 24), 1);
    const uint8_t name[20] = {'o', 'l', 'd'};
    ASSERT_EQ(setListName(image, 10, name), 1);
    ASSERT_EQ(deleteUserList(image, 10), 1);
    EXPECT_EQ(addToList(image, 1, 10), 0);
    ASSERT_EQ(createUserList(image, id), 1);
    EXPECT_EQ(id, 10);
    uint8_t back[20];
    ASSERT_EQ(getListName(image, 10, back, 20), 1);
    EXPECT_EQ(back[0], 0);
}

TEST_F(FavLists, DefaultListsCannotBeDeletedAndOtherIdsAreNoFavouriteLists) {
    EXPECT_EQ(deleteUserList(image, 3), 0);
    for (const int id : {1, 8, 12, 25}) EXPECT_EQ(addToList(image, 1, id), 0) << id;  // 12: not in use
    EXPECT_EQ(listCount(image, 99), 0);
    uint8_t name[20];
    EXPECT_EQ(getListName(image, 8, name, 20), 0);
}

TEST_F(FavLists, MembershipHasNoDuplicatesAndStopsAt300) {
    EXPECT_EQ(addToList(image, 7, 3), 1);
    EXPECT_EQ(addToList(image, 7, 3), 1);
    EXPECT_EQ(listCount(image, 3), 1);
    for (int i = 100; i < 399; ++i) ASSERT_EQ(addToList(image, i, 3), 1);
    EXPECT_EQ(listCount(image, 3), 300);
    EXPECT_EQ(addToList(image, 999, 3), 0);
    EXPECT_EQ(isInList(image, 999, 3), 0);
    EXPECT_EQ(removeFromList(image, 7, 3), 1);
    EXPECT_EQ(removeFromList(image, 7, 3), 0);
    EXPECT_EQ(isInList(image, 7, 3), 0);
    EXPECT_EQ(listCount(image, 3), 299);
}

TEST_F(FavLists, ItemsNeedRoomAndTheSameCount) {
    for (int i = 0; i < 11; ++i) ASSERT_EQ(addToList(image, i, 4), 1);
    std::vector<uint16_t> out(10);
    int n = 10;
    EXPECT_EQ(getListItems(image, 4, n, out.data()), 0);
    out.resize(11);
    n = 11;
    ASSERT_EQ(getListItems(image, 4, n, out.data()), 1);
    std::vector<uint16_t> reversed(out.rbegin(), out.rend());
    EXPECT_EQ(setListItems(image, 4, 10, reversed.data()), 0);
    EXPECT_EQ(setListItems(image, 25, 11, reversed.data()), 0);
    ASSERT_EQ(setListItems(image, 4, 11, reversed.data()), 1);
    ASSERT_EQ(getListItems(image, 4, n, out.data()), 1);
    EXPECT_EQ(out, reversed);
}

}  // namespace
}  // namespace tovu
