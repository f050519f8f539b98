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
    int windowMs;
    bool folderUsable;    // else the backup folder's path is taken by a file
    const char* message;  // {backup}: the backup's path, {folder}: the backup folder
    int writes;           // the receiver saw the upload's write, and the restore's
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
    // A backup holds what the receiver held: the .kdat file a download writes (the restore checks
    // that it is valid) or the list as read.
    EXPECT_TRUE(!outcome.success || restoreBackup(sim.address(), outcome.backupPath, upload).success);
    if (!outcome.backupPath.empty()) {
        EXPECT_TRUE(outcome.backupPath.starts_with(dir.file("backups/127.0.60.") + std::to_string(c.host)));
        auto backup = test::readFileBytes(outcome.backupPath);
        if (c.database && backup.size() == kDbFileSize)
            std::copy_n(held.begin(), kDbAreaOffset, backup.begin());
        EXPECT_TRUE(c.database ? backup == held : backup == std::vector<uint8_t>(0x10000, 0));
    }
    const auto lines = sim.linesUntilStopped();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.starts_with("write"); }),
              c.writes);
}

constexpr const char* kDone = "Upload chan DB completed";
constexpr const char* kDiffers =
    "The receiver holds different data than was sent. Your previous channel list is saved in {backup}.";
INSTANTIATE_TEST_SUITE_P(
    Receivers, UploadSafety,
    testing::Values(
        SafetyCase{"DatabaseReadBack", 1, true, "", 1000, true, kDone, 2},
        SafetyCase{"ProviderListReadBack", 2, false, "", 1000, true, kDone, 2},
        SafetyCase{"Corrupted", 3, true, "--corrupt-writes", 300, true, kDiffers, 1},
        SafetyCase{"LagWithinTheWindow", 6, true, "--lag-writes 400", 1500, true, kDone, 2},
        SafetyCase{"LagBeyondTheWindow", 7, true, "--lag-writes 3000", 500, true, kDiffers, 1},
        SafetyCase{
            "ReadBackRefused", 8, true, "--refuse-reads-after-write", 300, true,
            "Cannot connect to STB, Please check!\nThe upload could not be read back to check it. Your "
            "previous channel list is saved in {backup}.",
            1},
        SafetyCase{"BackupNotReceived", 9, true, "--reset-after 8", 300, true,
                   "Cannot connect to STB, Please check!\nThe backup of the receiver's channel list failed. "
                   "Nothing was uploaded.",
                   0},
        SafetyCase{
            "BackupNotSaved", 10, false, "", 300, false,
            "Fail to write DB!\nThe backup of the receiver's provider list could not be saved in {folder}. "
            "Nothing was uploaded.",
            0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Backups, KeepTheNewestTwentyOfEachReceiverAndKindAndNothingOfAFailedOne) {
    test::TempDir dir;
    std::set<std::string> left = {"notes.txt", "127.0.60.2-20000101-000000.kdat",
                                  "127.0.60.1-20000101-000000.bin", "127.0.60.1-2000.kdat"};
    for (const std::string& name : left) test::writeText(dir.file(name), "not ours");
    test::writeText(dir.file("127.0.60.1-20000101-000000.kdat"), "the oldest");
    const auto backUp = [&dir](bool ok) {  // mostly within one second
        return writeBackup(dir.path(), test::loopback(0, 60, 1), BackupKind::Database,
                           [ok](DbFile& file) { return ok && file.write("x", 1); });
    };
    EXPECT_EQ(backUp(false), "");
    for (int i = 0; i < 25; ++i) {
        const std::string path = backUp(true);
        if (i >= 5) left.insert(std::filesystem::path(path).filename());
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(left.erase(entry.path().filename()), 1u) << entry.path();
    EXPECT_TRUE(left.empty());
}

}  // namespace
}  // namespace tovu
