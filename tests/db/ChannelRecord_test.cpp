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

using Entries = std::vector<uint16_t>;

Entries items(const ChannelDbImage& image, int listId) {
    Entries out(1000);
    int n = static_cast<int>(out.size());
    EXPECT_EQ(getListItems(image, listId, n, out.data()), 1);
    out.resize(static_cast<size_t>(n));
    return out;
}

Entries serviceIds(const ChannelDbImage& image) {
    Entries out;
    ChannelRecord r;
    for (int i = 0; getChannel(image, i, r) == 1; ++i) out.push_back(r.serviceId);
    return out;
}

class Records : public ::testing::Test {
protected:
    std::unique_ptr<ChannelDbImage> owned = std::make_unique<ChannelDbImage>();
    ChannelDbImage& image = *owned;
};

// Every field, the opaque ones included, comes back as it was stored.
TEST_F(Records, EveryFieldSurvivesTheStoredForm) {
    ChannelRecord r = service(0x1234, 0x5678, kProgRadio);
    r.opaque1 = 0x01020304, r.frequencyKHz = 0x05060708, r.symbolRate = 0x090A0B0C, r.annex = 0x11;
    r.opaque2 = 0x12, r.opaque3 = 0x13, r.opaque4 = 0x14, r.qam = 0x15161718, r.opaque5 = 0x191A1B1C;
    r.opaque6 = 0x1D1E1F20, r.originalNetworkId = 0xABCD, r.opaque7 = 0x2122, r.name = {'N', 'a', 'm', 'e'};
    ASSERT_EQ(addChannel(image, r), 0);
    ChannelRecord back;
    ASSERT_EQ(getChannel(image, 0, back), 1);
    EXPECT_EQ(back, r);
}

TEST_F(Records, AddKeepsIdPairsUniqueAndAppendsToTheTypeList) {
    EXPECT_EQ(addChannel(image, service(10, 1, kProgTv)), 0);
    EXPECT_EQ(addChannel(image, service(10, 2, kProgRadio)), 1);
    EXPECT_EQ(addChannel(image, service(10, 1, kProgRadio)), -1);  // the first service's ids
    EXPECT_EQ(addChannel(image, service(11, 2, kProgUnknown)), 2);
    EXPECT_EQ(addChannel(image, service(12, 2, 0)), 3);  // 0 behaves like Unknown
    EXPECT_EQ(items(image, kListTv), Entries({0}));
    EXPECT_EQ(items(image, kListRadio), Entries({1}));
    EXPECT_EQ(items(image, kListData), Entries({2, 3}));
    EXPECT_EQ(findChannel(image, service(10, 2, 0)), 1);
    EXPECT_EQ(findChannel(image, service(99, 2, 0)), -1);
}

// Services 0..3; the TV list holds them as 3, 2, 0, 1, the first default list 1 and 3, a user
// list 3 and 2.
TEST_F(Records, DeleteClosesUpRecordsAndRenumbersEveryList) {
    for (uint16_t i = 0; i < 4; ++i) ASSERT_GE(addChannel(image, service(i, 1, kProgTv)), 0);
    ASSERT_EQ(setListItems(image, kListTv, 4, Entries({3, 2, 0, 1}).data()), 1);
    int user = 0;
    ASSERT_EQ(createUserList(image, user), 1);
    for (const int i : {1, 3}) ASSERT_EQ(addToList(image, i, kListFirstDefault), 1);
    for (const int i : {3, 2}) ASSERT_EQ(addToList(image, i, user), 1);

    ASSERT_EQ(deleteChannel(image, 2), 1);  // the one before the last
    EXPECT_EQ(serviceIds(image), Entries({0, 1, 3}));
    EXPECT_EQ(items(image, kListTv), Entries({2, 0, 1}));
    EXPECT_EQ(items(image, kListFirstDefault), Entries({1, 2}));
    EXPECT_EQ(items(image, user), Entries({2}));

    ASSERT_EQ(deleteChannel(image, 0), 1);
    EXPECT_EQ(serviceIds(image), Entries({1, 3}));
    EXPECT_EQ(items(image, kListTv), Entries({1, 0}));
    EXPECT_EQ(items(image, kListFirstDefault), Entries({0, 1}));
    EXPECT_EQ(deleteChannel(image, 2), 0);
    EXPECT_EQ(deleteChannel(image, -1), 0);
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
    // A stored channel count of 1000 or more is never walked past the record array.
    writeLe32(image.bytes.data() + kChannelCountOffset, 70000);
    EXPECT_EQ(channelCount(image), 1000);
    ChannelRecord r;
    EXPECT_EQ(getChannel(image, 1000, r), 0);
    EXPECT_EQ(addChannel(image, service(77, 7, kProgTv)), -1);
}

}  // namespace
}  // namespace tovu
