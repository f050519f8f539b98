// Reading cable.xml into the provider frequency list.
#include "db/DbImage.h"
#include "freqlist/ProviderFreqList.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tovu {
namespace {

using test::TempDir;

// Loads XML text through a file into a list whose bytes beyond the filled part are marked.
std::vector<uint8_t> load(const std::string& xml) {
    TempDir dir;
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
const uint8_t* transponder(const std::vector<uint8_t>& list, size_t k) {
    return list.data() + kTransponderTableOffset + k * kProviderTransponderSize;
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

TEST(LoadCableXml, FillsTheTablesInDocumentOrder) {
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
    EXPECT_STREQ(reinterpret_cast<const char*>(cableEntry(list, 0) + 2), "First");
    EXPECT_EQ(readLe16(cableEntry(list, 1)), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(cableEntry(list, 1) + 2), "Empty");
    EXPECT_EQ(readLe16(cableEntry(list, 2)), 1);
    EXPECT_EQ(std::vector<uint8_t>(cableEntry(list, 2) + 2, cableEntry(list, 2) + 34),
              std::vector<uint8_t>(32, 0));
    EXPECT_EQ(readLe32(transponder(list, 0)), 114000u);
    EXPECT_EQ(readLe32(transponder(list, 1)), 122000u);
    EXPECT_EQ(readLe32(transponder(list, 2)), 130000u);
}

TEST(LoadCableXml, ZeroesItsPartAndLeavesTheRestOfTheBuffer) {
    const auto list = load("<cables><cable name=\"a\"><transponder frequency=\"1000\"/></cable></cables>");
    // Entries past the counts and the checksum field are zero; the caller's bytes beyond are kept.
    EXPECT_EQ(std::vector<uint8_t>(cableEntry(list, 1), list.data() + kTransponderCountOffset),
              std::vector<uint8_t>(199 * kCableEntrySize, 0));
    EXPECT_EQ(
        std::vector<uint8_t>(list.begin() + kFreqListChecksumOffset, list.begin() + kFreqListFilledSize),
        std::vector<uint8_t>(4, 0));
    EXPECT_EQ(list[kFreqListFilledSize], 0xEE);
    EXPECT_EQ(list.back(), 0xEE);
}

TEST(LoadCableXml, NameKeepsItsFirst32BytesWithoutTerminator) {
    const std::string name40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd";
    const auto list = load("<cables><cable name=\"" + name40 + "\"/><cable name=\"A&amp;B\"/></cables>");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cableEntry(list, 0) + 2), 32), name40.substr(0, 32));
    EXPECT_EQ(readLe16(cableEntry(list, 1)), 0);  // the next entry starts right after the 32 bytes
    EXPECT_STREQ(reinterpret_cast<const char*>(cableEntry(list, 1) + 2), "A&B");
}

TEST(LoadCableXml, Latin1NamesKeepTheirBytes) {
    const auto list =
        load("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><cables><cable name=\"Caf\xE9\"/></cables>");
    EXPECT_STREQ(reinterpret_cast<const char*>(cableEntry(list, 0) + 2), "Caf\xE9");
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

TEST(LoadCableXml, TheTransponderAfterThe3000thIsDroppedAndNotCounted) {
    const auto list = load(manyCables(1, 3001));
    EXPECT_EQ(transponderCount(list), 3000u);
    EXPECT_EQ(readLe16(cableEntry(list, 0)), 3000);
    EXPECT_EQ(readLe32(list.data() + kFreqListChecksumOffset), 0u);
}

TEST(LoadCableXml, The201stCableIsDroppedButItsTranspondersStay) {
    const auto list = load(manyCables(201, 1));
    EXPECT_EQ(cableCount(list), 200u);
    EXPECT_EQ(transponderCount(list), 201u);
    EXPECT_EQ(readLe32(transponder(list, 200)), 201u);
}

TEST(LoadCableXml, EveryTopLevelCablesElementCounts) {
    const auto list = load(
        "<cables><cable name=\"a\"><transponder frequency=\"1000\"/></cable></cables>\n"
        "<cables><cable name=\"b\"><transponder frequency=\"2000\"/></cable></cables>");
    EXPECT_EQ(cableCount(list), 2u);
    EXPECT_EQ(transponderCount(list), 2u);
    EXPECT_STREQ(reinterpret_cast<const char*>(cableEntry(list, 1) + 2), "b");
}

TEST(LoadCableXml, WhatWasParsedBeforeAnErrorIsKept) {
    const auto list = load(
        "<cables><cable name=\"a\"><transponder frequency=\"1000\"/><transponder frequency=\"2000\"/>"
        "</cable><cable name=\"b\"><transponder frequency=");
    EXPECT_GE(transponderCount(list), 2u);
    EXPECT_EQ(readLe32(transponder(list, 1)), 2u);
}

TEST(LoadCableXml, NothingUsableGivesZeroCounts) {
    for (const std::string xml :
         {"", "not xml at all", "<cable name=\"x\"><transponder frequency=\"1\"/></cable>",
          "<Cables><cable><transponder/></cable></Cables>"}) {
        const auto list = load(xml);
        EXPECT_EQ(transponderCount(list), 0u) << xml;
        EXPECT_EQ(cableCount(list), 0u) << xml;
    }
    std::vector<uint8_t> list(kProviderFreqListSize, 0xEE);
    loadCableXml("/nonexistent/cable.xml", list.data());
    EXPECT_EQ(transponderCount(list), 0u);
    EXPECT_EQ(list[0], 0);
}

std::string nested(int depth) {
    std::string xml = "<cables><cable name=\"x\"><transponder frequency=\"5000\"/></cable>";
    for (int i = 0; i < depth; ++i) xml += "<a>";
    for (int i = 0; i < depth; ++i) xml += "</a>";
    return xml + "</cables>";
}

TEST(LoadCableXml, DeepNestingDoesNotOverflowTheStack) {
    // Far deeper than the calling thread's stack could take.
    const auto list = load(nested(8000));
    EXPECT_EQ(transponderCount(list), 1u);
    EXPECT_EQ(readLe32(transponder(list, 0)), 5u);
}

TEST(LoadCableXml, FileThatCouldNestBeyondAnySafeStackIsNotParsed) {
    const auto list = load(nested(600000));
    EXPECT_EQ(transponderCount(list), 0u);
    EXPECT_EQ(cableCount(list), 0u);
}

TEST(StoreFreqListChecksum, SumsBytesBeforeItLittleEndian) {
    std::vector<uint8_t> list(kProviderFreqListSize, 0);
    list[0] = 0xFF;
    list[kFreqListChecksumOffset - 1] = 0x02;
    list[kFreqListFilledSize] = 0x77;  // beyond the checksum: not summed
    EXPECT_EQ(storeFreqListChecksum(list.data()), 0x101u);
    EXPECT_EQ(
        std::vector<uint8_t>(list.begin() + kFreqListChecksumOffset, list.begin() + kFreqListFilledSize),
        (std::vector<uint8_t>{0x01, 0x01, 0x00, 0x00}));
}

TEST(LoadCableXml, RealProviderFile) {
    const auto corpus = test::sharedCorpus();
    const auto path = corpus / "cables" / "oe-alliance-cables-2026.xml";
    if (corpus.empty() || !std::filesystem::exists(path)) GTEST_SKIP() << "shared corpus absent";
    std::vector<uint8_t> list(kProviderFreqListSize, 0);
    loadCableXml(path.string(), list.data());
    EXPECT_EQ(cableCount(list), 107u);
    EXPECT_EQ(transponderCount(list), 3000u);  // of 9108: the table is full
    uint32_t stored = 0;
    for (size_t k = 0; k < 107; ++k) stored += readLe16(cableEntry(list, k));
    EXPECT_EQ(stored, 3000u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cableEntry(list, 0) + 2)), "CableBruteforce All");
    EXPECT_GT(readLe32(transponder(list, 0)), 0u);
}

}  // namespace
}  // namespace tovu
