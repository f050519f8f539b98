#include "enigma/Bouquets.h"
#include "EnigmaTestSupport.h"
#include "enigma/FileHelpers.h"
#include "enigma/SettingsParser.h"

#include <vector>

namespace tovu::test {
namespace {

// A sorted ServiceTable of cable services on namespace C00000, network 1.
void addServices(const std::vector<std::pair<uint16_t, uint16_t>>& sidAndTs) {
    for (const auto& [sid, ts] : sidAndTs) {
        ServiceEntry e{};
        e.serviceId = sid;
        e.transportStreamId = ts;
        e.originalNetworkId = 1;
        e.nameSpace = 0xC00000;
        e.frequencyMHz = static_cast<uint16_t>(ts);
        e.serviceType = 1;
        ASSERT_EQ(AppendService(e), 0);
    }
    SortServices();
}

std::vector<uint16_t> lockedIds() {
    std::vector<uint16_t> ids;
    for (int i = 0; i < serviceTable.count; ++i)
        if (serviceTable.entries[i].locked) ids.push_back(serviceTable.entries[i].serviceId);
    return ids;
}

struct LockRow {
    const char* name;
    std::string text;
    std::vector<uint16_t> locked;
    std::string out;
};

class LockListTest : public EnigmaTest, public testing::WithParamInterface<LockRow> {};

TEST_P(LockListTest, LocksTheNamedServices) {
    addServices({{0x6D66, 0x437}, {0x6D67, 0x437}});
    FILE* file = streamOf(GetParam().text);
    const Captured c = capture([&] { EXPECT_EQ(ReadLockList(file), 0); });
    std::fclose(file);
    EXPECT_EQ(lockedIds(), GetParam().locked);
    EXPECT_EQ(c.out, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, LockListTest,
    testing::Values(LockRow{"SevenNumbersAndMoreFields", "1:0:1:6D66:437:1:C00000:0:0:0:\n", {0x6D66}, ""},
                    LockRow{"HeaderLineWithoutColonSkipped",
                            "Parentallocked Services\n1:0:1:6d67:437:1:c00000\n",
                            {0x6D67},
                            ""},
                    LockRow{"LeadingWhiteSpace", "  \t1:0:1:6D66:437:1:C00000\n", {0x6D66}, ""},
                    LockRow{"Low16BitsOfTheIds", "1:0:1:16D66:10437:10001:C00000\n", {0x6D66}, ""},
                    LockRow{"ShortReferenceEndsTheList",
                            "1:0:1\n1:0:1:6D66:437:1:C00000\n",
                            {},
                            "locked service read failed, skip\n"},
                    LockRow{"LocksBeforeAFailureStay",
                            "1:0:1:6D67:437:1:C00000\nbad:line\n1:0:1:6D66:437:1:C00000\n",
                            {0x6D67},
                            "locked service read failed, skip\n"},
                    LockRow{"UnknownService",
                            "1:0:1:1234:437:1:D00000\n1:0:1:6D66:437:1:C00000\n",
                            {0x6D66},
                            "file \".\\services\" not include this locked service:\n"
                            " serviceID: 1234 transponderID: 437 networkID: 1 namespace: D00000\n"},
                    LockRow{"Empty", "", {}, ""}),
    RowName());

struct RefRow {
    const char* name;
    std::string line;  // lower-cased, as the lists are examined
    const char* file;  // null: names no file
};

class BouquetRefTest : public testing::TestWithParam<RefRow> {};

TEST_P(BouquetRefTest, FindsTheBouquetFileName) {
    std::string line = GetParam().line;
    const char* got = ParseBouquetRef(line.data());
    if (GetParam().file == nullptr)
        EXPECT_EQ(got, nullptr) << got;
    else
        EXPECT_STREQ(got, GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BouquetRefTest,
    testing::Values(
        RefRow{"FromBouquet",
               "#service 1:7:1:0:0:0:0:0:0:0:from bouquet \"userbouquet.favourites.tv\" order by bouquet",
               "userbouquet.favourites.tv"},
        RefRow{"ReceiverPath",
               "#service: 4097:7:0:33fc5:0:0:0:0:0:0:/var/tuxbox/config/enigma/userbouquet.33fc5.tv",
               "userbouquet.33fc5.tv"},
        RefRow{"RadioBouquet",
               "#service 1:7:2:0:0:0:0:0:0:0:from bouquet \"userbouquet.news.radio\" order by bouquet",
               nullptr},
        RefRow{"NameLine", "#name user - bouquets (tv)", nullptr},
        RefRow{"PathLineWithoutServiceWord", "/var/tuxbox/config/enigma/userbouquet.dbe00.tv", nullptr},
        RefRow{"EndsWithDotTvWithoutSlash", "#service 1:7:1:0:0:0:0:0:0:0:x.tv", nullptr},
        RefRow{"QuoteWithoutDotTvQuote", "#service 1:7:1:0:0:0:0:0:0:0:from bouquet \"x.tvx\"", nullptr},
        RefRow{"TextUpToTheFirstDotTvQuote", "#service \"a\" \"b.tv\" x", "a\" \"b.tv"},
        RefRow{"QuotedPathKeepsOnlyItsLastComponent",
               "#service 1:7:1:0:0:0:0:0:0:0:from bouquet \"../../etc/evil.tv\" order by bouquet",
               "evil.tv"}),
    RowName());

using BouquetTest = EnigmaTest;

TEST_F(BouquetTest, ReferencesFindTheFirstOfEqualServices) {
    addServices({{0x10, 1}, {0x05, 1}, {0x10, 1}, {0x10, 2}});  // sorted: 05/1, 10/1, 10/1, 10/2
    FILE* file = streamOf("1:0:1:10:1:1:C00000\n");
    capture([&] { (void)ReadLockList(file); });
    std::fclose(file);
    std::vector<int> locked;
    for (int i = 0; i < serviceTable.count; ++i) locked.push_back(serviceTable.entries[i].locked);
    EXPECT_EQ(locked, (std::vector<int>{0, 1, 0, 0}));
    ServiceRef ref{1, 0, 1, 0x10, 1, 1, 0xC00000};
    EXPECT_EQ(FindServiceByRef(ref), 1);
    ref.transportStreamId = 2;
    EXPECT_EQ(FindServiceByRef(ref), 3);
    ref.nameSpace = 0xC00001;
    EXPECT_EQ(FindServiceByRef(ref), -1);
}

TEST_F(BouquetTest, ReadsNameAndKnownServices) {
    addServices({{0x10, 1}, {0x20, 2}, {0x30, 3}});
    TempDir dir;
    writeText(dir, "b.tv",
              "#NAME Sport\n" + serviceRefLine(0x30, 3) + "#DESCRIPTION Thirty\n" + serviceRefLine(0x99, 9) +
                  serviceRefLine(0x10, 1) + serviceRefLine(0x30, 3) + "#SERVICE 1:0:1:20:2\n");
    BouquetEntry entry;
    int rc = 0;
    const Captured c = capture([&] { rc = ReadBouquet(dir.file("b.tv").c_str(), &entry); });
    EXPECT_EQ(rc, 0);
    EXPECT_STREQ(entry.name, "Sport");
    ASSERT_EQ(entry.count, 3);
    EXPECT_EQ(entry.items[0], 2);
    EXPECT_EQ(entry.items[1], 0);
    EXPECT_EQ(entry.items[2], 2);  // a service named twice stands twice
    EXPECT_EQ(c.out,
              "file \".\\services\" not include this service:\n"
              " serviceID: 99 transponderID: 9 networkID: 1 namespace: C00000\n"
              "\nbouquet: Sport\n"
              "  1       3\t favorite\n"
              "  2       1\t favorite\n"
              "  3       3\t favorite\n");
    capture([&] { DmFree(entry.items); });
}

TEST_F(BouquetTest, EnigmaOneReferencesAndLaterNames) {
    addServices({{0x10, 1}});
    TempDir dir;
    writeText(dir, "b.tv", "#NAME First\n#SERVICE: 1:0:1:10:1:1:c00000:0:0:0:\n#NAME Second\n");
    BouquetEntry entry;
    capture([&] { EXPECT_EQ(ReadBouquet(dir.file("b.tv").c_str(), &entry), 0); });
    EXPECT_STREQ(entry.name, "Second");
    EXPECT_EQ(entry.count, 1);
    capture([&] { DmFree(entry.items); });
}

TEST_F(BouquetTest, BareNameLineGivesAnEmptyName) {
    TempDir dir;
    writeText(dir, "b.tv", "#NAME");
    BouquetEntry entry;
    const Captured c = capture([&] { EXPECT_EQ(ReadBouquet(dir.file("b.tv").c_str(), &entry), 0); });
    EXPECT_STREQ(entry.name, "");
    EXPECT_EQ(entry.count, 0);
    EXPECT_EQ(c.out, "\nbouquet: \n");
    capture([&] { DmFree(entry.items); });
}

TEST_F(BouquetTest, LongNameIsCutTo32Characters) {
    TempDir dir;
    writeText(dir, "b.tv", "#NAME " + std::string(40, 'n') + "\n");
    BouquetEntry entry;
    const Captured c = capture([&] { EXPECT_EQ(ReadBouquet(dir.file("b.tv").c_str(), &entry), 0); });
    EXPECT_EQ(std::string(entry.name), std::string(32, 'n'));
    EXPECT_EQ(c.out.rfind("unicode buffer is small\n", 0), 0u);
    capture([&] { DmFree(entry.items); });
}

TEST_F(BouquetTest, StopsReadingAt300KnownServices) {
    std::vector<std::pair<uint16_t, uint16_t>> all;
    std::string text = "#NAME Many\n";
    for (uint16_t i = 0; i < 301; ++i) {
        all.push_back({static_cast<uint16_t>(0x100 + i), 7});
        text += serviceRefLine(static_cast<uint16_t>(0x100 + i), 7);
    }
    text += "#NAME Late\n";
    addServices(all);
    TempDir dir;
    writeText(dir, "b.tv", text);
    BouquetEntry entry;
    capture([&] { EXPECT_EQ(ReadBouquet(dir.file("b.tv").c_str(), &entry), 0); });
    EXPECT_EQ(entry.count, 300);
    EXPECT_STREQ(entry.name, "Many");  // the rest of the file is not read
    EXPECT_EQ(entry.items[299], 299);
    capture([&] { DmFree(entry.items); });
}

TEST_F(BouquetTest, MissingFileOrMemoryLeavesAnEmptySlot) {
    TempDir dir;
    const std::string path = dir.file("absent.tv");
    BouquetEntry entry;
    Captured c = capture([&] { EXPECT_EQ(ReadBouquet(path.c_str(), &entry), -1); });
    // The released index array was the pool's only block.
    EXPECT_EQ(c.out, "file open failed: PATH " + path + " MODE rb\ncan not open file \"" + path +
                         "\" SKIP!\nDM: no dynamic memory now\n\n");
    EXPECT_EQ(entry.items, nullptr);
    EXPECT_EQ(entry.count, 0);
    DmFailAfter(0);
    c = capture([&] { EXPECT_EQ(ReadBouquet(path.c_str(), &entry), -1); });
    EXPECT_EQ(c.out, "DM: malloc failed\nmalloc memory for bouquet failed\n");
    EXPECT_EQ(entry.items, nullptr);
}

TEST_F(BouquetTest, ListNamesFilesInMixedCaseAndKeepsSlotsOfMissingFiles) {
    addServices({{0x10, 1}});
    TempDir dir;
    const std::string folder = dir.path().string();
    writeText(dir, "BOUQUETS.TV",
              "#NAME User - bouquets (TV)\r\n"
              "#SERVICE 1:7:1:0:0:0:0:0:0:0:FROM BOUQUET \"userbouquet.Sport.tv\" ORDER BY bouquet\r\n"
              "#SERVICE 1:7:1:0:0:0:0:0:0:0:FROM BOUQUET \"userbouquet.gone.tv\" ORDER BY bouquet\r\n"
              "#SERVICE 1:7:2:0:0:0:0:0:0:0:FROM BOUQUET \"userbouquet.news.radio\" ORDER BY bouquet\r\n"
              "#SERVICE 1:7:1:0:0:0:0:0:0:0:FROM BOUQUET \"userbouquet.news.tv\" ORDER BY bouquet\r\n");
    writeText(dir, "userbouquet.Sport.tv", "#NAME Sport\n" + serviceRefLine(0x10, 1));
    writeText(dir, "userbouquet.news.tv", "#NAME News\n");
    int tv = 0;
    int radio = 0;
    capture([&] { EXPECT_EQ(CountBouquets(folder.c_str(), &tv, &radio), 0); });
    EXPECT_EQ(tv, 3);
    EXPECT_EQ(radio, 0);

    std::vector<BouquetEntry> slots(3);
    int capacity = 3;
    FILE* list = nullptr;
    capture([&] { list = OpenTvBouquetList(folder.c_str()); });
    ASSERT_NE(list, nullptr);
    const Captured c = capture([&] { ReadBouquetList(folder.c_str(), list, slots.data(), &capacity); });
    FileClose(list);
    EXPECT_EQ(capacity, 3);
    EXPECT_STREQ(slots[0].name, "Sport");
    EXPECT_EQ(slots[0].count, 1);
    EXPECT_STREQ(slots[1].name, "");
    EXPECT_EQ(slots[1].items, nullptr);
    EXPECT_STREQ(slots[2].name, "News");
    EXPECT_NE(c.out.find("can not open file \"" + folder + "/userbouquet.gone.tv\" SKIP!\n"),
              std::string::npos);
    capture([&] {
        DmFree(slots[0].items);
        DmFree(slots[2].items);
    });
}

TEST_F(BouquetTest, ListReadingStopsAtCapacityAndAtOverlongLines) {
    TempDir dir;
    const std::string folder = dir.path().string();
    const std::string ref =
        "#SERVICE 1:7:1:0:0:0:0:0:0:0:FROM BOUQUET \"userbouquet.a.tv\" ORDER BY bouquet\n";
    writeText(dir, "userbouquets.tv.epl", ref + ref + "#" + std::string(520, 'x') + "\n" + ref);
    writeText(dir, "bouquets.tv", ref);  // the .epl list comes first
    writeText(dir, "userbouquet.a.tv", "#NAME A\n");
    int tv = 0;
    int radio = 0;
    const Captured counted = capture([&] { EXPECT_EQ(CountBouquets(folder.c_str(), &tv, &radio), 0); });
    EXPECT_EQ(tv, 2);
    EXPECT_NE(counted.out.find("string buffer small\n"), std::string::npos);

    BouquetEntry slot{};
    int capacity = 1;
    FILE* list = nullptr;
    capture([&] {
        list = OpenTvBouquetList(folder.c_str());
        ReadBouquetList(folder.c_str(), list, &slot, &capacity);
        FileClose(list);
    });
    EXPECT_EQ(capacity, 1);
    EXPECT_STREQ(slot.name, "A");
    capture([&] { DmFree(slot.items); });
    EXPECT_EQ(CountBouquets(nullptr, &tv, &radio), -1);
    EXPECT_EQ(CountBouquets(folder.c_str(), nullptr, &radio), -1);
}

TEST_F(BouquetTest, MissingListsReportBothNamesAndLeaveTheCounts) {
    TempDir dir;
    const std::string folder = dir.path().string();
    int tv = 0;
    int radio = 0;
    const Captured c = capture([&] { EXPECT_EQ(CountBouquets(folder.c_str(), &tv, &radio), 0); });
    EXPECT_EQ(tv, 0);
    EXPECT_EQ(radio, 0);
    EXPECT_EQ(c.out, "file open failed: PATH " + folder + "/userbouquets.tv.epl MODE rb\n" +
                         "file open failed: PATH " + folder + "/bouquets.tv MODE rb\n" +
                         "file open failed: PATH " + folder + "/userbouquets.radio.epl MODE rb\n" +
                         "file open failed: PATH " + folder + "/bouquets.radio MODE rb\n");
}

}  // namespace
}  // namespace tovu::test
