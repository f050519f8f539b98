#include "enigma/SettingsParser.h"
#include "EnigmaTestSupport.h"

#include <cstring>
#include <vector>

namespace tovu::test {
namespace {

// Reads settings text as the import does: both sections, then the sort.
Captured parseSettings(const std::string& text) {
    FILE* file = streamOf(text);
    EXPECT_NE(file, nullptr);
    Captured c = capture([&] {
        (void)TranspondersSection(file);
        (void)ServicesSection(file);
        SortServices();
    });
    std::fclose(file);
    return c;
}

struct TransponderRow {
    const char* name;
    std::string dataLine;
    uint16_t mhz, ks;
    uint8_t modulation, polarisation;
    int16_t orbital;
    int cable;
    std::string notes;  // standard error
};

class TransponderTest : public EnigmaTest, public testing::WithParamInterface<TransponderRow> {};

TEST_P(TransponderTest, ConvertsUnitsAndSendsRoundingNotes) {
    const TransponderRow& row = GetParam();
    lastTransponderIsCable = 1 - row.cable;
    const Captured c = parseSettings("transponders\n00c00000:0001:0001\n" + row.dataLine + "\n/\nend\n");
    EXPECT_EQ(c.out, "");
    EXPECT_EQ(c.err, row.notes);
    ASSERT_EQ(transponderTable.count, 1);
    const TransponderEntry& t = transponderTable.entries[0];
    EXPECT_EQ(t.frequencyMHz, row.mhz);
    EXPECT_EQ(t.symbolRateKs, row.ks);
    EXPECT_EQ(t.modulation, row.modulation);
    EXPECT_EQ(t.polarisation, row.polarisation);
    EXPECT_EQ(t.orbitalPosition, row.orbital);
    EXPECT_EQ(lastTransponderIsCable, row.cable);
}

INSTANTIATE_TEST_SUITE_P(
    DataLines, TransponderTest,
    testing::Values(
        TransponderRow{"CableWithoutTabSymbolRateRoundsUp", "c 346000:6874500:2:5", 346, 6875, 5, 0, 0, 1,
                       "SAT(   0)  freq   346000     346   symb  6874500 >  6875\n"},
        TransponderRow{"JustBelowHalf", "\tc 346499:6875499:2:3:0:0:0", 346, 6875, 3, 0, 0, 1, ""},
        TransponderRow{"BothRoundFrequencyFirst", "\tc 346500:6874500:2:4", 347, 6875, 4, 0, 0, 1,
                       "SAT(   0)  freq   346500 >   347   symb  6874500    6874\n"
                       "SAT(   0)  freq   346500     347   symb  6874500 >  6875\n"},
        TransponderRow{"Satellite", "\ts 11362000:22000000:1:2:192:2:0", 11362, 22000, 0, 1, 192, 0, ""},
        TransponderRow{"SatelliteWestRounds", "\ts 10714750:22000000:0:2:-50", 10715, 22000, 0, 0, -50, 0,
                       "SAT( -50)  freq 10714750 > 10715   symb 22000000   22000\n"},
        TransponderRow{"UpperCaseSIsSatelliteWithoutValues", "\tS 11362000:22000000:1:2:192", 0, 0, 0, 0, 0,
                       0, ""},
        TransponderRow{"TerrestrialCountsAsCableWithoutValues", "\tt 474000000:2:1:0:0:0:0", 0, 0, 0, 0, 0, 1,
                       ""}),
    RowName());

using SettingsParserTest = EnigmaTest;

TEST_F(SettingsParserTest, KeepsTelevisionAndRadioServicesWithTheirTransponderData) {
    std::string services =
        "6D66:00C00000:0437:0001:1:0\n\xE4\xB8\xAD"
        "CCTV\np:Provider,c:000001\n";
    const int types[] = {2, 4, 25, 281, 3, 22, 0};  // 281: its low byte 25 counts
    for (int i = 0; i < 7; ++i) services += serviceText(uint16_t(i + 1), 0xC00000, 0x437, 1, types[i], "S");
    const Captured c =
        parseSettings(lamedbText(cableTransponder(0xC00000, 0x437, 1, 346000, 6875000, 5), services));
    EXPECT_EQ(c.out, "");                   // dropping by type is silent
    std::vector<std::pair<int, int>> kept;  // service id, type
    for (int i = 0; i < serviceTable.count; ++i)
        kept.emplace_back(serviceTable.entries[i].serviceId, serviceTable.entries[i].serviceType);
    EXPECT_EQ(kept, (std::vector<std::pair<int, int>>{{1, 2}, {2, 1}, {3, 1}, {4, 1}, {0x6D66, 1}}));
    const ServiceEntry& s = serviceTable.entries[4];
    EXPECT_EQ(s.transportStreamId, 0x437);
    EXPECT_EQ(s.originalNetworkId, 1);
    EXPECT_EQ(s.nameSpace, 0xC00000u);
    EXPECT_EQ(s.frequencyMHz, 346);
    EXPECT_EQ(s.symbolRateKs, 6875);
    EXPECT_EQ(s.modulation, 5);
    EXPECT_EQ(s.locked, 0);
    EXPECT_EQ(s.nameLength, 0);
    EXPECT_STREQ(s.name,
                 "\xD6\xD0"
                 "CCTV");
}

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
    int transponders;
    int services;
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
const std::string kTwoServices =
    kOneTransponder + "end\nservices\n" + kOneService + "0002:00c00000:0001:0001:1:0\n";

INSTANTIATE_TEST_SUITE_P(
    Files, TruncatedFileTest,
    testing::Values(TruncatedRow{"TransponderLine1", kOneTransponder, 1, 0, "transponder line 1 failed\n"},
                    TruncatedRow{"TransponderLine2", kOneTransponder + "00c00000:0002:0001\n", 1, 0,
                                 "transponder line 2 failed\n"},
                    TruncatedRow{"TransponderLine3", kOneTransponder + "00c00000:0002:0001\n\tc 1:2:3:4\n", 1,
                                 0, "transponder line 3 failed\n"},
                    TruncatedRow{"ServiceLine1", kOneTransponder + "end\nservices\n" + kOneService, 1, 1,
                                 "service line 1 failed\n"},
                    TruncatedRow{"ServiceLine2", kTwoServices, 1, 1, "service line 2 failed\n"},
                    TruncatedRow{"ServiceLine3", kTwoServices + "B\n", 1, 1, "service line 3 failed\n"},
                    TruncatedRow{"NoServicesWord", kOneTransponder + "end\n", 1, 0, ""},
                    TruncatedRow{"NoTranspondersWord",
                                 "eDVB services /4/\nservices\n" + kOneService + "end\n", 0, 0, ""}),
    RowName());

TEST_F(SettingsParserTest, NamesKeep128CharactersAnd255BytesWithMessagesForDroppedServicesToo) {
    std::string chinese;
    for (int i = 0; i < 128; ++i) chinese += "\xE4\xB8\xAD";
    const Captured c = parseSettings(lamedbText(cableTransponder(0xC00000, 1, 1, 346000),
                                                serviceText(1, 0xC00000, 1, 1, 22, std::string(129, 'n')) +
                                                    serviceText(2, 0xC00000, 1, 1, 1, chinese)));
    EXPECT_EQ(c.out, "unicode buffer is small\n");  // from the dropped type-22 service
    ASSERT_EQ(serviceTable.count, 1);
    EXPECT_EQ(std::string(serviceTable.entries[0].name).size(), 255u);
}

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
    // Orbital positions compare signed.
    EXPECT_EQ(sorted({{192, 11000, 1}, {-50, 12000, 1}, {0, 10000, 1}, {192, 10000, 3}}),
              (std::vector<Keys>{{-50, 12000, 1}, {0, 10000, 1}, {192, 10000, 3}, {192, 11000, 1}}));
    // The last frequency of one position equals the first of the next: the frequency alone makes
    // the run that the third pass sorts by service id, across both positions.
    EXPECT_EQ(sorted({{0, 100, 9}, {10, 100, 1}, {0, 50, 4}}),
              (std::vector<Keys>{{0, 50, 4}, {10, 100, 1}, {0, 100, 9}}));
}

TEST_F(SettingsParserTest, DumpUsesTheLayoutOfTheLastTransponder) {
    parseSettings(lamedbText(cableTransponder(0xC00000, 0x437, 1, 346000, 6875000, 3),
                             serviceText(0x6D66, 0xC00000, 0x437, 1, 25, "Name")));
    ServiceEntry& e = serviceTable.entries[0];
    e.locked = 1;
    e.modulation = 9;  // no QAM order
    const char ucs2[] = {0x4E, 0x2D, 0x00, 'A'};
    std::memcpy(e.name, ucs2, sizeof ucs2);
    e.nameLength = 2;
    EXPECT_EQ(capture([] { DumpServices(serviceTable.entries, serviceTable.count); }).out,
              "    namespace tpID netwID  freq  symbR  QAM  svID  T  L  len name\n"
              "  1   C00000   437     1    346   6875    0  6D66  1  1   2  \xD6\xD0"
              "A\n");
    lastTransponderIsCable = 0;
    e.polarisation = 1;
    e.orbitalPosition = -50;
    e.nameLength = 0;
    EXPECT_EQ(capture([] { DumpServices(serviceTable.entries, 1); }).out,
              "    namespace tpID netwID  freq  symbR  P satPos svID  T  L  len name\n"
              "  1   C00000   437     1    346   6875  v   -50  6D66  1  1   0  \n");
}

}  // namespace
}  // namespace tovu::test
