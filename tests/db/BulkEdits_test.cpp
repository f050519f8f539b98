#include "db/BulkEdits.h"
#include "db/FavLists.h"
#include "db/NameCodec.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace tovu {
namespace {

// Each service as "name type" (L before the type: locked), then the TV, Radio, Data and first
// favourite lists.
std::string describe(const ChannelDbImage& image) {
    std::string out;
    for (int i = 0; i < channelCount(image); ++i) {
        ChannelRecord r;
        EXPECT_EQ(getChannel(image, i, r), 1);
        out += nameToUtf8(r.name.data(), kNameSize) + (r.flags & kFlagLocked ? " L" : " ") +
               std::to_string(r.progType()) + ", ";
    }
    for (const int list : {kListTv, kListRadio, kListData, kListFirstDefault}) {
        uint16_t items[kTvCapacity];
        int n = static_cast<int>(kTvCapacity);
        EXPECT_EQ(getListItems(image, list, n, items), 1);
        out += "|";
        for (int k = 0; k < n; ++k) out += std::to_string(items[k]);
    }
    return out;
}

struct BulkCase {
    const char* name;
    std::function<int(ChannelDbImage&)> edit;
    int changed;
    std::string after;
};

class BulkEdits : public testing::TestWithParam<BulkCase> {};

// Services 0 and 1 are TV, 2 radio, 3 in the Data list with a name that has no text form;
// favourite list 1 holds 1 and 3.
TEST_P(BulkEdits, ChangeOnlyTheGivenServicesAndKeepTheListsInStep) {
    auto image = std::make_unique<ChannelDbImage>();
    const std::string names[] = {utf8ToName("BBC One"), "BBC Two", utf8ToName("BBC 中文"), "\xFF BBC"};
    const uint32_t types[] = {kProgTv, kProgTv, kProgRadio, kProgUnknown};
    for (int i = 0; i < 4; ++i) {
        ChannelRecord r;
        r.serviceId = static_cast<uint16_t>(i + 1);
        r.flags = types[i] << kProgTypeShift;
        std::copy(names[i].begin(), names[i].end(), r.name.begin());
        ASSERT_EQ(addChannel(*image, r), i);
    }
    for (const int service : {1, 3}) ASSERT_EQ(addToList(*image, service, kListFirstDefault), 1);
    EXPECT_EQ(GetParam().edit(*image), GetParam().changed);
    EXPECT_EQ(describe(*image), GetParam().after);
}

using V = std::vector<int>;
const std::string k27(27, 'A'), k28(28, 'A');
INSTANTIATE_TEST_SUITE_P(
    Edits, BulkEdits,
    testing::Values(BulkCase{"LockSkippingBadIndexes",
                             [](auto& im) {
                                 return setChannelsFlag(im, V{0, 2, 7, -1}, kFlagLocked, true);
                             },
                             2, "BBC One L1, BBC Two 1, BBC 中文 L2, \uFFFD BBC 3, |01|2|3|13"},
                    BulkCase{"TvToRadioGoesToTheEndInIndexOrder",
                             [](auto& im) {
                                 return setChannelsProgType(im, V{1, 0, 2}, kProgRadio);
                             },
                             2, "BBC One 2, BBC Two 2, BBC 中文 2, \uFFFD BBC 3, ||210|3|13"},
                    BulkCase{"ReplaceInTheGivenNamesOnlySkippingBytesWithoutText",
                             [](auto& im) {
                                 return replaceInNames(im, V{0, 2, 3}, "BBC", "ZDF");
                             },
                             2, "ZDF One 1, BBC Two 1, ZDF 中文 2, \uFFFD BBC 3, |01|2|3|13"},
                    BulkCase{"ReplacementFillsThirtyTwoBytes",
                             [](auto& im) { return replaceInNames(im, V{2}, "BBC", k27); }, 1,
                             "BBC One 1, BBC Two 1, " + k27 + " 中文 2, \uFFFD BBC 3, |01|2|3|13"},
                    BulkCase{"ReplacementCutBeforeACharacterThatDoesNotFit",
                             [](auto& im) { return replaceInNames(im, V{2}, "BBC", k28); }, 1,
                             "BBC One 1, BBC Two 1, " + k28 + " 中 2, \uFFFD BBC 3, |01|2|3|13"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu
