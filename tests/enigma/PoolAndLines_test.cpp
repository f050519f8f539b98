#include "EnigmaTestSupport.h"
#include "enigma/FileHelpers.h"

#include <cstring>
#include <vector>

namespace tovu::test {
namespace {

using PoolTest = EnigmaTest;

uint32_t headerWord(void* block, int word) {
    uint32_t v;
    std::memcpy(&v, static_cast<uint8_t*>(block) - 16 + 4 * word, 4);
    return v;
}

TEST_F(PoolTest, CountsBlocksKeepsRefusedResizesValidAndReportsEachFailure) {
    uint8_t* a = nullptr;
    void* b = nullptr;
    EXPECT_EQ(capture([&] {
                  a = static_cast<uint8_t*>(DmMalloc(4));
                  b = DmMalloc(20);
              }).out,
              "");
    EXPECT_EQ(liveBlockCount, 2);
    EXPECT_EQ(headerWord(a, 1), 4u);
    EXPECT_EQ(headerWord(b, 1), 20u);
    EXPECT_EQ(headerWord(a, 2), 1u);  // serial
    EXPECT_EQ(headerWord(b, 2), 2u);
    EXPECT_EQ(headerWord(b, 3), 0xA5A5A5A5u);

    std::memcpy(a, "abcd", 4);
    void* result = &a;
    EXPECT_EQ(capture([&] { result = DmRealloc(a, 0); }).out, "DM: dont support realloc with size of 0\n");
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(capture([&] { result = DmRealloc(nullptr, 8); }).out, "DM: realloc pointer is NULL\n");
    EXPECT_EQ(result, nullptr);
    DmFailAfter(0);
    EXPECT_EQ(capture([&] { result = DmRealloc(a, 8); }).out, "DM: realloc no change\n");
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(capture([&] { result = DmMalloc(16); }).out, "DM: malloc failed\n");
    EXPECT_EQ(result, nullptr);
    DmFailAfter(-1);
    EXPECT_EQ(liveBlockCount, 2);
    EXPECT_EQ(std::memcmp(a, "abcd", 4), 0);

    auto* grown = static_cast<uint8_t*>(DmRealloc(a, 4000));
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(std::memcmp(grown, "abcd", 4), 0);
    EXPECT_EQ(headerWord(grown, 1), 4000u);
    EXPECT_EQ(headerWord(grown, 2), 1u);  // the serial stays
    EXPECT_EQ(liveBlockCount, 2);
    EXPECT_EQ(capture([] { DmFree(nullptr); }).out, "DM: free mem NULL\n");
    EXPECT_EQ(capture([&] { DmFree(grown); }).out, "");
    EXPECT_EQ(capture([&] { DmFree(b); }).out, "DM: no dynamic memory now\n\n");
}

// ReadLine over a file opened by FileOpen: the lines (or pieces) delivered and what it printed.
struct LineRow {
    const char* name;
    std::string bytes;
    int outSize;
    std::vector<std::string> lines;
    std::string out;
};

class ReadLineTest : public testing::TestWithParam<LineRow> {};

TEST_P(ReadLineTest, DeliversLinesAndPieces) {
    const LineRow& row = GetParam();
    TempDir dir;
    writeText(dir, "f", row.bytes);
    FILE* file = FileOpen(dir.file("f").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::vector<std::string> got;
    std::vector<char> out(static_cast<size_t>(row.outSize), 'x');
    const Captured c = capture([&] {
        while (ReadLine(file, out.data(), row.outSize) == 0) {
            got.emplace_back(out.data());
            // The caller's buffer is zero-padded behind the line.
            for (size_t i = got.back().size(); i < out.size(); ++i) ASSERT_EQ(out[i], '\0');
        }
    });
    EXPECT_EQ(FileClose(file), 0);
    EXPECT_EQ(got, row.lines);
    EXPECT_EQ(c.out, row.out);
}

const std::string k2000(2000, 'q');

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadLineTest,
    testing::Values(
        LineRow{"LastLineWithoutEnd", "one\ntwo", 1024, {"one", "two"}, ""},
        LineRow{"CrLf", "abc\r\n", 1024, {"abc"}, ""},
        LineRow{"CrCrLfKeepsOneCr", "abc\r\r\n", 1024, {"abc\r"}, ""},
        LineRow{"CrAtEndOfFile", "abc\r", 1024, {"abc"}, ""},
        LineRow{"LoneCrInsideStays", "a\rb\n", 1024, {"a\rb"}, ""},
        LineRow{"EmptyLines", "\n\r\n\nx", 1024, {"", "", "", "x"}, ""},
        LineRow{"NulEndsTheLine", std::string("ab\0cd\nef\n", 9), 1024, {"ab", "ef"}, ""},
        LineRow{"FitsSmallBuffer", std::string(511, 'a') + "\n", 512, {std::string(511, 'a')}, ""},
        LineRow{"TooLongForSmallBufferEndsReading",
                std::string(512, 'a') + "\nnext\n",
                512,
                {},
                "string buffer small\n"},
        LineRow{
            "LongLineInPieces", k2000 + "\nz\n", 1024, {k2000.substr(0, 1022), k2000.substr(1022), "z"}, ""},
        LineRow{"ByteOrderMarkSkipped", "\xEF\xBB\xBFline\n", 1024, {"line"}, ""},
        LineRow{"ShorterThanAMark", "ab", 1024, {"ab"}, ""},
        LineRow{"PartialMarkIsContent", "\xEF\xBBx\n", 1024, {"\xEF\xBBx"}, ""},
        LineRow{"SecondMarkIsContent", "\xEF\xBB\xBF\xEF\xBB\xBFx\n", 1024, {"\xEF\xBB\xBFx"}, ""}),
    RowName());

// A file that does not open is reported by the import's tests.
TEST(FileOpenTest, ReportsANullPath) {
    FILE* file = stdin;
    EXPECT_EQ(capture([&] { file = FileOpen(nullptr, "rb"); }).out, "file path is NULL\n");
    EXPECT_EQ(file, nullptr);
}

TEST(FolderFilePathTest, ExactNameFirstThenAsciiCaseInsensitive) {
    TempDir dir;
    const std::string folder = dir.path().string();
    for (const char* name : {"Lamedb", "LAMEDB", "blacklist", "Blacklist"}) writeText(dir, name, "x");
    EXPECT_EQ(FolderFilePath(folder.c_str(), "blacklist"), folder + "/blacklist");
    EXPECT_EQ(FolderFilePath(folder.c_str(), "lamedb"), folder + "/LAMEDB");  // lowest of the matches
    EXPECT_EQ(FolderFilePath(folder.c_str(), "services"), folder + "/services");
    EXPECT_EQ(FolderFilePath((folder + "/nowhere").c_str(), "lamedb"), folder + "/nowhere/lamedb");
}

}  // namespace
}  // namespace tovu::test
