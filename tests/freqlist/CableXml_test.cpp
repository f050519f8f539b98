// Reading cable.xml into the provider frequency list.
#include "db/DbImage.h"
#include "freqlist/ProviderFreqList.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace tovu {
namespace {

// Loads XML text through a file into a list whose bytes are marked 0xEE beforehand.
std::vector<uint8_t> load(const std::string& xml) {
    test::TempDir dir;
    test::writeFileBytes(dir.file("cable.xml"), std::vector<uint8_t>(xml.begin(), xml.end()));
    std::vector<uint8_t> list(kProviderFreqListSize, 0xEE);
    loadCableXml(dir.file("cable.xml"), list.data());
    return list;
}

uint32_t cableCount(const std::vector<uint8_t>& list) { return readLe32(list.data() + kCableCountOffset); }
uint32_t transponderCount(const std::vector<uint8_t>& list) { return freqListTransponderCount(list.data()); }
const uint8_t* cableEntry(const std::vector<uint8_t>& list, size_t k) {
    return list.data() + kCableTableOffset + k * kCableEntrySize;
}
std::string cableName(const std::vector<uint8_t>& list, size_t k) {
    return reinterpret_cast<const char*>(cableEntry(list, k) + 2);
}
const uint8_t* transponder(const std::vector<uint8_t>& list, size_t k) {
    return list.data() + kTransponderTableOffset + k * kProviderTransponderSize;
}
std::vector<uint8_t> bytes(const std::vector<uint8_t>& list, size_t from, size_t to) {
    return {list.begin() + static_cast<long>(from), list.begin() + static_cast<long>(to)};
}

struct AttributeCase {
    const char* name;
    const char* attributes;  // of one transponder
    int32_t frequencyKHz;
    uint16_t symbolRate;
    uint8_t modulation;
    uint8_t annex;
};

class TransponderAttributes : public testing::TestWithParam<AttributeCase> {};

TEST_P(TransponderAttributes, AreConvertedLikeTheCLibraryReadsIntegers) {
    const AttributeCase& c = GetParam();
    const auto list =
        load(std::string("<cables><cable name=\"c\"><transponder ") + c.attributes + "/></cable></cables>");
    ASSERT_EQ(transponderCount(list), 1u);
    const uint8_t* t = transponder(list, 0);
    EXPECT_EQ(static_cast<int32_t>(readLe32(t)), c.frequencyKHz);
    EXPECT_EQ(readLe16(t + 4), c.symbolRate);
    EXPECT_EQ(t[6], c.modulation);
    EXPECT_EQ(t[7], c.annex);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TransponderAttributes,
    testing::Values(
        AttributeCase{"Typical", R"(frequency="474000000" symbol_rate="6875000" modulation="5" annex="1")",
                      474000, 6875, 5, 1},
        AttributeCase{"BelowOneKHz", R"(frequency="999")", 0, 0, 0, 0},
        AttributeCase{"SymbolRateKeepsLow16Bits", R"(symbol_rate="70000000")", 0, 4464, 0, 0},
        AttributeCase{"NegativeTruncatesTowardZero", R"(frequency="-5999")", -5, 0, 0, 0},
        AttributeCase{"SpaceSignAndTrailingText", R"(frequency="  +12345678kHz" modulation="3x")", 12345, 0,
                      3, 0},
        AttributeCase{"NoDigits", R"(frequency="abc" symbol_rate="" modulation="-" annex="x1")", 0, 0, 0, 0},
        AttributeCase{"ByteFieldsKeepLow8Bits", R"(modulation="261" annex="-1")", 0, 0, 5, 255},
        AttributeCase{"BeyondThe32BitRangeSaturates", R"(frequency="99999999999999")", 2147483, 0, 0, 0},
        AttributeCase{"AllMissing", R"(flags="9" satfeed="true")", 0, 0, 0, 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(LoadCableXml, FillsTheTablesInDocumentOrderAndZeroesOnlyItsPart) {
    const auto list = load(R"(<?xml version="1.0"?>
<cables>
  <cable name="First" flags="9"><transponder frequency="114000000"/><transponder frequency="122000000"/></cable>
  <other><cable name="Nested is not read"><transponder frequency="1000"/></cable></other>
  <cable name="Empty"/>
  <cable><transponder frequency="130000000"/><note/></cable>
</cables>)");
    ASSERT_EQ(cableCount(list), 3u);
    ASSERT_EQ(transponderCount(list), 3u);
    EXPECT_EQ(readLe16(cableEntry(list, 0)), 2);
    EXPECT_EQ(cableName(list, 0), "First");
    EXPECT_EQ(readLe16(cableEntry(list, 1)), 0);
    EXPECT_EQ(cableName(list, 1), "Empty");
    std::vector<uint8_t> nameless(kCableEntrySize, 0);
    nameless[0] = 1;
    EXPECT_EQ(bytes(list, kCableTableOffset + 2 * kCableEntrySize, kCableTableOffset + 3 * kCableEntrySize),
              nameless);
    EXPECT_EQ(readLe32(transponder(list, 0)), 114000u);
    EXPECT_EQ(readLe32(transponder(list, 1)), 122000u);
    EXPECT_EQ(readLe32(transponder(list, 2)), 130000u);
    // Entries past the counts and the checksum field are zero; the caller's bytes beyond are kept.
    EXPECT_EQ(bytes(list, kCableTableOffset + 3 * kCableEntrySize, kTransponderCountOffset),
              std::vector<uint8_t>(197 * kCableEntrySize, 0));
    EXPECT_EQ(bytes(list, kTransponderTableOffset + 3 * kProviderTransponderSize, kFreqListFilledSize),
              std::vector<uint8_t>(kFreqListFilledSize - kTransponderTableOffset - 24, 0));
    EXPECT_EQ(bytes(list, kFreqListFilledSize, list.size()),
              std::vector<uint8_t>(list.size() - kFreqListFilledSize, 0xEE));

    std::vector<uint8_t> missing(kProviderFreqListSize, 0xEE), expected = missing;
    std::fill_n(expected.begin(), kFreqListFilledSize, 0);
    loadCableXml("/nonexistent/cable.xml", missing.data());
    EXPECT_EQ(missing, expected);
}

TEST(LoadCableXml, NamesKeepTheirFirst32BytesAsWritten) {
    const std::string name40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd";
    const auto list = load("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><cables><cable name=\"" + name40 +
                           "\"/><cable name=\"A&amp;B\"/><cable name=\"Caf\xE9\"/></cables>");
    ASSERT_EQ(cableCount(list), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cableEntry(list, 0) + 2), 32), name40.substr(0, 32));
    EXPECT_EQ(readLe16(cableEntry(list, 1)), 0);  // the next entry starts right after the 32 bytes
    EXPECT_EQ(cableName(list, 1), "A&B");
    EXPECT_EQ(cableName(list, 2), "Caf\xE9");
}

std::string manyCables(int cables, int perCable) {
    std::string xml = "<cables>";
    for (int c = 0; c < cables; ++c) {
        xml += "<cable name=\"c" + std::to_string(c) + "\">";
        for (int t = 0; t < perCable; ++t)
            xml += "<transponder frequency=\"" + std::to_string((c + 1) * 1000) + "\"/>";
        xml += "</cable>";
    }
    return xml + "</cables>";
}

std::string nested(int depth) {
    std::string xml = "<cables><cable name=\"x\"><transponder frequency=\"5000\"/></cable>";
    for (int i = 0; i < depth; ++i) xml += "<a>";
    for (int i = 0; i < depth; ++i) xml += "</a>";
    return xml + "</cables>";
}

struct DocumentCase {
    const char* name;
    std::string xml;
    uint32_t cables;
    uint32_t transponders;
    uint16_t firstCableStored;  // cable entry 0's count
};

class Documents : public testing::TestWithParam<DocumentCase> {};

TEST_P(Documents, GiveTheirCountsWithinTheLimits) {
    const DocumentCase& c = GetParam();
    const auto list = load(c.xml);
    EXPECT_EQ(cableCount(list), c.cables);
    EXPECT_EQ(transponderCount(list), c.transponders);
    EXPECT_EQ(readLe16(cableEntry(list, 0)), c.firstCableStored);
    EXPECT_EQ(bytes(list, kFreqListChecksumOffset, kFreqListFilledSize + 1),
              (std::vector<uint8_t>{0, 0, 0, 0, 0xEE}));
}

INSTANTIATE_TEST_SUITE_P(
    Xml, Documents,
    testing::Values(
        DocumentCase{"EveryTopLevelCablesElementCounts",
                     "<cables><cable name=\"a\"><transponder frequency=\"1000\"/></cable></cables>\n"
                     "<cables><cable name=\"b\"><transponder frequency=\"2000\"/></cable></cables>",
                     2, 2, 1},
        DocumentCase{"WhatWasParsedBeforeAnErrorIsKept",
                     "<cables><cable name=\"a\"><transponder frequency=\"1000\"/><transponder "
                     "frequency=\"2000\"/></cable><cable name=\"b\"><transponder frequency=",
                     2, 3, 2},
        DocumentCase{"Empty", "", 0, 0, 0}, DocumentCase{"NotXml", "not xml at all", 0, 0, 0},
        DocumentCase{"NoCablesElement", "<cable name=\"x\"><transponder frequency=\"1\"/></cable>", 0, 0, 0},
        DocumentCase{"NamesAreCaseSensitive", "<Cables><cable><transponder/></cable></Cables>", 0, 0, 0},
        DocumentCase{"The3001stTransponderIsDroppedAndNotCounted", manyCables(1, 3001), 1, 3000, 3000},
        DocumentCase{"The201stCableIsDroppedButItsTranspondersStay", manyCables(201, 1), 200, 201, 1},
        DocumentCase{"DeepNestingDoesNotOverflowTheStack", nested(8000), 1, 1, 1},
        DocumentCase{"NestingBeyondAnySafeStackIsNotParsed", nested(600000), 0, 0, 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(StoreFreqListChecksum, SumsBytesBeforeItLittleEndian) {
    std::vector<uint8_t> list(kProviderFreqListSize, 0);
    list[0] = 0xFF;
    list[kFreqListChecksumOffset - 1] = 0x02;
    list[kFreqListFilledSize] = 0x77;  // beyond the checksum: not summed
    EXPECT_EQ(storeFreqListChecksum(list.data()), 0x101u);
    EXPECT_EQ(bytes(list, kFreqListChecksumOffset, kFreqListFilledSize),
              (std::vector<uint8_t>{0x01, 0x01, 0x00, 0x00}));
}

TEST(LoadCableXml, RealProviderFileFillsTheTransponderTable) {
    const auto path = test::sharedCorpus() / "cables" / "oe-alliance-cables-2026.xml";
    if (test::sharedCorpus().empty() || !std::filesystem::exists(path))
        GTEST_SKIP() << "shared corpus absent";
    std::vector<uint8_t> list(kProviderFreqListSize, 0);
    loadCableXml(path.string(), list.data());
    EXPECT_EQ(cableCount(list), 107u);
    EXPECT_EQ(transponderCount(list), 3000u);  // of 9108
    uint32_t stored = 0;
    for (size_t k = 0; k < 107; ++k) stored += readLe16(cableEntry(list, k));
    EXPECT_EQ(stored, 3000u);
    EXPECT_EQ(cableName(list, 0), "CableBruteforce All");
}

}  // namespace
}  // namespace tovu
