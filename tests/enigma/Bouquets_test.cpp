#include "enigma/Bouquets.h"
#include "EnigmaTestSupport.h"
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

const std::string kRef = "#service 1:7:1:0:0:0:0:0:0:0:";

INSTANTIATE_TEST_SUITE_P(
    Lines, BouquetRefTest,
    testing::Values(
        RefRow{"FromBouquet", kRef + "from bouquet \"userbouquet.favourites.tv\" order by bouquet",
               "userbouquet.favourites.tv"},
        RefRow{"ReceiverPath",
               "#service: 4097:7:0:33fc5:0:0:0:0:0:0:/var/tuxbox/config/enigma/userbouquet.33fc5.tv",
               "userbouquet.33fc5.tv"},
        RefRow{"RadioBouquet", "#service 1:7:2:0:0:0:0:0:0:0:from bouquet \"userbouquet.news.radio\"",
               nullptr},
        RefRow{"PathLineWithoutServiceWord", "/var/tuxbox/config/enigma/userbouquet.dbe00.tv", nullptr},
        RefRow{"EndsWithDotTvWithoutSlash", kRef + "x.tv", nullptr},
        RefRow{"QuoteWithoutDotTvQuote", kRef + "from bouquet \"x.tvx\"", nullptr},
        RefRow{"QuotedPathKeepsOnlyItsLastComponent",
               kRef + "from bouquet \"../../etc/evil.tv\" order by bouquet", "evil.tv"}),
    RowName());

// ReadBouquet on a file of the given text; the entry's index array is released.
struct ReadResult {
    int rc = 0;
    std::string name;
    std::vector<uint16_t> items;
    std::string out;
};
ReadResult readBouquet(const std::string& text) {
    TempDir dir;
    writeText(dir, "b.tv", text);
    BouquetEntry entry;
    ReadResult r;
    r.out = capture([&] { r.rc = ReadBouquet(dir.file("b.tv").c_str(), &entry); }).out;
    r.name = entry.name;
    r.items.assign(entry.items, entry.items + entry.count);
    capture([&] { DmFree(entry.items); });
    return r;
}

TEST_F(BouquetTest, ReadsTheLastNameAndTheKnownServicesOfBothReferenceForms) {
    addServices({{0x10, 1}, {0x20, 2}, {0x30, 3}});
    const ReadResult r = readBouquet("#NAME First\n" + serviceRefLine(0x30, 3) + "#DESCRIPTION Thirty\n" +
                                     serviceRefLine(0x99, 9) + "#SERVICE: 1:0:1:10:1:1:c00000:0:0:0:\n" +
                                     serviceRefLine(0x30, 3) + "#SERVICE 1:0:1:20:2\n#NAME Sport\n");
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

}  // namespace
}  // namespace tovu::test
