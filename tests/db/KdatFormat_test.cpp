#include "db/ChannelRecord.h"
#include "db/DbFileFormat.h"
#include "db/FavLists.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>

namespace tovu {
namespace {

void putBe32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// Builds .kdat files from the format's rules, independently of the library's writer: the 32-byte
// header for the file's present content with the given random word.
void stampReference(std::vector<uint8_t>& f, uint32_t r = 0x12345678) {
    const size_t length = f.size();
    const uint8_t header[8] = {'k', 'd', 'i', 'b', 0x00, 0x69, 0x00, 0x00};
    for (int i = 0; i < 8; ++i) f[i] = header[i];
    putBe32(f, 8, r);
    for (int i = 0; i < 4; ++i) f[16 + i] = static_cast<uint8_t>((length - 32) >> (8 * i));
    f[19] |= 0xAA;
    for (int i = 24; i < 32; ++i) f[i] = static_cast<uint8_t>(0x40 + i);
    uint32_t sum1 = 0, sum2 = 0;
    const uint8_t key[4] = {f[8], f[9], f[10], f[11]};
    for (size_t i = 0; i + 32 < length; ++i) {
        sum1 += f[32 + i];
        sum2 += static_cast<uint8_t>(key[i % 4] ^ f[32 + i]);
    }
    putBe32(f, 12, sum1 ^ r);
    putBe32(f, 20, sum2);
}

// A complete 0x50000-byte file holding the 262128 image bytes, with correct block checksums.
std::vector<uint8_t> buildKdat(const std::vector<uint8_t>& image, bool stamp = true) {
    std::vector<uint8_t> f(0x50000, 0);
    const size_t blockOffsets[4] = {0x40000, 0x30000, 0x20000, 0x10000};
    for (size_t k = 0; k < 4; ++k) {
        uint32_t sum = 0;
        for (size_t i = 0; i < 65532; ++i) {
            f[blockOffsets[k] + i] = image[65532 * k + i];
            sum += image[65532 * k + i];
        }
        putBe32(f, blockOffsets[k] + 65532, sum);
    }
    if (stamp) stampReference(f);
    return f;
}

std::vector<uint8_t> patternImage(uint32_t seed = 7) {
    std::vector<uint8_t> image(kImageSize);
    std::mt19937 rng(seed);
    for (auto& b : image) b = static_cast<uint8_t>(rng());
    // Counts and list marks of zero, which sanitizing leaves alone.
    std::fill(image.begin() + kChannelCountOffset, image.begin() + kUsedImageSize, 0);
    return image;
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

// Breaks block k's stored checksum, then stamps the header again so only the block is wrong.
void breakBlock(std::vector<uint8_t>& f, size_t k) {
    f[blockFileOffset(k) + 65535] ^= 1;
    stampReference(f);
}

void growAndRestamp(std::vector<uint8_t>& f, size_t size) {
    f.resize(size, 0xEE);
    stampReference(f);
}

INSTANTIATE_TEST_SUITE_P(
    KdatFile, Validation,
    ::testing::Values(
        ValidationCase{"Intact", [](auto&) {}, true},
        ValidationCase{"Block0ChecksumWrong", [](auto& f) { breakBlock(f, 0); }, false},
        ValidationCase{"Block1ChecksumWrong", [](auto& f) { breakBlock(f, 1); }, false},
        ValidationCase{"UnusedBlock2ChecksumWrong", [](auto& f) { breakBlock(f, 2); }, true},
        ValidationCase{"Block0ChecksumZero",
                       [](auto& f) { f[0x40010] ^= 0xFF, putBe32(f, 0x4FFFC, 0), stampReference(f); }, true},
        ValidationCase{"UnsummedHeaderBytesChanged", [](auto& f) { f[5] = 0x77, f[24] ^= 0xFF; }, true},
        ValidationCase{"DataByteChangedWithoutRestamp", [](auto& f) { f[0x20000] ^= 1; }, false},
        ValidationCase{"HeaderBlockZeroByteChanged", [](auto& f) { f[100] = 1; }, false},
        ValidationCase{"WrongMagic", [](auto& f) { f[0] = 'K'; }, false},
        ValidationCase{"LengthWordWrong", [](auto& f) { f[16] = 0xE1; }, false},
        ValidationCase{"LengthTopByteIgnored", [](auto& f) { f[19] = 0x00; }, true},
        ValidationCase{"Sum1Wrong", [](auto& f) { f[15] ^= 1; }, false},
        ValidationCase{"Sum2Wrong", [](auto& f) { f[23] ^= 1; }, false},
        ValidationCase{"OneByteShort", [](auto& f) { f.pop_back(); }, false},
        ValidationCase{"ShorterThanTheHeader", [](auto& f) { f.resize(31); }, false},
        ValidationCase{"LongerFileRestamped", [](auto& f) { growAndRestamp(f, 0x50000 + 13); }, true},
        // The length word holds only 24 bits, so no file of 16 MiB or more passes.
        ValidationCase{"SixteenMiBLonger", [](auto& f) { growAndRestamp(f, 0x1000000 + 0x50000); }, false}),
    [](const auto& row) { return std::string(row.param.name); });

// Blocks stand in the receiver's order with their checksums; a longer existing file keeps its tail.
TEST(WriteDbFile, LaysOutBlocksKeepsTheTailAndReadsBackEveryByte) {
    const auto bytes = patternImage(11);
    auto image = std::make_unique<ChannelDbImage>();
    std::copy(bytes.begin(), bytes.end(), image->bytes.begin());
    MemoryDbFile file(std::vector<uint8_t>(0x50000 + 100, 0xC3));
    ASSERT_EQ(writeDbFile(*image, file), 1);
    const auto& written = file.bytes();
    ASSERT_EQ(written.size(), 0x50000u + 100);
    const auto expected = buildKdat(bytes, false);
    EXPECT_TRUE(std::equal(expected.begin() + 0x10000, expected.end(), written.begin() + 0x10000));
    EXPECT_TRUE(std::all_of(written.begin() + 0x50000, written.end(), [](uint8_t b) { return b == 0xC3; }));
    EXPECT_TRUE(std::all_of(written.begin() + 32, written.begin() + 0x10000, [](uint8_t b) { return !b; }));
    ASSERT_TRUE(validateDbFile(file));
    auto loaded = std::make_unique<ChannelDbImage>();
    ASSERT_EQ(readDbFile(*loaded, file), 1);
    EXPECT_EQ(loaded->bytes, image->bytes);
}

// Sanitizing: each row stores a count and says what it must load as.
struct SanitizeCase {
    const char* name;
    size_t countOffset;
    uint32_t stored;
    uint32_t loaded;
};

class Sanitize : public ::testing::TestWithParam<SanitizeCase> {};

// User list 11 is in use; list 12 is marked 2, which means free.
TEST_P(Sanitize, ClampsCountsToCapacity) {
    auto image = std::make_unique<ChannelDbImage>();
    writeLe32(image->bytes.data() + kChannelCountOffset, 5);
    image->bytes[kListInUseOffset + 2] = 1;
    image->bytes[kListInUseOffset + 3] = 2;
    writeLe32(image->bytes.data() + GetParam().countOffset, GetParam().stored);
    sanitizeImage(*image);
    EXPECT_EQ(readLe32(image->bytes.data() + GetParam().countOffset), GetParam().loaded);
    EXPECT_EQ(image->bytes[kListInUseOffset + 3], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, Sanitize,
    ::testing::Values(SanitizeCase{"Tv1001", kTvListOffset + 20, 1001, 1000},
                      SanitizeCase{"Radio301", kRadioListOffset + 20, 301, 300},
                      SanitizeCase{"Data51", kDataListOffset + 20, 51, 50},
                      SanitizeCase{"DefaultFavAllOnes", kDefaultFavOffset + 628 * 4 + 20, 0xFFFFFFFF, 300},
                      SanitizeCase{"UserInUse301", kUserFavOffset + 628 * 2 + 20, 301, 300},
                      SanitizeCase{"UserMarkedTwoIsFree", kUserFavOffset + 628 * 3 + 20, 5000, 5000}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(SanitizeImage, TooManyChannelsClearsRecordsAndListsButNotUserLists) {
    auto image = std::make_unique<ChannelDbImage>();
    std::fill(image->bytes.begin(), image->bytes.end(), 0x01);
    writeLe32(image->bytes.data() + kChannelCountOffset, 1001);
    sanitizeImage(*image);
    EXPECT_EQ(channelCount(*image), 0);
    EXPECT_TRUE(std::all_of(image->bytes.begin() + 72, image->bytes.begin() + 78000,
                            [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(image->bytes[71], 1);
    EXPECT_EQ(image->bytes[78000], 1);
}

}  // namespace
}  // namespace tovu
