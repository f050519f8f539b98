#include "db/DbStore.h"
#include "db/DbFileFormat.h"
#include "db/TemporaryFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

namespace tovu {
namespace {

namespace fs = std::filesystem;
using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

// Receiver header bytes and a record that must both travel.
std::unique_ptr<ChannelDbImage> sampleImage() {
    auto image = std::make_unique<ChannelDbImage>();
    image->bytes[3] = 0x33;
    writeLe32(image->bytes.data() + kChannelCountOffset, 1);
    image->bytes[kRecordsOffset] = 0x44;
    return image;
}

size_t entriesIn(const fs::path& dir) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {}));
}

constexpr uid_t kNobody = 65534;

enum class Target { Absent, File, Symbolic, Dangling, Hard };

struct TargetCase {
    const char* name;
    Target target;
    bool readOnlyFolder;
    bool diskFull;
    SaveResult result;
};

class SaveTargets : public testing::TestWithParam<TargetCase> {};

// "f/real.kdat" is the file saved, through "f/link.kdat" for a symbolic link; "f/other.kdat" is
// its second name for a hard link.
TEST_P(SaveTargets, SaveTheFileTheyNameOrKeepItAndLeaveNothingElse) {
    const TargetCase& c = GetParam();
    TempDir dir;
    const fs::path folder = dir.path() / "f";
    fs::create_directory(folder);
    fs::permissions(dir.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    const std::string real = (folder / "real.kdat").string(), link = (folder / "link.kdat").string();
    const bool existed = c.target == Target::File || c.target == Target::Symbolic || c.target == Target::Hard;
    const std::vector<uint8_t> old = existed ? std::vector<uint8_t>(1000, 0x11) : std::vector<uint8_t>{};
    if (existed) {
        writeFileBytes(real, old);
        fs::permissions(real, fs::perms::all);
    }
    if (c.target == Target::Symbolic || c.target == Target::Dangling) fs::create_symlink("real.kdat", link);
    if (c.target == Target::Hard) fs::create_hard_link(real, folder / "other.kdat");
    const size_t entries = entriesIn(folder);
    const mode_t mask = umask(0);
    umask(mask);
    if (c.readOnlyFolder) {
        // A folder that lets us write its files but not create any; as root, whose file accesses
        // are then checked as those of an unprivileged user.
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
        if (geteuid() == 0) {
            setfsgid(kNobody);
            setfsuid(kNobody);
            if (setfsuid(-1) != kNobody) GTEST_SKIP() << "cannot check files as an unprivileged user";
        }
    }
    std::optional<test::FileSizeLimit> limit;
    if (c.diskFull) limit.emplace(0x48000);  // within the first block written
    const SaveResult result = saveDbToPath(*sampleImage(), fs::is_symlink(link) ? link : real);
    limit.reset();
    setfsuid(geteuid());
    setfsgid(getegid());
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(fs::is_symlink(link), c.target == Target::Symbolic || c.target == Target::Dangling);
    EXPECT_EQ(entriesIn(folder), entries + (!existed && result == SaveResult::Saved));
    if (c.target == Target::Hard) {
        EXPECT_EQ(readFileBytes(folder / "other.kdat"), readFileBytes(real));
    }
    if (result != SaveResult::Saved) {
        EXPECT_EQ(readFileBytes(real), old);
        return;
    }
    auto loaded = std::make_unique<ChannelDbImage>();
    EXPECT_EQ(loadDbFromPath(*loaded, real), LoadResult::Loaded);
    EXPECT_EQ(loaded->bytes, sampleImage()->bytes);
    EXPECT_EQ(static_cast<mode_t>(fs::status(real).permissions()), existed ? 0777 : 0666 & ~mask);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, SaveTargets,
    testing::Values(TargetCase{"NewFile", Target::Absent, false, false, SaveResult::Saved},
                    TargetCase{"NewFileDiskFull", Target::Absent, false, true, SaveResult::WriteFailed},
                    TargetCase{"NewFileInReadOnlyFolder", Target::Absent, true, false,
                               SaveResult::OpenFailed},
                    TargetCase{"FileDiskFull", Target::File, false, true, SaveResult::WriteFailed},
                    TargetCase{"SymbolicLink", Target::Symbolic, false, false, SaveResult::Saved},
                    TargetCase{"DanglingSymbolicLink", Target::Dangling, false, false, SaveResult::Saved},
                    TargetCase{"HardLink", Target::Hard, false, false, SaveResult::Saved},
                    TargetCase{"HardLinkDiskFull", Target::Hard, false, true, SaveResult::WriteFailed},
                    TargetCase{"ReadOnlyFolder", Target::File, true, false, SaveResult::Saved},
                    TargetCase{"ReadOnlyFolderDiskFull", Target::File, true, true, SaveResult::WriteFailed}),
    [](const auto& row) { return std::string(row.param.name); });

// A save killed while its file had a name leaves it behind; a later save of the same file removes
// it once it is an hour old.
TEST(SaveLeftovers, NamedFileOfAKilledSaveIsRemovedOnceAnHourOld) {
    TempDir dir;
    const auto target = dir.file("t.bin");
    if (fork() == 0) {
        TemporaryFile temp;
        _exit(temp.create(target, false) ? 0 : 1);  // without the destructor, as a crash ends
    }
    int status = -1;
    wait(&status);
    ASSERT_EQ(status, 0);
    const auto leftover = fs::directory_iterator(dir.path())->path();
    for (const int minutes : {50, 70}) {
        fs::last_write_time(leftover, fs::file_time_type::clock::now() - std::chrono::minutes(minutes));
        ASSERT_EQ(saveBytesToPath(target, {1, 2}), SaveResult::Saved);
        EXPECT_EQ(fs::exists(leftover), minutes < 60);
    }
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

}  // namespace
}  // namespace tovu
