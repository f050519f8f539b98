#include "KdatBuilder.h"
#include "db/ChannelRecord.h"
#include "db/DbFileFormat.h"
#include "db/FavLists.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>

namespace tovu {
namespace {

using test::buildKdat;
using test::stampReference;

std::vector<uint8_t> patternImage(uint32_t seed = 7) {
    std::vector<uint8_t> image(kImageSize);
    std::mt19937 rng(seed);
    for (auto& b : image) b = static_cast<uint8_t>(rng());
    // Keep the counts sane so sanitizing leaves the image alone.
    writeLe32(image.data() + kChannelCountOffset, 3);
    for (size_t list : {kTvListOffset, kRadioListOffset, kDataListOffset})
        writeLe32(image.data() + list + 20, 1);
    for (size_t k = 0; k < 5; ++k) writeLe32(image.data() + kDefaultFavOffset + 628 * k + 20, 2);
    for (size_t k = 0; k < 16; ++k) {
        image[kListInUseOffset + k] = k % 2;
        writeLe32(image.data() + kUserFavOffset + 628 * k + 20, 4);
    }
    return image;
}

TEST(ByteSum, AddsUnsignedBytesAndWraps) {
    EXPECT_EQ(byteSum(nullptr, 0), 0u);
    const uint8_t three[] = {0x01, 0x02, 0xFF};
    EXPECT_EQ(byteSum(three, 3), 258u);
    std::vector<uint8_t> full(kBlockDataSize, 0xFF);
    EXPECT_EQ(byteSum(full.data(), full.size()), 16710660u);
    std::vector<uint8_t> large(17 * 1024 * 1024, 0xFF);  // beyond 2^32 / 255 bytes would wrap; check lanes
    EXPECT_EQ(byteSum(large.data(), large.size()), static_cast<uint32_t>(uint64_t{255} * large.size()));
}

TEST(VerifyBlock, ZeroChecksumPassesAnyData) {
    std::vector<uint8_t> block(kBlockSize, 0x5A);
    block[65532] = block[65533] = block[65534] = block[65535] = 0;
    EXPECT_TRUE(verifyBlock(block.data()));
    test::putBe32(block, 65532, 0x5A * 65532u);
    EXPECT_TRUE(verifyBlock(block.data()));
    test::putBe32(block, 65532, 0x5A * 65532u + 1);
    EXPECT_FALSE(verifyBlock(block.data()));
}

// Each row damages or changes a well-formed file and says whether it must still validate.
struct ValidationCase {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> change;
    bool valid;
};

class Validation : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(Validation, DecidesAsTheFormatSays) {
    auto file = buildKdat(patternImage());
    GetParam().change(file);
    MemoryDbFile f(file);
    EXPECT_EQ(validateDbFile(f), GetParam().valid);
}

void breakBlock(std::vector<uint8_t>& f, size_t k, bool restamp) {
    const size_t at = blockFileOffset(k);
    f[at + 65535] ^= 1;  // the stored checksum no longer matches
    if (restamp) stampReference(f);
}

INSTANTIATE_TEST_SUITE_P(
    KdatFile, Validation,
    ::testing::Values(
        ValidationCase{"Intact", [](auto&) {}, true},
        ValidationCase{"Block2ChecksumWrongButStamped", [](auto& f) { breakBlock(f, 2, true); }, true},
        ValidationCase{"Block3ChecksumWrongButStamped", [](auto& f) { breakBlock(f, 3, true); }, true},
        ValidationCase{"Block0ChecksumWrong", [](auto& f) { breakBlock(f, 0, true); }, false},
        ValidationCase{"Block1ChecksumWrong", [](auto& f) { breakBlock(f, 1, true); }, false},
        ValidationCase{"Block0ChecksumZero",
                       [](auto& f) {
                           test::putBe32(f, 0x4FFFC, 0);
                           f[0x40010] ^= 0xFF;
                           stampReference(f);
                       },
                       true},
        ValidationCase{"Bytes4To7Changed", [](auto& f) { f[5] = 0x77; }, true},
        ValidationCase{"Bytes24To31Changed", [](auto& f) { f[24] ^= 0xFF, f[31] ^= 0x01; }, true},
        ValidationCase{"DataByteChangedWithoutRestamp", [](auto& f) { f[0x20000] ^= 1; }, false},
        ValidationCase{"HeaderBlockZeroByteChanged", [](auto& f) { f[100] = 1; }, false},
        ValidationCase{"WrongMagic", [](auto& f) { f[0] = 'K'; }, false},
        ValidationCase{"LengthWordWrong", [](auto& f) { f[16] = 0xE1; }, false},
        ValidationCase{"LengthTopByteIgnored", [](auto& f) { f[19] = 0x00; }, true},
        ValidationCase{"Sum1Wrong", [](auto& f) { f[15] ^= 1; }, false},
        ValidationCase{"Sum2Wrong", [](auto& f) { f[23] ^= 1; }, false},
        ValidationCase{"OneByteShort", [](auto& f) { f.pop_back(); }, false},
        ValidationCase{"LongerFileRestamped",
                       [](auto& f) {
                           f.resize(0x50000 + 13, 0xEE);
                           stampReference(f);
                       },
                       true},
        ValidationCase{"Only31Bytes", [](auto& f) { f.resize(31); }, false},
        ValidationCase{"Empty", [](auto& f) { f.clear(); }, false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CheckFileHeader, AllZeroContentGivesKnownSums) {
    std::vector<uint8_t> f(0x50000, 0);
    stampReference(f, 0x01020304);
    MemoryDbFile file(f);
    ASSERT_TRUE(checkFileHeader(file));
    // sum1 = 0, so bytes 12..15 equal bytes 8..11; sum2 = (L - 32) / 4 * (K0 + K1 + K2 + K3).
    EXPECT_EQ(readBe32(f.data() + 12), readBe32(f.data() + 8));
    EXPECT_EQ(readBe32(f.data() + 20), (0x50000u - 32) / 4 * 10);
    EXPECT_EQ(f[16], 0xE0);
    EXPECT_EQ(f[17], 0xFF);
    EXPECT_EQ(f[18], 0x04);
    EXPECT_EQ(f[19], 0xAA);
}

TEST(CheckFileHeader, FileOf16MiBOrMoreNeverPasses) {
    // The length word holds only 24 bits, so a 16 MiB + 0x50000 file reads as 0x50000 long.
    std::vector<uint8_t> f(0x1000000 + 0x50000, 0);
    stampReference(f);
    MemoryDbFile file(f);
    EXPECT_FALSE(checkFileHeader(file));
}

TEST(WriteDbFile, LaysOutBlocksInReceiverOrderWithChecksumsAndHeader) {
    const auto bytes = patternImage(11);
    auto image = std::make_unique<ChannelDbImage>();
    std::copy(bytes.begin(), bytes.end(), image->bytes.begin());
    MemoryDbFile file;
    ASSERT_EQ(writeDbFile(*image, file), 1);
    const auto& written = file.bytes();
    ASSERT_EQ(written.size(), 0x50000u);
    const auto expected = buildKdat(bytes, false);
    // Everything from the header block's end on is exactly the reference layout.
    EXPECT_TRUE(std::equal(written.begin() + 0x10000, written.end(), expected.begin() + 0x10000));
    EXPECT_TRUE(
        std::all_of(written.begin() + 32, written.begin() + 0x10000, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(std::string(written.begin(), written.begin() + 8), std::string("kdib\0i\0\0", 8));
    MemoryDbFile check(written);
    EXPECT_TRUE(validateDbFile(check));
}

TEST(WriteDbFile, RoundTripReproducesEveryImageByte) {
    const auto bytes = patternImage(3);
    auto image = std::make_unique<ChannelDbImage>();
    std::copy(bytes.begin(), bytes.end(), image->bytes.begin());
    MemoryDbFile file;
    ASSERT_EQ(writeDbFile(*image, file), 1);
    auto loaded = std::make_unique<ChannelDbImage>();
    ASSERT_TRUE(validateDbFile(file));
    ASSERT_EQ(readDbFile(*loaded, file), 1);
    EXPECT_EQ(loaded->bytes, image->bytes);
}

TEST(WriteDbFile, LongerExistingFileKeepsItsTailAndStillValidates) {
    std::vector<uint8_t> existing(0x50000 + 100, 0xC3);
    MemoryDbFile file(existing);
    auto image = std::make_unique<ChannelDbImage>();
    ASSERT_EQ(writeDbFile(*image, file), 1);
    ASSERT_EQ(file.bytes().size(), existing.size());
    EXPECT_TRUE(
        std::all_of(file.bytes().begin() + 0x50000, file.bytes().end(), [](uint8_t b) { return b == 0xC3; }));
    EXPECT_TRUE(validateDbFile(file));
}

TEST(WriteDbFile, ReportsTheFirstFailedWrite) {
    auto image = std::make_unique<ChannelDbImage>();
    for (size_t budget : {size_t{0}, size_t{65532}, size_t{4 * 65536}, size_t{4 * 65536 + 100}}) {
        test::FailingDbFile file(budget);
        EXPECT_EQ(writeDbFile(*image, file), 0) << "budget " << budget;
    }
}

TEST(StampFileHeader, ShortFileGrowsToAWholeHeaderBlock) {
    MemoryDbFile file(std::vector<uint8_t>(100, 0x11));
    ASSERT_EQ(stampFileHeader(file), 1);
    EXPECT_EQ(file.bytes().size(), 0x10000u);
    EXPECT_TRUE(checkFileHeader(file));
}

TEST(ReadDbFile, TruncatedFileLeavesTheImageUnchanged) {
    auto image = std::make_unique<ChannelDbImage>();
    image->bytes[500] = 42;
    MemoryDbFile file(std::vector<uint8_t>(0x30000, 1));
    EXPECT_EQ(readDbFile(*image, file), 0);
    EXPECT_EQ(image->bytes[500], 42);
}

// Sanitizing: each row stores a count and says what it must load as.
struct SanitizeCase {
    const char* name;
    size_t countOffset;
    uint32_t stored;
    uint32_t loaded;
};

class Sanitize : public ::testing::TestWithParam<SanitizeCase> {};

TEST_P(Sanitize, ClampsCountsToCapacity) {
    auto image = std::make_unique<ChannelDbImage>();
    writeLe32(image->bytes.data() + kChannelCountOffset, 5);
    image->bytes[kListInUseOffset + 2] = 1;
    writeLe32(image->bytes.data() + GetParam().countOffset, GetParam().stored);
    sanitizeImage(*image);
    EXPECT_EQ(readLe32(image->bytes.data() + GetParam().countOffset), GetParam().loaded);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, Sanitize,
    ::testing::Values(SanitizeCase{"Tv1001", kTvListOffset + 20, 1001, 1000},
                      SanitizeCase{"Tv1000", kTvListOffset + 20, 1000, 1000},
                      SanitizeCase{"Radio301", kRadioListOffset + 20, 301, 300},
                      SanitizeCase{"Data51", kDataListOffset + 20, 51, 50},
                      SanitizeCase{"DefaultFavAllOnes", kDefaultFavOffset + 628 * 4 + 20, 0xFFFFFFFF, 300},
                      SanitizeCase{"UserInUse301", kUserFavOffset + 628 * 2 + 20, 301, 300},
                      SanitizeCase{"UserFreeKeepsCount", kUserFavOffset + 628 * 3 + 20, 5000, 5000}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(SanitizeImage, TooManyChannelsClearsRecordsAndListsButNotUserLists) {
    auto image = std::make_unique<ChannelDbImage>();
    std::fill(image->bytes.begin(), image->bytes.end(), 0x01);
    writeLe32(image->bytes.data() + kChannelCountOffset, 1001);
    image->bytes[kListInUseOffset + 1] = 2;
    sanitizeImage(*image);
    EXPECT_EQ(channelCount(*image), 0);
    EXPECT_TRUE(std::all_of(image->bytes.begin() + 72, image->bytes.begin() + 78000,
                            [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(image->bytes[71], 1);
    EXPECT_EQ(image->bytes[78000], 1);
    EXPECT_EQ(image->bytes[kListInUseOffset + 1], 2);  // not checked after the early end
}

TEST(SanitizeImage, ListInUseOtherThanOneMeansFree) {
    auto image = std::make_unique<ChannelDbImage>();
    image->bytes[kListInUseOffset + 0] = 2;
    image->bytes[kListInUseOffset + 1] = 1;
    image->bytes[kUserFavOffset + 10] = 'x';
    sanitizeImage(*image);
    EXPECT_EQ(image->bytes[kListInUseOffset + 0], 0);
    EXPECT_EQ(image->bytes[kListInUseOffset + 1], 1);
    EXPECT_EQ(image->bytes[kUserFavOffset + 10], 'x');
    EXPECT_FALSE(isExistingFavList(*image, kListFirstUser));
}

TEST(MergeReceiverHeader, ReplacesTheFirst72ImageBytesAndReChecksumsBlock0Only) {
    auto file = buildKdat(patternImage(5));
    const auto before = file;
    std::vector<uint8_t> receiver(4096);
    for (size_t i = 0; i < receiver.size(); ++i) receiver[i] = static_cast<uint8_t>(i * 7);
    const uint32_t sum = mergeReceiverHeader(receiver.data(), file.data());
    EXPECT_TRUE(std::equal(receiver.begin(), receiver.begin() + 72, file.begin() + 0x40000));
    EXPECT_EQ(file[0x40048], before[0x40048]);
    EXPECT_EQ(readBe32(file.data() + 0x4FFFC), sum);
    EXPECT_TRUE(verifyBlock(file.data() + 0x40000));
    EXPECT_TRUE(std::equal(file.begin(), file.begin() + 0x40000, before.begin()));
}

TEST(Snapshot, RestoreBringsBackEveryByte) {
    auto image = std::make_unique<ChannelDbImage>();
    auto snapshot = std::make_unique<ChannelDbImage>();
    image->bytes[0] = 1, image->bytes[kImageSize - 1] = 2;
    takeSnapshot(*image, *snapshot);
    image->bytes[0] = 9, image->bytes[kImageSize - 1] = 9;
    restoreSnapshot(*image, *snapshot);
    EXPECT_EQ(image->bytes[0], 1);
    EXPECT_EQ(image->bytes[kImageSize - 1], 2);
}

}  // namespace
}  // namespace tovu
