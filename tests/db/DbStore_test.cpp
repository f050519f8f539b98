#include "db/DbStore.h"
#include "db/ChannelRecord.h"
#include "db/DbFileFormat.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>
#include <memory>

namespace tovu {
namespace {

namespace fs = std::filesystem;
using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

std::unique_ptr<ChannelDbImage> sampleImage() {
    auto image = std::make_unique<ChannelDbImage>();
    for (uint16_t i = 0; i < 5; ++i) {
        ChannelRecord r;
        r.serviceId = i;
        r.flags = kProgTv << kProgTypeShift;
        (void)addChannel(*image, r);
    }
    image->bytes[3] = 0x33;  // receiver header bytes travel too
    return image;
}

size_t entriesIn(const fs::path& dir) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {}));
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(SaveDb, NewFileIsACompleteValidKdat) {
    TempDir dir;
    const auto path = dir.file("new.kdat");
    auto image = sampleImage();
    ASSERT_EQ(saveDbToPath(*image, path), SaveResult::Saved);
    EXPECT_EQ(fs::file_size(path), kDbFileSize);
    EXPECT_EQ(entriesIn(dir.path()), 1u);  // no temporary file left behind
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(modeOf(path), 0666 & ~mask);
    auto loaded = std::make_unique<ChannelDbImage>();
    ASSERT_EQ(loadDbFromPath(*loaded, path), LoadResult::Loaded);
    EXPECT_EQ(loaded->bytes, image->bytes);
}

TEST(SaveDb, ExistingLongerFileKeepsLengthTailAndPermissions) {
    TempDir dir;
    const auto path = dir.file("long.kdat");
    writeFileBytes(path, std::vector<uint8_t>(kDbFileSize + 4096, 0x7E));
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(saveDbToPath(*sampleImage(), path), SaveResult::Saved);
    const auto bytes = readFileBytes(path);
    ASSERT_EQ(bytes.size(), kDbFileSize + 4096);
    EXPECT_TRUE(std::all_of(bytes.begin() + kDbFileSize, bytes.end(), [](uint8_t b) { return b == 0x7E; }));
    EXPECT_EQ(modeOf(path), 0640u);
    PosixDbFile file;
    ASSERT_TRUE(file.open(path, PosixDbFile::Mode::ReadOnly));
    EXPECT_TRUE(validateDbFile(file));
}

TEST(SaveDb, FailedWriteLeavesTheTargetUntouchedAndNoTemporaryFile) {
    TempDir dir;
    const auto path = dir.file("keep.kdat");
    const std::vector<uint8_t> original(1234, 0x42);
    writeFileBytes(path, original);
    const auto result = saveFileSafely(path, [](DbFile& file) {
        (void)file.write("partial", 7);
        return false;
    });
    EXPECT_EQ(result, SaveResult::WriteFailed);
    EXPECT_EQ(readFileBytes(path), original);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(SaveDb, FileSizeLimitIsAFailedWriteNotASuccess) {
    TempDir dir;
    const auto existing = dir.file("existing.kdat");
    const std::vector<uint8_t> original(1000, 0x11);
    writeFileBytes(existing, original);

    SaveResult overExisting;
    SaveResult fresh;
    {
        test::FileSizeLimit limit(0x20000);
        ASSERT_TRUE(limit.active());
        overExisting = saveDbToPath(*sampleImage(), existing);
        fresh = saveDbToPath(*sampleImage(), dir.file("fresh.kdat"));
    }

    EXPECT_EQ(overExisting, SaveResult::WriteFailed);
    EXPECT_EQ(fresh, SaveResult::WriteFailed);
    EXPECT_EQ(readFileBytes(existing), original);
    EXPECT_FALSE(fs::exists(dir.file("fresh.kdat")));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(SaveDb, PathsThatCannotBeOpenedOrCreated) {
    TempDir dir;
    auto image = sampleImage();
    EXPECT_EQ(saveDbToPath(*image, dir.path().string()), SaveResult::OpenFailed);  // a folder
    EXPECT_EQ(saveDbToPath(*image, dir.file("missing/x.kdat")), SaveResult::OpenFailed);
    if (geteuid() != 0) {  // permissions do not bind the superuser
        fs::create_directory(dir.path() / "ro");
        fs::permissions(dir.path() / "ro", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(saveDbToPath(*image, dir.file("ro/x.kdat")), SaveResult::OpenFailed);
    }
}

TEST(SaveDb, ThroughASymbolicLinkReplacesTheFileItPointsTo) {
    TempDir dir;
    const auto real = dir.file("real.kdat");
    const auto link = dir.file("link.kdat");
    writeFileBytes(real, {1, 2, 3});
    fs::create_symlink(real, link);
    ASSERT_EQ(saveDbToPath(*sampleImage(), link), SaveResult::Saved);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::file_size(real), kDbFileSize);
}

TEST(LoadDb, ReportsOpenAndValidationFailuresWithoutTouchingTheImage) {
    TempDir dir;
    auto image = sampleImage();
    const auto before = image->bytes;
    EXPECT_EQ(loadDbFromPath(*image, dir.file("absent.kdat")), LoadResult::OpenFailed);
    EXPECT_EQ(loadDbFromPath(*image, dir.path().string()), LoadResult::OpenFailed);
    writeFileBytes(dir.file("junk.kdat"), std::vector<uint8_t>(kDbFileSize, 0x01));
    EXPECT_EQ(loadDbFromPath(*image, dir.file("junk.kdat")), LoadResult::Invalid);
    EXPECT_EQ(image->bytes, before);
}

}  // namespace
}  // namespace tovu
