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

TEST_F(PoolTest, LastReleasePrintsNoDynamicMemoryOnce) {
    void* a = nullptr;
    void* b = nullptr;
    Captured c = capture([&] {
        a = DmMalloc(10);
        b = DmMalloc(20);
    });
    EXPECT_EQ(c.out, "");
    EXPECT_EQ(liveBlockCount, 2);
    EXPECT_EQ(headerWord(a, 1), 10u);
    EXPECT_EQ(headerWord(b, 1), 20u);
    EXPECT_EQ(headerWord(a, 2), 1u);
    EXPECT_EQ(headerWord(b, 2), 2u);
    EXPECT_EQ(headerWord(b, 3), 0xA5A5A5A5u);
    EXPECT_EQ(capture([&] { DmFree(a); }).out, "");
    EXPECT_EQ(capture([&] { DmFree(b); }).out, "DM: no dynamic memory now\n\n");
}

TEST_F(PoolTest, RefusedResizesLeaveTheBlockValidAndCounted) {
    uint8_t* block = nullptr;
    capture([&] { block = static_cast<uint8_t*>(DmMalloc(4)); });
    std::memcpy(block, "abcd", 4);
    void* result = &block;
    EXPECT_EQ(capture([&] { result = DmRealloc(block, 0); }).out,
              "DM: dont support realloc with size of 0\n");
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(capture([&] { result = DmRealloc(nullptr, 8); }).out, "DM: realloc pointer is NULL\n");
    EXPECT_EQ(result, nullptr);
    DmFailAfter(0);
    EXPECT_EQ(capture([&] { result = DmRealloc(block, 8); }).out, "DM: realloc no change\n");
    EXPECT_EQ(result, nullptr);
    DmFailAfter(-1);
    EXPECT_EQ(liveBlockCount, 1);
    EXPECT_EQ(std::memcmp(block, "abcd", 4), 0);

    auto* grown = static_cast<uint8_t*>(DmRealloc(block, 4000));
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(std::memcmp(grown, "abcd", 4), 0);
    EXPECT_EQ(headerWord(grown, 1), 4000u);
    EXPECT_EQ(headerWord(grown, 2), 1u);  // the serial stays
    EXPECT_EQ(liveBlockCount, 1);
    capture([&] { DmFree(grown); });
}

TEST_F(PoolTest, FailedAllocationAndNullReleaseOnlyReport) {
    DmFailAfter(0);
    void* block = &block;
    EXPECT_EQ(capture([&] { block = DmMalloc(16); }).out, "DM: malloc failed\n");
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(liveBlockCount, 0);
    EXPECT_EQ(capture([] { DmFree(nullptr); }).out, "DM: free mem NULL\n");
    EXPECT_EQ(liveBlockCount, 0);
}

// ReadLine: the lines (or pieces) delivered from the bytes and what it printed.
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
    FILE* file = streamOf(row.bytes);
    ASSERT_NE(file, nullptr);
    std::vector<std::string> got;
    std::vector<char> out(static_cast<size_t>(row.outSize), 'x');
    Captured c = capture([&] {
        while (ReadLine(file, out.data(), row.outSize) == 0) {
            got.emplace_back(out.data());
            // The caller's buffer is zero-padded behind the line.
            for (size_t i = got.back().size(); i < out.size(); ++i) ASSERT_EQ(out[i], '\0');
        }
    });
    std::fclose(file);
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
        LineRow{"EmptyFile", "", 1024, {}, ""}),
    RowName());

TEST(FileOpenTest, ReportsNullPathAndFailedOpen) {
    FILE* file = stdin;
    EXPECT_EQ(capture([&] { file = FileOpen(nullptr, "rb"); }).out, "file path is NULL\n");
    EXPECT_EQ(file, nullptr);
    TempDir dir;
    const std::string path = dir.file("absent");
    EXPECT_EQ(capture([&] { file = FileOpen(path.c_str(), "rb"); }).out,
              "file open failed: PATH " + path + " MODE rb\n");
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(FileClose(nullptr), 0);
}

struct BomRow {
    const char* name;
    std::string bytes;
    std::string firstLine;
};
class ByteOrderMarkTest : public testing::TestWithParam<BomRow> {};

TEST_P(ByteOrderMarkTest, OnlyACompleteMarkAtTheStartIsSkipped) {
    TempDir dir;
    writeText(dir, "f", GetParam().bytes);
    FILE* file = FileOpen(dir.file("f").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    char line[1024];
    ASSERT_EQ(ReadLine(file, line, sizeof line), 0);
    EXPECT_EQ(std::string(line), GetParam().firstLine);
    EXPECT_EQ(FileClose(file), 0);
}

INSTANTIATE_TEST_SUITE_P(Marks, ByteOrderMarkTest,
                         testing::Values(BomRow{"Mark", "\xEF\xBB\xBFline\n", "line"},
                                         BomRow{"NoMark", "line\n", "line"}, BomRow{"ShortFile", "ab", "ab"},
                                         BomRow{"PartialMarkIsContent", "\xEF\xBBx\n", "\xEF\xBBx"},
                                         BomRow{"SecondMarkIsContent", "\xEF\xBB\xBF\xEF\xBB\xBFx\n",
                                                "\xEF\xBB\xBFx"}),
                         RowName());

TEST(FolderFilePathTest, ExactNameFirstThenAsciiCaseInsensitive) {
    TempDir dir;
    const std::string folder = dir.path().string();
    writeText(dir, "Lamedb", "x");
    writeText(dir, "LAMEDB", "y");
    writeText(dir, "blacklist", "z");
    writeText(dir, "Blacklist", "w");
    EXPECT_EQ(FolderFilePath(folder.c_str(), "blacklist"), folder + "/blacklist");
    EXPECT_EQ(FolderFilePath(folder.c_str(), "lamedb"), folder + "/LAMEDB");  // lowest of the matches
    EXPECT_EQ(FolderFilePath(folder.c_str(), "services"), folder + "/services");
    EXPECT_EQ(FolderFilePath((folder + "/nowhere").c_str(), "lamedb"), folder + "/nowhere/lamedb");
}

}  // namespace
}  // namespace tovu::test
