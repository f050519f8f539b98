#include "db/ChannelRecord.h"
#include "db/FavLists.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tovu {
namespace {

ChannelRecord service(uint16_t sid, uint16_t tsid, uint32_t progType) {
    ChannelRecord r;
    r.serviceId = sid;
    r.transponderId = tsid;
    r.flags = progType << kProgTypeShift;
    return r;
}

std::vector<uint16_t> items(const ChannelDbImage& image, int listId) {
    std::vector<uint16_t> out(1000);
    int n = static_cast<int>(out.size());
    EXPECT_EQ(getListItems(image, listId, n, out.data()), 1);
    out.resize(static_cast<size_t>(n));
    return out;
}

using Entries = std::vector<uint16_t>;

class Records : public ::testing::Test {
protected:
    std::unique_ptr<ChannelDbImage> owned = std::make_unique<ChannelDbImage>();
    ChannelDbImage& image = *owned;
};

TEST_F(Records, StoredLayoutIsLittleEndianAt76PlusIndexTimes72) {
    ChannelRecord r = service(0x1234, 0x5678, kProgRadio);
    r.frequencyKHz = 0x01020304;
    r.originalNetworkId = 0xABCD;
    r.name = {'N', 'a', 'm', 'e'};
    ASSERT_EQ(addChannel(image, r), 0);
    ASSERT_EQ(addChannel(image, service(1, 1, kProgTv)), 1);
    const uint8_t* b = image.bytes.data();
    EXPECT_EQ(readLe32(b + 72), 2u);
    EXPECT_EQ(b[76], 0x34);
    EXPECT_EQ(b[77], 0x12);
    EXPECT_EQ(readLe32(b + 76 + 4), 2u << 21);
    EXPECT_EQ(b[76 + 12], 0x04);
    EXPECT_EQ(readLe16(b + 76 + 36), 0xABCD);
    EXPECT_EQ(b[76 + 40], 'N');
    EXPECT_EQ(readLe16(b + 76 + 72), 1);  // record 1
    ChannelRecord back;
    ASSERT_EQ(getChannel(image, 0, back), 1);
    EXPECT_EQ(back, r);
}

TEST_F(Records, AddKeepsIdPairsUniqueAndAppendsToTheTypeList) {
    EXPECT_EQ(addChannel(image, service(10, 1, kProgTv)), 0);
    EXPECT_EQ(addChannel(image, service(10, 1, kProgRadio)), -1);
    EXPECT_EQ(addChannel(image, service(10, 2, kProgRadio)), 1);
    EXPECT_EQ(addChannel(image, service(11, 2, kProgUnknown)), 2);
    EXPECT_EQ(addChannel(image, service(12, 2, 0)), 3);  // 0 behaves like Unknown
    EXPECT_EQ(channelCount(image), 4);
    EXPECT_EQ(items(image, kListTv), Entries({0}));
    EXPECT_EQ(items(image, kListRadio), Entries({1}));
    EXPECT_EQ(items(image, kListData), Entries({2, 3}));
    EXPECT_EQ(findChannel(image, service(10, 2, 0)), 1);
    EXPECT_EQ(findChannel(image, service(99, 2, 0)), -1);
}

TEST_F(Records, TheThousandAndFirstChannelIsRefused) {
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(addChannel(image, service(static_cast<uint16_t>(i), 7, kProgTv)), i);
    EXPECT_EQ(addChannel(image, service(5000, 7, kProgTv)), -1);
    EXPECT_EQ(channelCount(image), 1000);
    EXPECT_EQ(listCount(image, kListTv), 1000);
}

TEST_F(Records, AddingToAFullTypeListStillAddsTheRecord) {
    for (int i = 0; i < 300; ++i)
        ASSERT_GE(addChannel(image, service(static_cast<uint16_t>(i), 1, kProgRadio)), 0);
    for (int i = 0; i < 50; ++i)
        ASSERT_GE(addChannel(image, service(static_cast<uint16_t>(i), 2, kProgUnknown)), 0);
    EXPECT_EQ(addChannel(image, service(999, 1, kProgRadio)), 350);
    EXPECT_EQ(addChannel(image, service(999, 2, kProgUnknown)), 351);
    EXPECT_EQ(listCount(image, kListRadio), 300);
    EXPECT_EQ(listCount(image, kListData), 50);
    EXPECT_EQ(channelCount(image), 352);
}

TEST_F(Records, ChangingTheTypeMovesTheChannelToTheEndOfItsNewList) {
    for (uint16_t i = 0; i < 3; ++i) ASSERT_GE(addChannel(image, service(i, 1, kProgTv)), 0);
    ASSERT_GE(addChannel(image, service(3, 1, kProgRadio)), 0);
    ASSERT_GE(addChannel(image, service(4, 1, kProgUnknown)), 0);
    ASSERT_GE(addChannel(image, service(5, 1, kProgUnknown)), 0);

    ASSERT_EQ(setChannel(image, 1, service(1, 1, kProgRadio)), 1);
    EXPECT_EQ(items(image, kListTv), Entries({0, 2}));
    EXPECT_EQ(items(image, kListRadio), Entries({3, 1}));

    ChannelRecord renamed = service(0, 1, kProgTv);
    renamed.name = {'X'};
    ASSERT_EQ(setChannel(image, 0, renamed), 1);
    EXPECT_EQ(items(image, kListTv), Entries({0, 2}));

    ASSERT_EQ(setChannel(image, 4, service(4, 1, 4)), 1);  // 3 -> 4: both Data, still moves to the end
    EXPECT_EQ(items(image, kListData), Entries({5, 4}));

    ASSERT_EQ(setChannel(image, 2, service(0, 1, kProgTv)), 1);  // ids of another channel are allowed
    EXPECT_EQ(setChannel(image, 6, service(9, 9, kProgTv)), 0);
    EXPECT_EQ(setChannel(image, -1, service(9, 9, kProgTv)), 0);
}

TEST_F(Records, DeleteClosesUpRecordsAndRenumbersEveryList) {
    for (uint16_t i = 0; i < 3; ++i) ASSERT_GE(addChannel(image, service(i, 1, kProgTv)), 0);  // A, B, C
    ASSERT_EQ(setListItems(image, kListTv, 3, Entries({2, 0, 1}).data()), 1);
    ASSERT_EQ(addToList(image, 0, 3), 1);
    ASSERT_EQ(addToList(image, 2, 3), 1);
    int user = 0;
    ASSERT_EQ(createUserList(image, user), 1);
    ASSERT_EQ(addToList(image, 2, user), 1);
    ASSERT_EQ(addToList(image, 0, user), 1);

    ASSERT_EQ(deleteChannel(image, 0), 1);
    EXPECT_EQ(channelCount(image), 2);
    ChannelRecord first;
    ASSERT_EQ(getChannel(image, 0, first), 1);
    EXPECT_EQ(first.serviceId, 1);  // B moved up
    EXPECT_EQ(items(image, kListTv), Entries({1, 0}));
    EXPECT_EQ(items(image, 3), Entries({1}));
    EXPECT_EQ(items(image, user), Entries({1}));

    EXPECT_EQ(deleteChannel(image, 2), 0);
    EXPECT_EQ(deleteChannel(image, -1), 0);
    ASSERT_EQ(deleteChannel(image, 1), 1);  // the last one: nothing to renumber
    EXPECT_EQ(items(image, kListTv), Entries({0}));
    EXPECT_EQ(items(image, 3), Entries({}));
}

TEST_F(Records, StoredCountsBeyondCapacityNeverLeadOutsideTheLists) {
    // A file whose user lists were not checked (the early end of sanitizing) can hold any count.
    ASSERT_GE(addChannel(image, service(1, 1, kProgTv)), 0);
    image.bytes[kListInUseOffset] = 1;
    writeLe32(image.bytes.data() + kUserFavOffset + kListCountField, 0xFFFFFFFF);
    writeLe32(image.bytes.data() + kTvListOffset + kListCountField, 0x7FFFFFFF);
    EXPECT_EQ(listCount(image, kListFirstUser), 300);
    EXPECT_EQ(addToList(image, 0, kListFirstUser), 1);  // entry 0 of the zeroed list is already 0
    EXPECT_EQ(addToList(image, 5, kListFirstUser), 0);  // full
    EXPECT_EQ(deleteChannel(image, 0), 1);
    EXPECT_EQ(channelCount(image), 0);
    // A stored channel count above 1000 is never walked past the record array.
    writeLe32(image.bytes.data() + kChannelCountOffset, 70000);
    EXPECT_EQ(channelCount(image), 1000);
    ChannelRecord r;
    EXPECT_EQ(getChannel(image, 1000, r), 0);
    EXPECT_EQ(addChannel(image, service(77, 7, kProgTv)), -1);
}

}  // namespace
}  // namespace tovu
