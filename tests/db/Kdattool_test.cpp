#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tovu {
namespace {

using test::runCommand;

// Runs kdattool with the given arguments, standard error joined to standard output.
test::CommandResult kdattool(const std::string& arguments) {
    return runCommand(TOVU_BINARY_DIR "/bin/kdattool " + arguments + " 2>&1");
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

TEST(Kdattool, DemoChecksListsAndCopies) {
    test::TempDir dir;
    const auto demo = "'" + dir.file("demo.kdat") + "'", copy = "'" + dir.file("copy.kdat") + "'";
    ASSERT_EQ(kdattool("demo " + demo).status, 0);
    EXPECT_EQ(kdattool("check " + demo).out, "OK\n");

    const auto list = kdattool("list " + demo);
    ASSERT_EQ(list.status, 0);
    const auto rows = lines(list.out);
    ASSERT_EQ(rows.size(), 40u);
    EXPECT_EQ(rows[0],
              "1\tCCTV-1 综合\t101\t1\t1\t474000 KHz\t6875 Kbs\t64QAM\tUnLocked\tStereo\tOff\tYes\tTV");

    const auto listRows = lines(kdattool("lists " + demo).out);
    ASSERT_EQ(listRows.size(), 9u);  // 0..7 and one user list
    EXPECT_EQ(listRows[3], "3\t4\tNews\t0,12,3,30");
    EXPECT_EQ(listRows[7], "7\t0\t\t");
    EXPECT_EQ(listRows[8], "9\t2\tKids\t13,24");

    ASSERT_EQ(kdattool("copy " + demo + " " + copy).status, 0);
    EXPECT_EQ(kdattool("list " + copy).out, list.out);
}

TEST(Kdattool, FailuresGiveTheEditorsMessages) {
    test::TempDir dir;
    const auto missing = kdattool("check '" + dir.file("none.kdat") + "'");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "Fail to open DB!\n");
    test::writeFileBytes(dir.file("bad.kdat"), std::vector<uint8_t>(100, 0));
    const auto invalid = kdattool("list '" + dir.file("bad.kdat") + "'");
    EXPECT_EQ(invalid.status, 1);
    EXPECT_EQ(invalid.out, "Invalid DB File!\n");
    EXPECT_EQ(kdattool("").status, 2);
    EXPECT_EQ(kdattool("check").status, 2);
    EXPECT_EQ(kdattool("frobnicate x").status, 2);
}

}  // namespace
}  // namespace tovu
