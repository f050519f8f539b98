#include "enigma/CharConvert.h"
#include "EnigmaTestSupport.h"
#include "db/NameCodec.h"

#include <vector>

namespace tovu::test {
namespace {

struct ConvertRow {
    const char* name;
    std::string source;
    int ucs2Size;
    int gbSize;
    std::vector<uint16_t> units;
    std::string gb;
    std::string out;
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
    ASSERT_EQ(count, static_cast<int>(row.units.size()));
    for (size_t i = 0; i < row.units.size(); ++i) {
        EXPECT_EQ(ucs2[2 * i], row.units[i] >> 8) << "unit " << i;
        EXPECT_EQ(ucs2[2 * i + 1], row.units[i] & 0xFF) << "unit " << i;
    }
    for (size_t i = 2 * row.units.size(); i < ucs2.size(); ++i) ASSERT_EQ(ucs2[i], 0xEE) << "byte " << i;
    EXPECT_EQ(std::string(gb.data()), row.gb);
    EXPECT_EQ(c.out, row.out);
}

const std::string kZhong = "\xE4\xB8\xAD";  // U+4E2D

INSTANTIATE_TEST_SUITE_P(
    Names, ConvertNameTest,
    testing::Values(
        ConvertRow{"Chinese", kZhong, 256, 1024, {0x4E2D}, "\xD6\xD0", ""},
        ConvertRow{"OverlongNul", "\xC0\x80", 256, 1024, {0xFFFE}, "?", ""},
        ConvertRow{"Surrogate", "\xED\xA0\x80", 256, 1024, {0xFFFE}, "?", ""},
        ConvertRow{"BadContinuationIsConsumed", "\xC3\x41", 256, 1024, {0xFFFE}, "?", ""},
        ConvertRow{
            "RejectedSequenceTakesAllItAnnounced", "\xE4\x41\x42\x43", 256, 1024, {0xFFFE, 'C'}, "?C", ""},
        ConvertRow{"TruncatedAtTheEnd", "a\xE4\xB8", 256, 1024, {'a', 0xFFFE}, "a?", ""},
        ConvertRow{"InvalidLeadTakesOnlyItself", "\xF8\x41", 256, 1024, {0xFFFE, 'A'}, "?A", ""},
        ConvertRow{"LoneContinuation", "\x80z", 256, 1024, {0xFFFE, 'z'}, "?z", ""},
        ConvertRow{"AboveUnicode", "\xF4\x90\x80\x80", 256, 1024, {0xFFFE}, "?", ""},
        ConvertRow{
            "AstralKeepsLow16Bits", "\xF0\x9F\x98\x80", 256, 1024, {0xF600}, codeUnitToName(0xF600), ""},
        ConvertRow{"NoGbForm", "\xE0\xB8\x81", 256, 1024, {0x0E01}, "?", ""},
        ConvertRow{"Empty", "", 256, 1024, {}, "", ""},
        ConvertRow{"ServiceNameCutAt128", std::string(129, 'a'), 256, 1024, std::vector<uint16_t>(128, 'a'),
                   std::string(128, 'a'), "unicode buffer is small\n"},
        ConvertRow{"BouquetNameGbCutTo63Bytes", repeat(kZhong, 32), 64, 64, std::vector<uint16_t>(32, 0x4E2D),
                   repeat("\xD6\xD0", 31) + "\xD6", "GB2312 buffer is small\n"},
        ConvertRow{"BouquetNameBothCuts", repeat(kZhong, 33), 64, 64, std::vector<uint16_t>(32, 0x4E2D),
                   repeat("\xD6\xD0", 31) + "\xD6", "unicode buffer is small\nGB2312 buffer is small\n"},
        ConvertRow{"ExactlyFillsGbLessOne", std::string(63, 'b'), 256, 64, std::vector<uint16_t>(63, 'b'),
                   std::string(63, 'b'), ""}),
    RowName());

}  // namespace
}  // namespace tovu::test
