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

using BouquetTest = EnigmaTest;

TEST_F(BouquetTest, LockListLocksTheNamedServicesUntilAMalformedLine) {
    // Sorted: 6D66/437 twice, 6D67/437, 6D68/437, 6D66/438; a reference finds the first of equal ones.
    addServices({{0x6D66, 0x438}, {0x6D66, 0x437}, {0x6D67, 0x437}, {0x6D68, 0x437}, {0x6D66, 0x437}});
    FILE* file = streamOf(
        "Parentallocked Services\n"                // no colon: skipped
        "1:0:1:16D66:10437:10001:C00000:0:0:0:\n"  // the low 16 bits of the ids count
        "  \t1:0:1:6d67:437:1:c00000\n"
        "1:0:1:1234:437:1:D00000\n"
        "1:0:1\n"
        "1:0:1:6D68:437:1:C00000\n");
    const Captured c = capture([&] { EXPECT_EQ(ReadLockList(file), 0); });
    std::fclose(file);
    std::vector<int> locked;
    for (int i = 0; i < serviceTable.count; ++i) locked.push_back(serviceTable.entries[i].locked);
    EXPECT_EQ(locked, (std::vector<int>{1, 0, 1, 0, 0}));
    EXPECT_EQ(c.out,
              "file \".\\services\" not include this locked service:\n"
              " serviceID: 1234 transponderID: 437 networkID: 1 namespace: D00000\n"
              "locked service read failed, skip\n");
}

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
        RefRow{"PathLineWithoutServiceWord", "/var/tuxbox/config/enigma/userbouquet.dbe00.tv", nullptr},
        RefRow{"EndsWithDotTvWithoutSlash", "#service 1:7:1:0:0:0:0:0:0:0:x.tv", nullptr},
        RefRow{"QuoteWithoutDotTvQuote", "#service 1:7:1:0:0:0:0:0:0:0:from bouquet \"x.tvx\"", nullptr},
        RefRow{"TextUpToTheFirstDotTvQuote", "#service \"a\" \"b.tv\" x", "a\" \"b.tv"},
        RefRow{"QuotedPathKeepsOnlyItsLastComponent",
               "#service 1:7:1:0:0:0:0:0:0:0:from bouquet \"../../etc/evil.tv\" order by bouquet",
               "evil.tv"}),
    RowName());

// ReadBouquet on a file of the given text (null: no file); the entry's index array is released.
struct ReadResult {
    int rc = 0;
    std::string name;
    std::vector<uint16_t> items;
    bool hasItems = false;
    std::string out, path;
};
ReadResult readBouquet(const char* text) {
    TempDir dir;
    const std::string path = dir.file("b.tv");
    if (text != nullptr) writeText(dir, "b.tv", text);
    BouquetEntry entry;
    ReadResult r;
    r.path = path;
    r.out = capture([&] { r.rc = ReadBouquet(path.c_str(), &entry); }).out;
    r.name = entry.name;
    r.hasItems = entry.items != nullptr;
    if (r.hasItems) r.items.assign(entry.items, entry.items + entry.count);
    capture([&] { DmFree(entry.items); });
    return r;
}

TEST_F(BouquetTest, ReadsTheLastNameAndTheKnownServicesOfBothReferenceForms) {
    addServices({{0x10, 1}, {0x20, 2}, {0x30, 3}});
    const ReadResult r = readBouquet(("#NAME First\n" + serviceRefLine(0x30, 3) + "#DESCRIPTION Thirty\n" +
                                      serviceRefLine(0x99, 9) + "#SERVICE: 1:0:1:10:1:1:c00000:0:0:0:\n" +
                                      serviceRefLine(0x30, 3) + "#SERVICE 1:0:1:20:2\n#NAME Sport\n")
                                         .c_str());
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.name, "Sport");
    EXPECT_EQ(r.items, (std::vector<uint16_t>{2, 0, 2}));  // a service named twice stands twice
    EXPECT_EQ(r.out,
              "file \".\\services\" not include this service:\n"
              " serviceID: 99 transponderID: 9 networkID: 1 namespace: C00000\n"
              "\nbouquet: Sport\n"
              "  1       3\t favorite\n"
              "  2       1\t favorite\n"
              "  3       3\t favorite\n");
}

TEST_F(BouquetTest, BareNameLineGivesAnEmptyNameAndLongNamesAreCutTo32Characters) {
    ReadResult r = readBouquet("#NAME");
    EXPECT_EQ(r.name, "");
    EXPECT_TRUE(r.hasItems);
    EXPECT_EQ(r.out, "\nbouquet: \n");
    r = readBouquet(("#NAME " + std::string(40, 'n') + "\n").c_str());
    EXPECT_EQ(r.name, std::string(32, 'n'));
    EXPECT_EQ(r.out, "unicode buffer is small\n\nbouquet: " + std::string(32, 'n') + "\n");
}

TEST_F(BouquetTest, StopsReadingAt300KnownServices) {
    std::vector<std::pair<uint16_t, uint16_t>> all;
    std::string text = "#NAME Many\n";
    for (uint16_t i = 0; i < 301; ++i) {
        all.push_back({static_cast<uint16_t>(0x100 + i), 7});
        text += serviceRefLine(static_cast<uint16_t>(0x100 + i), 7);
    }
    addServices(all);
    const ReadResult r = readBouquet((text + "#NAME Late\n").c_str());
    ASSERT_EQ(r.items.size(), 300u);
    EXPECT_EQ(r.name, "Many");  // the rest of the file is not read
    EXPECT_EQ(r.items[299], 299);
}

TEST_F(BouquetTest, MissingFileOrMemoryLeavesAnEmptySlot) {
    ReadResult r = readBouquet(nullptr);
    EXPECT_EQ(r.rc, -1);
    EXPECT_FALSE(r.hasItems);
    // The released index array was the pool's only block.
    EXPECT_EQ(r.out, "file open failed: PATH " + r.path + " MODE rb\ncan not open file \"" + r.path +
                         "\" SKIP!\nDM: no dynamic memory now\n\n");
    DmFailAfter(0);
    r = readBouquet("#NAME A\n");
    EXPECT_EQ(r.rc, -1);
    EXPECT_FALSE(r.hasItems);
    EXPECT_EQ(r.out, "DM: malloc failed\nmalloc memory for bouquet failed\n");
}

TEST_F(BouquetTest, ListsNameFilesInMixedCaseAndStopAtCapacityAndAtOverlongLines) {
    addServices({{0x10, 1}});
    TempDir dir;
    const std::string folder = dir.path().string();
    const auto ref = [](const char* file) {
        return std::string("#SERVICE 1:7:1:0:0:0:0:0:0:0:FROM BOUQUET \"") + file + "\" ORDER BY bouquet\r\n";
    };
    writeText(dir, "userbouquets.tv.epl",
              "#NAME User - bouquets (TV)\r\n" + ref("userbouquet.Sport.tv") + ref("userbouquet.gone.tv") +
                  ref("userbouquet.news.radio") + ref("userbouquet.news.tv") + "#" + std::string(520, 'x') +
                  "\n" + ref("userbouquet.late.tv"));
    writeText(dir, "Bouquets.tv", ref("userbouquet.news.tv"));  // the .epl list comes first
    writeText(dir, "userbouquet.Sport.tv", "#NAME Sport\n" + serviceRefLine(0x10, 1));
    writeText(dir, "userbouquet.news.tv", "#NAME News\n");
    writeText(dir, "userbouquet.late.tv", "#NAME Late\n");
    int tv = 0;
    int radio = 7;
    const Captured counted = capture([&] { EXPECT_EQ(CountBouquets(folder.c_str(), &tv, &radio), 0); });
    EXPECT_EQ(tv, 3);
    EXPECT_EQ(radio, 7);  // no radio list: the count stays
    EXPECT_NE(counted.out.find("string buffer small\n"), std::string::npos);
    EXPECT_EQ(CountBouquets(nullptr, &tv, &radio), -1);
    EXPECT_EQ(CountBouquets(folder.c_str(), nullptr, &radio), -1);

    // A list that names more bouquets than there are slots fills only the slots.
    for (int capacity : {3, 2}) {
        std::vector<BouquetEntry> slots(static_cast<size_t>(capacity));
        int used = capacity;
        const Captured c = capture([&] {
            FILE* list = OpenTvBouquetList(folder.c_str());
            ReadBouquetList(folder.c_str(), list, slots.data(), &used);
            FileClose(list);
        });
        EXPECT_EQ(used, capacity);
        EXPECT_STREQ(slots[0].name, "Sport");
        EXPECT_EQ(slots[0].count, 1);
        EXPECT_STREQ(slots[1].name, "");
        EXPECT_EQ(slots[1].items, nullptr);
        EXPECT_NE(c.out.find("can not open file \"" + folder + "/userbouquet.gone.tv\" SKIP!\n"),
                  std::string::npos);
        if (capacity == 3) {
            EXPECT_STREQ(slots[2].name, "News");
        }
        capture([&] {
            for (BouquetEntry& slot : slots)
                if (slot.items != nullptr) DmFree(slot.items);
        });
    }
}

}  // namespace
}  // namespace tovu::test
