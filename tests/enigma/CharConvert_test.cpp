#include "enigma/CharConvert.h"
#include "EnigmaTestSupport.h"
#include "db/NameCodec.h"

#include <vector>

namespace tovu::test {
namespace {

// A name converted to big-endian UCS-2 units and to GB2312; every bad sequence gives U+FFFE ("?").
struct ConvertRow {
    const char* name;
    std::string source;
    std::vector<uint16_t> units;
    std::string gb;
    std::string out = "";
    int ucs2Size = 256;  // a service name's buffers
    int gbSize = 1024;
};

std::string repeat(const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; ++i) r += s;
    return r;
}

class ConvertNameTest : public testing::TestWithParam<ConvertRow> {};

TEST_P(ConvertNameTest, GivesUcs2AndGb2312) {
    const ConvertRow& row = GetParam();
    std::vector<uint8_t> ucs2(static_cast<size_t>(row.ucs2Size) + 8, 0xEE);
    std::vector<char> gb(static_cast<size_t>(row.gbSize) + 8, 'x');
    int count = -1;
    const Captured c = capture(
        [&] { count = ConvertName(row.source.c_str(), ucs2.data(), row.ucs2Size, gb.data(), row.gbSize); });
    std::vector<uint16_t> units;
    for (int i = 0; i < count; ++i)
        units.push_back(uint16_t(ucs2[2 * size_t(i)] << 8 | ucs2[2 * size_t(i) + 1]));
    EXPECT_EQ(units, row.units);
    for (size_t i = 2 * row.units.size(); i < ucs2.size(); ++i) ASSERT_EQ(ucs2[i], 0xEE) << "byte " << i;
    EXPECT_EQ(std::string(gb.data()), row.gb);
    EXPECT_EQ(c.out, row.out);
}

const std::string kZhong = "\xE4\xB8\xAD";  // U+4E2D

INSTANTIATE_TEST_SUITE_P(
    Names, ConvertNameTest,
    testing::Values(ConvertRow{"Chinese", "a" + kZhong, {'a', 0x4E2D}, "a\xD6\xD0"},
                    ConvertRow{"OverlongNul", "\xC0\x80", {0xFFFE}, "?"},
                    ConvertRow{"Surrogate", "\xED\xA0\x80", {0xFFFE}, "?"},
                    ConvertRow{
                        "RejectedSequenceTakesAllItAnnounced", "\xE4\x41\x42\x43", {0xFFFE, 'C'}, "?C"},
                    ConvertRow{"TruncatedAtTheEnd", "a\xE4\xB8", {'a', 0xFFFE}, "a?"},
                    ConvertRow{"AstralKeepsLow16Bits", "\xF0\x9F\x98\x80", {0xF600}, codeUnitToName(0xF600)},
                    ConvertRow{"NoGbForm", "\xE0\xB8\x81", {0x0E01}, "?"},
                    ConvertRow{"ServiceNameCutAt128", std::string(129, 'a'), std::vector<uint16_t>(128, 'a'),
                               std::string(128, 'a'), "unicode buffer is small\n"},
                    ConvertRow{"BouquetNameBothCuts", repeat(kZhong, 33), std::vector<uint16_t>(32, 0x4E2D),
                               repeat("\xD6\xD0", 31) + "\xD6",
                               "unicode buffer is small\nGB2312 buffer is small\n", 64, 64},
                    ConvertRow{"ExactlyFillsGbLessOne", std::string(63, 'b'), std::vector<uint16_t>(63, 'b'),
                               std::string(63, 'b'), "", 256, 64}),
    RowName());

}  // namespace
}  // namespace tovu::test
