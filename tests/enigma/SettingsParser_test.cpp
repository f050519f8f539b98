#include "enigma/SettingsParser.h"
#include "EnigmaTestSupport.h"
#include "enigma/ScanFields.h"

#include <vector>

namespace tovu::test {
namespace {

// Reads settings text as the import does: both sections, then the sort.
Captured parseSettings(const std::string& text) {
    FILE* file = streamOf(text);
    const Captured c = capture([&] {
        (void)TranspondersSection(file);
        (void)ServicesSection(file);
        SortServices();
    });
    std::fclose(file);
    return c;
}

// The quick reader of settings lines gives every hex digit its value, as sscanf does.
TEST(ScanFieldsTest, ReadsEveryHexDigit) {
    unsigned v[3] = {};
    EXPECT_EQ(ScanFields("01234567:89ABCDEF:abcdef", "%x:%x:%x", &v[0], &v[1], &v[2]), 3);
    EXPECT_EQ(std::vector<unsigned>(v, v + 3), (std::vector<unsigned>{0x01234567, 0x89ABCDEF, 0xABCDEF}));
}

struct TransponderRow {
    const char* name;
    const char* dataLine;
    int mhz, ks, modulation, orbital, cable;
    const char* notes;  // standard error
};

class TransponderTest : public EnigmaTest, public testing::WithParamInterface<TransponderRow> {};

// Frequencies and symbol rates are rounded half up to MHz and kS/s, each rounding noted.
TEST_P(TransponderTest, ConvertsUnitsAndSendsRoundingNotes) {
    const TransponderRow& row = GetParam();
    lastTransponderIsCable = 1 - row.cable;
    const Captured c =
        parseSettings(std::string("transponders\n00c00000:0001:0001\n") + row.dataLine + "\n/\nend\n");
    EXPECT_EQ(c.out, "");
    EXPECT_EQ(c.err, row.notes);
    ASSERT_EQ(transponderTable.count, 1);
    const TransponderEntry& t = transponderTable.entries[0];
    EXPECT_EQ(std::vector<int>(
                  {t.frequencyMHz, t.symbolRateKs, t.modulation, t.orbitalPosition, lastTransponderIsCable}),
              std::vector<int>({row.mhz, row.ks, row.modulation, row.orbital, row.cable}));
}

INSTANTIATE_TEST_SUITE_P(
    DataLines, TransponderTest,
    testing::Values(TransponderRow{"CableWithoutTabSymbolRateRoundsUp", "c 346000:6874500:2:5", 346, 6875, 5,
                                   0, 1, "SAT(   0)  freq   346000     346   symb  6874500 >  6875\n"},
                    TransponderRow{"JustBelowHalf", "\tc 346499:6875499:2:3:0:0:0", 346, 6875, 3, 0, 1, ""},
                    TransponderRow{"BothRoundFrequencyFirst", "\tc 346500:6874500:2:4", 347, 6875, 4, 0, 1,
                                   "SAT(   0)  freq   346500 >   347   symb  6874500    6874\n"
                                   "SAT(   0)  freq   346500     347   symb  6874500 >  6875\n"},
                    TransponderRow{"SatelliteEastWithPlusSign", "\ts 11362000:22000000:1:2:+192:2:0", 11362,
                                   22000, 0, 192, 0, ""},
                    TransponderRow{"SatelliteWestRounds", "\ts 10714750:22000000:0:2:-50", 10715, 22000, 0,
                                   -50, 0, "SAT( -50)  freq 10714750 > 10715   symb 22000000   22000\n"},
                    TransponderRow{"UpperCaseSIsSatelliteWithoutValues", "\tS 11362000:22000000:1:2:192", 0,
                                   0, 0, 0, 0, ""},
                    TransponderRow{"TerrestrialCountsAsCableWithoutValues", "\tt 474000000:2:1:0:0:0:0", 0, 0,
                                   0, 0, 1, ""}),
    RowName());

using SettingsParserTest = EnigmaTest;

TEST_F(SettingsParserTest, ServicesOfACrLfFileFindTheFirstTransponderOfTheirKeyOrAreDropped) {
    // The first transponder ends with a line that is not "/": it is kept all the same.
    std::string text;
    for (char ch : lamedbText(
             "00c00000:0001:0001\n\tc 346000:6875000:2:3\nx\n" + cableTransponder(0xC00000, 1, 1, 474000),
             serviceText(1, 0xD00000, 1, 1, 1, "Other namespace") +
                 serviceText(2, 0xC00000, 1, 1, 1, "Kept")))
        text += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    const Captured c = parseSettings(text);
    EXPECT_EQ(c.out, "transponder line 3 not start with /can not find the transponder for service\n");
    EXPECT_EQ(transponderTable.count, 2);
    ASSERT_EQ(serviceTable.count, 1);
    EXPECT_EQ(serviceTable.entries[0].serviceId, 2);
    EXPECT_EQ(serviceTable.entries[0].frequencyMHz, 346);
    EXPECT_STREQ(serviceTable.entries[0].name, "Kept");
}

struct TruncatedRow {
    const char* name;
    std::string text;
    int transponders, services;
    std::string out;
};

class TruncatedFileTest : public EnigmaTest, public testing::WithParamInterface<TruncatedRow> {};

TEST_P(TruncatedFileTest, EndOfFileInsideAnEntryKeepsTheEntriesBeforeIt) {
    const Captured c = parseSettings(GetParam().text);
    EXPECT_EQ(c.out, GetParam().out);
    EXPECT_EQ(transponderTable.count, GetParam().transponders);
    EXPECT_EQ(serviceTable.count, GetParam().services);
}

const std::string kOneTransponder = "transponders\n" + cableTransponder(0xC00000, 1, 1, 346000);
const std::string kOneService = serviceText(1, 0xC00000, 1, 1, 1, "A");

INSTANTIATE_TEST_SUITE_P(
    Files, TruncatedFileTest,
    testing::Values(TruncatedRow{"TransponderLine2", kOneTransponder + "00c00000:0002:0001\n", 1, 0,
                                 "transponder line 2 failed\n"},
                    TruncatedRow{"ServiceLine3",
                                 kOneTransponder + "end\nservices\n" + kOneService +
                                     "0002:00c00000:0001:0001:1:0\nB\n",
                                 1, 1, "service line 3 failed\n"},
                    TruncatedRow{"NoServicesWord", kOneTransponder + "end\n", 1, 0, ""},
                    TruncatedRow{"NoTranspondersWord",
                                 "eDVB services /4/\nservices\n" + kOneService + "end\n", 0, 0, ""}),
    RowName());

// Services are ordered by orbital position (signed), then frequency; runs of one frequency by id.
TEST_F(SettingsParserTest, SortsByPositionThenFrequencyThenServiceIdWithinOneFrequency) {
    struct Keys {
        int16_t orbital;
        uint16_t mhz, sid;
        bool operator==(const Keys&) const = default;
    };
    const auto sorted = [](const std::vector<Keys>& in) {
        capture([] { ReleaseServiceTable(); });
        for (const Keys& k : in) {
            ServiceEntry e{};
            e.orbitalPosition = k.orbital;
            e.frequencyMHz = k.mhz;
            e.serviceId = k.sid;
            EXPECT_EQ(AppendService(e), 0);
        }
        SortServices();
        std::vector<Keys> out;
        for (int i = 0; i < serviceTable.count; ++i) {
            const ServiceEntry& s = serviceTable.entries[i];
            out.push_back({s.orbitalPosition, s.frequencyMHz, s.serviceId});
        }
        return out;
    };
    EXPECT_EQ(sorted({{0, 474, 5}, {0, 346, 9}, {0, 346, 2}}),
              (std::vector<Keys>{{0, 346, 2}, {0, 346, 9}, {0, 474, 5}}));
    EXPECT_EQ(sorted({{192, 11000, 1}, {-50, 12000, 1}, {0, 10000, 1}, {192, 10000, 3}}),
              (std::vector<Keys>{{-50, 12000, 1}, {0, 10000, 1}, {192, 10000, 3}, {192, 11000, 1}}));
    // The last frequency of one position equals the first of the next: the frequency alone makes
    // the run that is sorted by service id, across both positions.
    EXPECT_EQ(sorted({{0, 100, 9}, {10, 100, 1}, {0, 50, 4}}),
              (std::vector<Keys>{{0, 50, 4}, {10, 100, 1}, {0, 100, 9}}));
}

}  // namespace
}  // namespace tovu::test
