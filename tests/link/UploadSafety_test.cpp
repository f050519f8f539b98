// Uploads keep a backup of what the receiver held before they send anything, and count as done
// only when the receiver gives back what was sent. Simulators listen on 127.0.60.x.
#include "LinkSupport.h"

#include "db/DbFileFormat.h"
#include "link/Backups.h"
#include "link/Transactions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

namespace tovu {
namespace {

struct SafetyCase {
    const char* name;
    uint8_t host;   // 127.0.60.host
    bool database;  // else the provider list
    const char* faults;
    bool verify;
    int windowMs;
    bool folderUsable;    // else the backup folder's path is taken by a file
    const char* message;  // {backup}: the backup's path, {folder}: the backup folder
    bool sent;            // the receiver saw the upload's write
};

class UploadSafety : public testing::TestWithParam<SafetyCase> {};

TEST_P(UploadSafety, BacksUpFirstAndCountsOnlyWhatTheReceiverGivesBack) {
    const SafetyCase& c = GetParam();
    test::TempDir dir;
    const auto held = test::patternKdat(60);
    test::writeFileBytes(dir.file("receiver.kdat"), held);
    test::writeFileBytes(dir.file("up.kdat"), test::patternKdat(61));
    test::writeText(dir.file("cable.xml"), test::cableXml(2, 3));
    if (!c.folderUsable) test::writeText(dir.file("backups"), "a file");
    std::vector<std::string> options = {"--db", dir.file("receiver.kdat")};
    std::istringstream faults(c.faults);
    for (std::string word; faults >> word;) options.push_back(word);
    test::SimProcess sim(test::loopback(0, 60, c.host), options);
    ASSERT_TRUE(sim.listening());

    UploadOptions upload;
    upload.verify = c.verify;
    upload.verifyWindowMs = c.windowMs;
    upload.backupFolder = dir.file("backups");
    const TransferOutcome outcome = c.database
                                        ? uploadDatabase(sim.address(), dir.file("up.kdat"), upload)
                                        : uploadProviderList(sim.address(), dir.file("cable.xml"), upload);
    std::string message = c.message;
    for (const auto& [key, value] : {std::pair<std::string, std::string>{"{backup}", outcome.backupPath},
                                     {"{folder}", dir.file("backups")}})
        if (const size_t at = message.find(key); at != std::string::npos)
            message.replace(at, key.size(), value);
    EXPECT_EQ(outcome.message, message);
    EXPECT_EQ(outcome.success, message == "Upload chan DB completed");
    if (!outcome.backupPath.empty()) {
        // What the receiver held before: a .kdat file as a download writes it, or the list as read.
        EXPECT_EQ(outcome.backupPath.rfind(dir.file("backups/127.0.60.") + std::to_string(c.host) + "-", 0),
                  0u);
        const auto backup = test::readFileBytes(outcome.backupPath);
        if (c.database) {
            ASSERT_EQ(backup.size(), kDbFileSize);
            EXPECT_TRUE(
                std::equal(backup.begin() + kDbAreaOffset, backup.end(), held.begin() + kDbAreaOffset));
            PosixDbFile file;
            EXPECT_TRUE(file.open(outcome.backupPath, PosixDbFile::Mode::ReadOnly) && validateDbFile(file));
        } else {
            EXPECT_EQ(backup, std::vector<uint8_t>(0x10000, 0));
        }
    }
    const auto lines = sim.linesUntilStopped();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.starts_with("write"); }),
              c.sent ? 1 : 0);
}

constexpr const char* kDone = "Upload chan DB completed";
constexpr const char* kDiffers =
    "The receiver holds different data than was sent. Your previous channel list is saved in {backup}.";
INSTANTIATE_TEST_SUITE_P(
    Receivers, UploadSafety,
    testing::Values(
        SafetyCase{"DatabaseReadBack", 1, true, "", true, 1000, true, kDone, true},
        SafetyCase{"ProviderListReadBack", 2, false, "", true, 1000, true, kDone, true},
        SafetyCase{"DatabaseCorrupted", 3, true, "--corrupt-writes", true, 300, true, kDiffers, true},
        SafetyCase{"ProviderListCorrupted", 4, false, "--corrupt-writes", true, 300, true,
                   "The receiver holds different data than was sent. Your previous provider list is saved in "
                   "{backup}.",
                   true},
        SafetyCase{"CorruptedWithoutReadBack", 5, true, "--corrupt-writes", false, 300, true, kDone, true},
        SafetyCase{"LagWithinTheWindow", 6, true, "--lag-writes 400", true, 1500, true, kDone, true},
        SafetyCase{"LagBeyondTheWindow", 7, true, "--lag-writes 3000", true, 500, true, kDiffers, true},
        SafetyCase{
            "ReadBackRefused", 8, true, "--refuse-reads-after-write", true, 300, true,
            "Cannot connect to STB, Please check!\nThe upload could not be read back to check it. Your "
            "previous channel list is saved in {backup}.",
            true},
        SafetyCase{"BackupNotReceived", 9, true, "--reset-after 8", true, 300, true,
                   "Cannot connect to STB, Please check!\nThe backup of the receiver's channel list failed. "
                   "Nothing was uploaded.",
                   false},
        SafetyCase{
            "BackupNotSaved", 10, false, "", true, 300, false,
            "Fail to write DB!\nThe backup of the receiver's provider list could not be saved in {folder}. "
            "Nothing was uploaded.",
            false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Backups, KeepTheNewestTwentyOfEachReceiverAndKindAndNothingOfAFailedOne) {
    test::TempDir dir;
    const std::set<std::string> others = {"notes.txt", "127.0.60.2-20000101-000000.kdat",
                                          "127.0.60.1-20000101-000000.bin", "127.0.60.1-2000.kdat"};
    for (const std::string& name : others) test::writeText(dir.file(name), "not ours");
    test::writeText(dir.file("127.0.60.1-20000101-000000.kdat"), "the oldest");
    std::vector<std::string> written;  // most of them in the same second
    for (uint8_t i = 0; i < 25; ++i)
        written.push_back(writeBackup(dir.path(), test::loopback(0, 60, 1), BackupKind::Database,
                                      [i](DbFile& file) { return file.write(&i, 1); }));
    EXPECT_TRUE(writeBackup(dir.path(), test::loopback(0, 60, 1), BackupKind::Database, [](DbFile&) {
                    return false;
                }).empty());

    std::set<std::string> expected = others;
    for (size_t i = 5; i < written.size(); ++i) {
        expected.insert(std::filesystem::path(written[i]).filename().string());
        EXPECT_EQ(test::readFileBytes(written[i]), std::vector<uint8_t>{static_cast<uint8_t>(i)});
    }
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        left.insert(entry.path().filename());
    EXPECT_EQ(left, expected);
}

}  // namespace
}  // namespace tovu
