#include "db/DbFileFormat.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace tovu {
namespace {

using test::runCommand;
using test::TempDir;

const std::string kTool = std::string(TOVU_BINARY_DIR) + "/bin/kdattool";

std::string quoted(const std::string& s) { return "'" + s + "'"; }

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

TEST(Kdattool, DemoListsAndChecks) {
    TempDir dir;
    const auto demo = dir.file("demo.kdat");
    ASSERT_EQ(runCommand(kTool + " demo " + quoted(demo)).status, 0);
    EXPECT_EQ(std::filesystem::file_size(demo), kDbFileSize);

    const auto check = runCommand(kTool + " check " + quoted(demo));
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, "OK\n");

    const auto list = runCommand(kTool + " list " + quoted(demo));
    ASSERT_EQ(list.status, 0);
    const auto rows = lines(list.out);
    ASSERT_GE(rows.size(), 30u);
    EXPECT_EQ(rows[0],
              "1\tCCTV-1 综合\t101\t1\t1\t474000 KHz\t6875 Kbs\t64QAM\tUnLocked\tStereo\tOff\tYes\tTV");

    const auto listsOut = runCommand(kTool + " lists " + quoted(demo));
    ASSERT_EQ(listsOut.status, 0);
    const auto listRows = lines(listsOut.out);
    ASSERT_EQ(listRows.size(), 9u);  // 0..7 and one user list
    EXPECT_EQ(listRows[3], "3\t4\tNews\t0,12,3,30");
    EXPECT_EQ(listRows[4].substr(0, 4), "4\t3\t");
    EXPECT_EQ(listRows[8], "9\t2\tKids\t13,24");
}

TEST(Kdattool, CopyKeepsTheImageAndFailuresGiveTheEditorsMessages) {
    TempDir dir;
    const auto demo = dir.file("demo.kdat");
    const auto copy = dir.file("copy.kdat");
    ASSERT_EQ(runCommand(kTool + " demo " + quoted(demo)).status, 0);
    ASSERT_EQ(runCommand(kTool + " copy " + quoted(demo) + " " + quoted(copy)).status, 0);
    EXPECT_EQ(runCommand(kTool + " list " + quoted(copy)).out,
              runCommand(kTool + " list " + quoted(demo)).out);
    const auto a = test::readFileBytes(demo);
    const auto b = test::readFileBytes(copy);
    EXPECT_TRUE(std::equal(a.begin() + 0x10000, a.end(), b.begin() + 0x10000));

    const auto missing = runCommand(kTool + " check " + quoted(dir.file("none.kdat")) + " 2>&1");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "Fail to open DB!\n");
    test::writeFileBytes(dir.file("bad.kdat"), std::vector<uint8_t>(100, 0));
    const auto invalid = runCommand(kTool + " list " + quoted(dir.file("bad.kdat")) + " 2>&1");
    EXPECT_EQ(invalid.status, 1);
    EXPECT_EQ(invalid.out, "Invalid DB File!\n");
    EXPECT_EQ(
        runCommand(kTool + " copy " + quoted(demo) + " " + quoted(dir.file("no/such/dir.kdat")) + " 2>&1")
            .out,
        "Fail to open DB!\n");
}

TEST(Kdattool, UsageErrorsExitWithTwo) {
    EXPECT_EQ(runCommand(kTool + " 2>/dev/null").status, 2);
    EXPECT_EQ(runCommand(kTool + " check 2>/dev/null").status, 2);
    EXPECT_EQ(runCommand(kTool + " frobnicate x 2>/dev/null").status, 2);
}

// --version prints the version set in CMake on standard output, with success.
struct VersionCase {
    const char* name;
    const char* program;
};

class VersionOption : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionOption, PrintsTheProjectVersion) {
    const std::string program = GetParam().program;
    const auto run = runCommand(std::string(TOVU_BINARY_DIR) + "/bin/" + program + " --version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, program + " (Tovu Cable Channel Editor) " TOVU_PROJECT_VERSION "\n");
}

INSTANTIATE_TEST_SUITE_P(Tools, VersionOption,
                         ::testing::Values(VersionCase{"Kdattool", "kdattool"},
                                           VersionCase{"StbSim", "stb-sim"}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu
