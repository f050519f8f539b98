// kdattool diff between the demo database and changed copies of it.
#include "db/ChannelRecord.h"
#include "db/DbStore.h"
#include "db/FavLists.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace tovu {
namespace {

void change(ChannelDbImage& image, int index, void (*edit)(ChannelRecord&)) {
    ChannelRecord r;
    ASSERT_EQ(getChannel(image, index, r), 1);
    edit(r);
    ASSERT_EQ(setChannel(image, index, r), 1);
}

struct DiffCase {
    const char* name;
    void (*changeB)(ChannelDbImage&);  // none: the files are equal
    const char* out;
};

class KdattoolDiff : public testing::TestWithParam<DiffCase> {};

TEST_P(KdattoolDiff, PrintsWhatChangedInTheEditorsTexts) {
    const DiffCase& c = GetParam();
    test::TempDir dir;
    const std::string tool = TOVU_BINARY_DIR "/bin/kdattool ";
    const std::string a = dir.file("a.kdat"), b = dir.file("b.kdat");
    ASSERT_EQ(test::runCommand(tool + "demo '" + a + "'").status, 0);
    auto image = std::make_unique<ChannelDbImage>();
    ASSERT_EQ(loadDbFromPath(*image, a), LoadResult::Loaded);
    if (c.changeB) c.changeB(*image);
    ASSERT_EQ(saveDbToPath(*image, b), SaveResult::Saved);
    const auto run = test::runCommand(tool + "diff '" + a + "' '" + b + "'");
    EXPECT_EQ(run.status, c.changeB ? 1 : 0);
    EXPECT_EQ(run.out, c.out);
}

// A control character in a name prints as '?'.
void changeFields(ChannelDbImage& image) {
    change(image, 1, [](ChannelRecord& r) {
        r.name = {};
        std::memcpy(r.name.data(), "CCTV-2\037Finance", 14);
        r.frequencyKHz = 482000;
        r.flags |= kFlagLocked;
    });
    change(image, 2, [](ChannelRecord& r) { r.opaque1 = 7; });
}

void changeLists(ChannelDbImage& image) {
    uint16_t tv[kTvCapacity];
    int count = kTvCapacity;
    ASSERT_EQ(getListItems(image, kListTv, count, tv), 1);
    std::swap(tv[0], tv[1]);
    ASSERT_EQ(setListItems(image, kListTv, count, tv), 1);
    ASSERT_EQ(setListName(image, 3, reinterpret_cast<const uint8_t*>("Nachrichten\0\0\0\0\0\0\0\0")), 1);
    ASSERT_EQ(removeFromList(image, 0, 3), 1);
    ASSERT_EQ(addToList(image, 1, 4), 1);
    ASSERT_EQ(deleteUserList(image, kListFirstUser), 1);
}

// The later services move up a place; they are still matched by their ids, and an entry added
// to a list is named from B.
void deleteFirstService(ChannelDbImage& image) {
    ASSERT_EQ(deleteChannel(image, 0), 1);
    ASSERT_EQ(addToList(image, 0, 4), 1);
}

INSTANTIATE_TEST_SUITE_P(Changes, KdattoolDiff,
                         testing::Values(DiffCase{"Equal", nullptr,
                                                  "0 only in A, 0 only in B, 0 changed, 0 lists differ\n"},
                                         DiffCase{"Fields", changeFields,
                                                  "changed: 102/1/1 \"CCTV-2 财经\"\n"
                                                  "  Name: \"CCTV-2 财经\" -> \"CCTV-2?Finance\"\n"
                                                  "  Frequency: 474000 KHz -> 482000 KHz\n"
                                                  "  Parent Lock: UnLocked -> Locked\n"
                                                  "changed: 103/1/1 \"CCTV-3 综艺\"\n"
                                                  "  Other record bytes differ\n"
                                                  "0 only in A, 0 only in B, 2 changed, 0 lists differ\n"},
                                         DiffCase{"Lists", changeLists,
                                                  "list 0 TV List: order differs\n"
                                                  "list 3 \"Nachrichten\": name \"News\" -> \"Nachrichten\"\n"
                                                  "list 3 \"Nachrichten\": removed 101/1/1 \"CCTV-1 综合\"\n"
                                                  "list 4 \"电影 Movies\": added 102/1/1 \"CCTV-2 财经\"\n"
                                                  "list 9 \"Kids\": only in A\n"
                                                  "list 9 \"Kids\": removed 114/4/1 \"CCTV-14 少儿\"\n"
                                                  "list 9 \"Kids\": removed 303/7/1 \"Kids Cartoon\"\n"
                                                  "0 only in A, 0 only in B, 0 changed, 4 lists differ\n"},
                                         DiffCase{"ServiceDeleted", deleteFirstService,
                                                  "only in A: 101/1/1 \"CCTV-1 综合\"\n"
                                                  "list 0 TV List: removed 101/1/1 \"CCTV-1 综合\"\n"
                                                  "list 3 \"News\": removed 101/1/1 \"CCTV-1 综合\"\n"
                                                  "list 4 \"电影 Movies\": added 102/1/1 \"CCTV-2 财经\"\n"
                                                  "1 only in A, 0 only in B, 0 changed, 3 lists differ\n"}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu
