// Reading cable.xml into the provider frequency list.
#include "db/DbImage.h"
#include "db/DbStore.h"
#include "freqlist/ProviderFreqList.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <functional>

namespace tovu {
namespace {

using namespace std::string_literals;

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
        DocumentCase{"WhatWasParsedBeforeAnErrorIsKeptButNotACutStartTag",
                     "<cables><cable name=\"a\"><transponder frequency=\"1000\"/><transponder "
                     "frequency=\"2000\"/></cable><cable name=\"b\"><transponder frequency=\"8660",
                     2, 2, 2},
        DocumentCase{"DamagedStartTagIsNotUsed",
                     "<cables><cable name=\"a\"><transponder frequency=\"1000\" symbol_rate=6875000/>"
                     "<transponder frequency=\"2000\"/></cable></cables>",
                     1, 0, 0},
        DocumentCase{"NulEndsTheText",
                     "<cables><cable name=\"a\"><transponder frequency=\"1\"\0/></cable></cables>"s, 1, 0, 0},
        DocumentCase{"Empty", "", 0, 0, 0}, DocumentCase{"NotXml", "not xml at all", 0, 0, 0},
        DocumentCase{"NoCablesElement", "<cable name=\"x\"><transponder frequency=\"1\"/></cable>", 0, 0, 0},
        DocumentCase{"NamesAreCaseSensitive", "<Cables><cable><transponder/></cable></Cables>", 0, 0, 0},
        DocumentCase{"The3001stTransponderIsDroppedAndNotCounted", manyCables(1, 3001), 1, 3000, 3000},
        DocumentCase{"The201stCableIsDroppedButItsTranspondersStay", manyCables(201, 1), 200, 201, 1},
        DocumentCase{"DeepNesting", nested(100000), 1, 1, 1}),
    [](const auto& row) { return std::string(row.param.name); });

// The shared provider file, or an empty text when the corpus is absent.
std::string corpusText() {
    const auto path = test::sharedCorpus() / "cables" / "oe-alliance-cables-2026.xml";
    if (test::sharedCorpus().empty() || !std::filesystem::exists(path)) return {};
    const auto content = test::readFileBytes(path.string());
    return {content.begin(), content.end()};
}

TEST(LoadCableXml, RealProviderFileGivesTheListItAlwaysGave) {
    const std::string xml = corpusText();
    if (xml.empty()) GTEST_SKIP() << "shared corpus absent";
    auto list = load(xml);
    (void)storeFreqListChecksum(list.data());
    uint64_t hash = 14695981039346656037u;  // FNV-1a of the filled part
    for (size_t i = 0; i < kFreqListFilledSize; ++i) hash = (hash ^ list[i]) * 1099511628211u;
    EXPECT_EQ(hash, 0x45240cddc41d8eafu);  // the bytes every earlier release sent
    EXPECT_EQ(cableCount(list), 107u);
    EXPECT_EQ(transponderCount(list), 3000u);  // of 9108
}

// The provider file cut `offset` bytes after the first `mark` in a `tag`, at every few tags.
struct CutCase {
    const char* name;
    const char* tag;
    const char* mark;
    size_t offset;
};

class CorpusCuts : public testing::TestWithParam<CutCase> {};

TEST_P(CorpusCuts, StoreExactlyTheElementsWhoseStartTagIsComplete) {
    const std::string xml = corpusText();
    if (xml.empty()) GTEST_SKIP() << "shared corpus absent";
    const auto whole = load(xml);
    const CutCase& c = GetParam();
    // Where the start tags of each kind end; the file holds no '>' inside a value.
    const auto tagEnds = [&](const char* tag) {
        std::vector<size_t> ends;
        for (size_t at = xml.find(tag); at != std::string::npos; at = xml.find(tag, at + 1))
            ends.push_back(xml.find('>', at));
        return ends;
    };
    const auto transponderEnds = tagEnds("<transponder "), cableEnds = tagEnds("<cable ");
    const size_t every = std::string_view(c.tag) == "<cable " ? 4 : 149;
    size_t seen = 0;
    for (size_t at = xml.find(c.tag); at != std::string::npos; at = xml.find(c.tag, at + 1)) {
        if (++seen % every != 0) continue;
        const size_t cut = xml.find(c.mark, at) + c.offset;
        const auto complete = [cut](const std::vector<size_t>& ends, size_t limit) {
            return static_cast<uint32_t>(std::min<size_t>(
                std::ranges::count_if(ends, [cut](size_t end) { return end < cut; }), limit));
        };
        const auto list = load(xml.substr(0, cut));
        const uint32_t transponders = complete(transponderEnds, kMaxTransponders);
        const uint32_t cables = complete(cableEnds, kMaxCables);
        ASSERT_EQ(transponderCount(list), transponders) << "cut at " << cut;
        ASSERT_EQ(cableCount(list), cables) << "cut at " << cut;
        const size_t end = kTransponderTableOffset + transponders * kProviderTransponderSize;
        ASSERT_EQ(bytes(list, kTransponderTableOffset, end), bytes(whole, kTransponderTableOffset, end));
        for (size_t k = 0, name = kCableTableOffset + kCableNameOffset; k < cables;
             ++k, name += kCableEntrySize)
            ASSERT_EQ(bytes(list, name, name + kCableNameSize), bytes(whole, name, name + kCableNameSize));
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusCuts,
                         testing::Values(CutCase{"AtATransponder", "<transponder ", "<", 0},
                                         CutCase{"InATransponderName", "<transponder ", "<", 5},
                                         CutCase{"InAFrequencyValue", "<transponder ", "frequency=\"", 13},
                                         CutCase{"AfterTheLastAttribute", "<transponder ", "/>", 0},
                                         CutCase{"BeforeTheClosingBracket", "<transponder ", "/>", 1},
                                         CutCase{"AfterATransponder", "<transponder ", "/>", 2},
                                         CutCase{"InACableName", "<cable ", "name=\"", 8},
                                         CutCase{"AfterACableStartTag", "<cable ", ">", 1}),
                         [](const auto& row) { return std::string(row.param.name); });

// Where a database or a cable.xml is expected, a special file (a FIFO, socket, device or folder)
// counts as a file that cannot be opened: nothing waits on it and nothing replaces it.
struct SpecialCase {
    const char* name;
    std::function<std::string(const test::TempDir&)> make;  // gives the special file's path
};

class SpecialFiles : public testing::TestWithParam<SpecialCase> {};

TEST_P(SpecialFiles, AreFilesThatCannotBeOpened) {
    test::TempDir dir;
    const std::string path = GetParam().make(dir);
    const auto type = std::filesystem::symlink_status(path).type();
    alarm(30);  // an open that blocks ends the run instead of hanging it
    auto image = std::make_unique<ChannelDbImage>();
    EXPECT_EQ(loadDbFromPath(*image, path), LoadResult::OpenFailed);
    EXPECT_EQ(saveDbToPath(*image, path), SaveResult::OpenFailed);
    std::vector<uint8_t> list(kProviderFreqListSize, 0xEE);
    loadCableXml(path, list.data());
    EXPECT_EQ(freqListTransponderCount(list.data()), 0u);
    alarm(0);
    EXPECT_EQ(std::filesystem::symlink_status(path).type(), type);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SpecialFiles,
    testing::Values(SpecialCase{"Fifo",
                                [](const test::TempDir& dir) {
                                    mkfifo(dir.file("fifo").c_str(), 0666);
                                    return dir.file("fifo");
                                }},
                    SpecialCase{"Folder", [](const test::TempDir& dir) { return dir.path().string(); }},
                    SpecialCase{"Device", [](const test::TempDir&) { return std::string("/dev/null"); }}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu
