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
#include <numeric>

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
        AttributeCase{"SpaceSignAndTrailingText", R"(frequency="  -5999kHz" modulation="+3x")", -5, 0, 3, 0},
        AttributeCase{"NoDigitsOrMissing", R"(frequency="abc" symbol_rate="" modulation="-" flags="9")", 0, 0,
                      0, 0},
        // The frequency saturates at the 32-bit range; the narrower fields keep their low bits.
        AttributeCase{"OutOfRange",
                      R"(frequency="99999999999999" symbol_rate="70000000" modulation="261" annex="-1")",
                      2147483, 4464, 5, 255}),
    [](const auto& row) { return std::string(row.param.name); });

// Names keep their first 32 bytes as written, without conversion.
TEST(LoadCableXml, FillsTheTablesInDocumentOrder) {
    const std::string name40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd";
    const auto list =
        load("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<cables>\n<cable name=\"" + name40 +
             "\" flags=\"9\"><transponder frequency=\"114000000\"/>"
             "<transponder frequency=\"122000000\"/></cable>\n"
             "<other><cable name=\"Nested\"><transponder frequency=\"1000\"/></cable></other>\n"
             "<cable name=\"A&amp;B\"/>\n"
             "<cable><transponder frequency=\"130000000\"/><note/></cable>\n"
             "<cable name=\"Caf\xE9\"/></cables>");
    ASSERT_EQ(cableCount(list), 4u);
    ASSERT_EQ(transponderCount(list), 3u);
    EXPECT_EQ(readLe16(cableEntry(list, 0)), 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cableEntry(list, 0) + 2), 32), name40.substr(0, 32));
    EXPECT_EQ(readLe16(cableEntry(list, 1)), 0);
    EXPECT_EQ(cableName(list, 1), "A&B");
    EXPECT_EQ(readLe16(cableEntry(list, 2)), 1);
    EXPECT_EQ(cableName(list, 2), "");
    EXPECT_EQ(cableName(list, 3), "Caf\xE9");
    for (const uint32_t k : {0u, 1u, 2u}) EXPECT_EQ(readLe32(transponder(list, k)), 114000u + 8000 * k);
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

struct DocumentCase {
    const char* name;
    std::string xml;
    uint32_t cables;
    uint32_t transponders;
    uint16_t firstCableStored;  // cable entry 0's count
};

class Documents : public testing::TestWithParam<DocumentCase> {};

// The checksum sent with the list is the sum of every byte before it.
TEST_P(Documents, GiveTheirCountsWithinTheLimits) {
    const DocumentCase& c = GetParam();
    auto list = load(c.xml);
    EXPECT_EQ(cableCount(list), c.cables);
    EXPECT_EQ(transponderCount(list), c.transponders);
    EXPECT_EQ(readLe16(cableEntry(list, 0)), c.firstCableStored);
    EXPECT_EQ(readLe32(list.data() + kFreqListChecksumOffset), 0u);
    EXPECT_EQ(storeFreqListChecksum(list.data()),
              std::accumulate(list.begin(), list.begin() + kFreqListChecksumOffset, 0u));
}

INSTANTIATE_TEST_SUITE_P(
    Xml, Documents,
    testing::Values(
        DocumentCase{"EveryTopLevelCablesElementCounts",
                     "<cables><cable name=\"a\"><transponder frequency=\"1000\"/></cable></cables>\n"
                     "<cables><cable name=\"b\"><transponder frequency=\"2000\"/></cable></cables>",
                     2, 2, 1},
        // What the parser delivered before an error is kept, but not an element whose start tag was cut.
        DocumentCase{"CutInATransponderStartTag",
                     "<cables><cable name=\"a\"><transponder frequency=\"1000\"/><transponder "
                     "frequency=\"2000\"/></cable><cable name=\"b\"><transponder frequency=\"8660",
                     2, 2, 2},
        DocumentCase{"CutInACableStartTag",
                     "<cables><cable name=\"a\"><transponder frequency=\"1000\"/></cable><cable name=\"b", 1,
                     1, 1},
        DocumentCase{"DamagedStartTagIsNotUsed",
                     "<cables><cable name=\"a\"><transponder frequency=\"1000\" symbol_rate=6875000/>"
                     "<transponder frequency=\"2000\"/></cable></cables>",
                     1, 0, 0},
        DocumentCase{"NulEndsTheText",
                     "<cables><cable name=\"a\"><transponder frequency=\"1\"\0/></cable></cables>"s, 1, 0, 0},
        DocumentCase{"NoCablesElement", "<Cables><cable><transponder/></cable></Cables>", 0, 0, 0},
        DocumentCase{"The3001stTransponderIsDroppedAndNotCounted", manyCables(1, 3001), 1, 3000, 3000},
        DocumentCase{"The201stCableIsDroppedButItsTranspondersStay", manyCables(201, 1), 200, 201, 1}),
    [](const auto& row) { return std::string(row.param.name); });

// The shared provider file gives the bytes every earlier release sent; skipped when the corpus is absent.
TEST(LoadCableXml, RealProviderFileGivesTheListItAlwaysGave) {
    const auto path = test::sharedCorpus() / "cables" / "oe-alliance-cables-2026.xml";
    if (test::sharedCorpus().empty() || !std::filesystem::exists(path))
        GTEST_SKIP() << "shared corpus absent";
    const auto content = test::readFileBytes(path.string());
    auto list = load({content.begin(), content.end()});
    (void)storeFreqListChecksum(list.data());
    uint64_t hash = 14695981039346656037u;  // FNV-1a of the filled part
    for (size_t i = 0; i < kFreqListFilledSize; ++i) hash = (hash ^ list[i]) * 1099511628211u;
    EXPECT_EQ(hash, 0x45240cddc41d8eafu);
    EXPECT_EQ(cableCount(list), 107u);
    EXPECT_EQ(transponderCount(list), 3000u);  // of 9108
}

// Where a database or a cable.xml is expected, a special file (a FIFO, device or folder), like a
// missing one, counts as a file that cannot be opened: nothing waits on it and nothing replaces it.
// The list then has empty tables; the caller's bytes beyond the filled part are kept.
struct UnopenableCase {
    const char* name;
    const char* path;  // inside a folder holding the FIFO "fifo", unless absolute
};

class UnopenableFiles : public testing::TestWithParam<UnopenableCase> {};

TEST_P(UnopenableFiles, AreReportedAndLeftAlone) {
    test::TempDir dir;
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0666), 0);
    const std::string path = GetParam().path[0] == '/' ? GetParam().path : dir.file(GetParam().path);
    const auto type = std::filesystem::symlink_status(path).type();
    alarm(30);  // an open that blocks ends the run instead of hanging it
    std::vector<uint8_t> list(kProviderFreqListSize, 0xEE), expected = list;
    std::fill_n(expected.begin(), kFreqListFilledSize, 0);
    loadCableXml(path, list.data());
    EXPECT_EQ(list, expected);
    auto image = std::make_unique<ChannelDbImage>();
    EXPECT_EQ(loadDbFromPath(*image, path), LoadResult::OpenFailed);
    EXPECT_EQ(saveDbToPath(*image, path), SaveResult::OpenFailed);
    alarm(0);
    EXPECT_EQ(std::filesystem::symlink_status(path).type(), type);
}

INSTANTIATE_TEST_SUITE_P(Kinds, UnopenableFiles,
                         testing::Values(UnopenableCase{"Missing", "none/cable.xml"},
                                         UnopenableCase{"Fifo", "fifo"}, UnopenableCase{"Folder", "."},
                                         UnopenableCase{"Device", "/dev/null"}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu
