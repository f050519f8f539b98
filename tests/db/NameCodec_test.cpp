#include "db/NameCodec.h"

#include <gtest/gtest.h>

namespace tovu {
namespace {

TEST(NameCodec, ChineseRoundTripsThroughTwoByteForms) {
    const std::string bytes = utf8ToName("中文 ABC");
    EXPECT_EQ(bytes, "\xD6\xD0\xCE\xC4 ABC");
    EXPECT_EQ(nameToUtf8(bytes), "中文 ABC");
}

TEST(NameCodec, CharactersWithoutAFormBecomeQuestionMarks) {
    EXPECT_EQ(utf8ToName("a😀b"), "a?b");         // beyond the 16-bit range
    EXPECT_EQ(utf8ToName("\xC3(x"), "?(x");      // malformed sequence
    EXPECT_EQ(utf8ToName("\xED\xA0\x80"), "?");  // a surrogate
}

TEST(NameCodec, InvalidStoredBytesShowAsReplacementCharacters) {
    EXPECT_EQ(nameToUtf8(std::string_view("A\xFF"
                                          "B")),
              "A\uFFFDB");
    EXPECT_EQ(nameToUtf8(std::string_view("AB\xD6")), "AB\uFFFD");  // lead byte cut off
}

TEST(NameCodec, FixedFieldsStopAtTheFirstNulOrTheFieldSize) {
    const uint8_t field[4] = {'A', 'B', 'C', 'D'}, shortName[4] = {'X', 0, 'Y', 0};
    EXPECT_EQ(nameToUtf8(field, 4), "ABCD");
    EXPECT_EQ(nameToUtf8(shortName, 4), "X");
}

}  // namespace
}  // namespace tovu
