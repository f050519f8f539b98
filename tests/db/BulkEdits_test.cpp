#include "db/BulkEdits.h"
#include "db/FavLists.h"
#include "db/NameCodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tovu {
namespace {

struct BulkCase {
    const char* name;
    std::function<int(ChannelDbImage&)> edit;
    int changed;
    std::vector<std::string> names;  // of services 0..3 afterwards
    std::vector<int> tv, radio, data;
    std::vector<uint32_t> flags = {};  // of services 0..3 without the type bits; empty: unchanged
};

std::vector<int> entries(const ChannelDbImage& image, int listId) {
    uint16_t items[kTvCapacity];
    int n = static_cast<int>(kTvCapacity);
    EXPECT_EQ(getListItems(image, listId, n, items), 1);
    return {items, items + n};
}

class BulkEdits : public testing::TestWithParam<BulkCase> {};

// Services 0 and 1 are TV, 2 radio, 3 in the Data list; favourite list 1 holds 1 and 3.
TEST_P(BulkEdits, ChangeOnlyTheGivenServicesAndKeepTheListsInStep) {
    const BulkCase& c = GetParam();
    auto image = std::make_unique<ChannelDbImage>();
    const char* const names[] = {"BBC One", "BBC Two", "BBC 中文", "\xFF\xFE BBC"};
    const uint32_t types[] = {kProgTv, kProgTv, kProgRadio, kProgUnknown};
    for (int i = 0; i < 4; ++i) {
        ChannelRecord r;
        r.serviceId = static_cast<uint16_t>(i + 1);
        r.flags = types[i] << kProgTypeShift;
        const std::string bytes = i == 3 ? names[i] : utf8ToName(names[i]);
        std::memcpy(r.name.data(), bytes.data(), bytes.size());
        ASSERT_EQ(addChannel(*image, r), i);
    }
    ASSERT_EQ(addToList(*image, 1, kListFirstDefault), 1);
    ASSERT_EQ(addToList(*image, 3, kListFirstDefault), 1);

    EXPECT_EQ(c.edit(*image), c.changed);
    for (int i = 0; i < 4; ++i) {
        ChannelRecord r;
        ASSERT_EQ(getChannel(*image, i, r), 1);
        const std::string stored(reinterpret_cast<const char*>(r.name.data()),
                                 strnlen(reinterpret_cast<const char*>(r.name.data()), kNameSize));
        EXPECT_EQ(i == 3 ? stored : nameToUtf8(stored), c.names[static_cast<size_t>(i)]) << i;
        if (!c.flags.empty()) {
            EXPECT_EQ(r.flags & ~kProgTypeMask, c.flags[static_cast<size_t>(i)]) << i;
        }
    }
    EXPECT_EQ(entries(*image, kListTv), c.tv);
    EXPECT_EQ(entries(*image, kListRadio), c.radio);
    EXPECT_EQ(entries(*image, kListData), c.data);
    EXPECT_EQ(entries(*image, kListFirstDefault), std::vector<int>({1, 3}));
}

const std::vector<std::string> kNames = {"BBC One", "BBC Two", "BBC 中文", "\xFF\xFE BBC"};
const std::string k27(27, 'A'), k28(28, 'A');

INSTANTIATE_TEST_SUITE_P(
    Edits, BulkEdits,
    testing::Values(
        BulkCase{"LockSomeSkippingBadIndexes",
                 [](ChannelDbImage& im) {
                     return setChannelsFlag(im, std::vector{0, 2, 7, -1}, kFlagLocked, true);
                 },
                 2,
                 kNames,
                 {0, 1},
                 {2},
                 {3},
                 {kFlagLocked, 0, kFlagLocked, 0}},
        BulkCase{"ClearingAClearFlagChangesNothing",
                 [](ChannelDbImage& im) {
                     return setChannelsFlag(im, std::vector{0, 1}, kFlagSubtitle, false);
                 },
                 0,
                 kNames,
                 {0, 1},
                 {2},
                 {3},
                 {0, 0, 0, 0}},
        BulkCase{
            "DescrambledOn",
            [](ChannelDbImage& im) { return setChannelsFlag(im, std::vector{3}, kFlagDescrambled, true); },
            1,
            kNames,
            {0, 1},
            {2},
            {3},
            {0, 0, 0, kFlagDescrambled}},
        BulkCase{"TvToRadioGoesToTheEndInIndexOrder",
                 [](ChannelDbImage& im) {
                     return setChannelsProgType(im, std::vector{1, 0, 2}, kProgRadio);
                 },
                 2,
                 kNames,
                 {},
                 {2, 1, 0},
                 {3}},
        BulkCase{"ToDataWhileAlreadyUnknownStays",
                 [](ChannelDbImage& im) {
                     return setChannelsProgType(im, std::vector{0, 3}, kProgUnknown);
                 },
                 1,
                 kNames,
                 {1},
                 {2},
                 {3, 0}},
        BulkCase{"ReplaceInTheGivenNamesOnly",
                 [](ChannelDbImage& im) {
                     return replaceInNames(im, std::vector{0, 2, 3}, "BBC", "ZDF");
                 },
                 2,
                 {"ZDF One", "BBC Two", "ZDF 中文", "\xFF\xFE BBC"},
                 {0, 1},
                 {2},
                 {3}},
        BulkCase{"ReplacementFillsThirtyTwoBytes",
                 [](ChannelDbImage& im) { return replaceInNames(im, std::vector{2}, "BBC", k27); },
                 1,
                 {"BBC One", "BBC Two", k27 + " 中文", "\xFF\xFE BBC"},
                 {0, 1},
                 {2},
                 {3}},
        BulkCase{"ReplacementCutBeforeACharacterThatDoesNotFit",
                 [](ChannelDbImage& im) { return replaceInNames(im, std::vector{2}, "BBC", k28); },
                 1,
                 {"BBC One", "BBC Two", k28 + " 中", "\xFF\xFE BBC"},
                 {0, 1},
                 {2},
                 {3}},
        BulkCase{"ReplaceWithNothing",
                 [](ChannelDbImage& im) {
                     return replaceInNames(im, std::vector{0, 1}, "BBC ", "");
                 },
                 2,
                 {"One", "Two", "BBC 中文", "\xFF\xFE BBC"},
                 {0, 1},
                 {2},
                 {3}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu
