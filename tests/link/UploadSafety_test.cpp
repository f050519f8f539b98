// Uploads keep a backup of what the receiver held before they send anything, count as done only
// when the receiver gives back what was sent, and a backup restores. Simulators listen on
// 127.0.60.x.
#include "LinkSupport.h"

#include "db/DbFileFormat.h"
#include "link/Backups.h"
#include "link/StbLink.h"
#include "link/Transactions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace tovu {
namespace {

using Upload = TransferOutcome (*)(ReceiverAddress, const std::string&, const UploadOptions&);

struct SafetyCase {
    const char* name;
    uint8_t host;  // 127.0.60.host
    Upload run;
    const char* file;
    const char* faults;
    int windowMs;         // how long the read-back may still differ
    const char* folder;   // the backup folder; "a-file" is a file
    const char* message;  // {backup}: the backup's path, {folder}: the backup folder
    int writes;           // the receiver saw the upload's write, and the restore's
};

void PrintTo(const SafetyCase& row, std::ostream* out) { *out << row.name; }

class UploadSafety : public testing::TestWithParam<SafetyCase> {};

TEST_P(UploadSafety, BacksUpFirstAndCountsOnlyWhatTheReceiverGivesBack) {
    const SafetyCase& c = GetParam();
    test::TempDir dir;
    const auto held = test::patternKdat(60);
    const auto sent = test::patternKdat(61);
    test::writeFileBytes(dir.file("receiver.kdat"), held);
    test::writeFileBytes(dir.file("up.kdat"), sent);
    test::writeText(dir.file("cable.xml"), test::cableXml(2, 3));
    test::writeText(dir.file("a-file"), "not a folder");
    // A provider list one byte longer than the receiver's, its checksum (of zeros) in place.
    test::writeFileBytes(dir.file("longer.bin"), std::vector<uint8_t>(0x10001, 0));
    auto options = test::words(c.faults);
    options.insert(options.end(), {"--db", dir.file("receiver.kdat")});
    test::SimProcess sim(test::loopback(0, 60, c.host), options);
    ASSERT_TRUE(sim.listening());

    UploadOptions settings;
    settings.verifyWindowMs = c.windowMs;
    settings.backupFolder = dir.file(c.folder);
    const TransferOutcome outcome = c.run(sim.address(), dir.file(c.file), settings);
    std::string message = c.message;
    for (const auto& [key, value] : {std::pair<std::string, std::string>{"{backup}", outcome.backupPath},
                                     {"{folder}", settings.backupFolder}})
        if (const size_t at = message.find(key); at != std::string::npos)
            message.replace(at, key.size(), value);
    EXPECT_EQ(outcome.message, message);
    EXPECT_EQ(outcome.success, message == "Upload chan DB completed");
    if (outcome.success && c.run == static_cast<Upload>(uploadDatabase)) {
        // The receiver keeps its own header, the start of block 0, under the block's new checksum.
        std::vector<uint8_t> stored(kDbImageLength);
        ASSERT_EQ(
            StbLink::transfer(sim.address(), kFromReceiver, stored.data(), kDbImageAddress, kDbImageLength),
            1);
        const size_t block0 = blockFileOffset(0) - kDbAreaOffset;
        std::vector<uint8_t> expected(sent.begin() + kDbAreaOffset, sent.end());
        std::copy_n(held.begin() + kDbAreaOffset + block0, kReceiverHeaderSize, expected.begin() + block0);
        std::copy_n(stored.begin() + block0 + kBlockDataSize, 4, expected.begin() + block0 + kBlockDataSize);
        EXPECT_TRUE(stored == expected);
        EXPECT_TRUE(verifyBlock(stored.data() + block0));
    }
    // A backup holds what the receiver held: the .kdat file a download writes (the restore checks
    // that it is valid) or the list as read.
    EXPECT_TRUE(!outcome.success || restoreBackup(sim.address(), outcome.backupPath, settings).success);
    if (!outcome.backupPath.empty()) {
        EXPECT_TRUE(
            outcome.backupPath.starts_with(dir.file("backups/127.0.60.") + std::to_string(c.host) + "-"));
        auto backup = test::readFileBytes(outcome.backupPath);
        if (backup.size() == kDbFileSize) std::copy_n(held.begin(), kDbAreaOffset, backup.begin());
        EXPECT_TRUE(backup == held || backup == std::vector<uint8_t>(0x10000, 0));
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
        SafetyCase{"DatabaseReadBack", 1, uploadDatabase, "up.kdat", "", 1000, "backups", kDone, 2},
        SafetyCase{"ProviderListReadBack", 2, uploadProviderList, "cable.xml", "", 1000, "backups", kDone, 2},
        SafetyCase{"Corrupted", 3, uploadDatabase, "up.kdat", "--corrupt-writes", 300, "backups", kDiffers,
                   1},
        SafetyCase{"LagWithinTheWindow", 4, uploadDatabase, "up.kdat", "--lag-writes 400", 1500, "backups",
                   kDone, 2},
        SafetyCase{"LagBeyondTheWindow", 5, uploadDatabase, "up.kdat", "--lag-writes 3000", 500, "backups",
                   kDiffers, 1},
        SafetyCase{
            "ReadBackRefused", 6, uploadDatabase, "up.kdat", "--refuse-reads-after-write", 300, "backups",
            "Cannot connect to STB, Please check!\nThe upload could not be read back to check it. Your "
            "previous channel list is saved in {backup}.",
            1},
        SafetyCase{"BackupNotReceived", 7, uploadDatabase, "up.kdat", "--reset-after 8", 300, "backups",
                   "Cannot connect to STB, Please check!\nThe backup of the receiver's channel list failed. "
                   "Nothing was uploaded.",
                   0},
        SafetyCase{
            "BackupNotSaved", 8, uploadProviderList, "cable.xml", "", 300, "a-file",
            "Fail to write DB!\nThe backup of the receiver's provider list could not be saved in {folder}. "
            "Nothing was uploaded.",
            0},
        SafetyCase{"RestoreRefusesALongerProviderList", 9, restoreBackup, "longer.bin", "", 300, "backups",
                   "Invalid DB File!", 0}),
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
