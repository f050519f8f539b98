#include "db/DbFileFormat.h"

#include <chrono>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace tovu {
namespace {

constexpr uint8_t kMagic[4] = {'k', 'd', 'i', 'b'};
constexpr uint8_t kVersionBytes[4] = {0x00, 0x69, 0x00, 0x00};
constexpr size_t kStreamChunk = 0x10000;  // a multiple of 4, so the mask phase stays aligned

// The two header sums over the bytes that follow the 32 header bytes. sum2 masks each byte
// with key[i mod 4], i counted from the first byte after the header.
struct HeaderSums {
    uint32_t sum1 = 0;
    uint32_t sum2 = 0;
    uint8_t key[4] = {};
    uint64_t counted = 0;  // bytes added so far: sets the mask phase of the next piece

    void add(const uint8_t* data, size_t n) {
        const size_t phase = counted & 3;
        uint32_t s1 = 0;
        uint32_t s2 = 0;
        size_t i = 0;
        for (; i < n && ((phase + i) & 3) != 0; ++i) {
            s1 += data[i];
            s2 += static_cast<uint8_t>(data[i] ^ key[(phase + i) & 3]);
        }
        // Aligned part in chunks that fit a 32-bit lane sum.
        while (i + 4 <= n) {
            const size_t end = i + std::min<size_t>((n - i) & ~size_t{3}, 4096);
            uint32_t a = 0;
            uint32_t b = 0;
            for (size_t j = i; j < end; j += 4) {
                a += data[j] + data[j + 1] + data[j + 2] + data[j + 3];
                b += static_cast<uint8_t>(data[j] ^ key[0]) + static_cast<uint8_t>(data[j + 1] ^ key[1]) +
                     static_cast<uint8_t>(data[j + 2] ^ key[2]) + static_cast<uint8_t>(data[j + 3] ^ key[3]);
            }
            s1 += a;
            s2 += b;
            i = end;
        }
        for (; i < n; ++i) {
            s1 += data[i];
            s2 += static_cast<uint8_t>(data[i] ^ key[(phase + i) & 3]);
        }
        sum1 += s1;
        sum2 += s2;
        counted += n;
    }

    // Adds n zero bytes.
    void addZeros(uint64_t n) {
        for (; n > 0 && (counted & 3) != 0; --n) sum2 += key[counted++ & 3];
        const uint64_t words = n / 4;
        sum2 += static_cast<uint32_t>(words * (uint32_t{key[0]} + key[1] + key[2] + key[3]));
        counted += words * 4;
        for (n -= words * 4; n > 0; --n) sum2 += key[counted++ & 3];
    }
};

uint32_t randomWord(std::mt19937& rng) { return rng() & 0x7FFF; }

}  // namespace

bool validateDbFile(DbFile& file) {
    std::vector<uint8_t> block(kBlockSize);
    for (size_t k = 0; k < kBlockCount; ++k) {
        if (kBlockDataSize * k > kUsedImageSize) break;  // blocks 2 and 3 are not checked
        if (!file.seek(blockFileOffset(k)) || !file.readExact(block.data(), kBlockSize)) return false;
        if (!verifyBlock(block.data())) return false;
    }
    return checkFileHeader(file);
}

bool checkFileHeader(DbFile& file) {
    const int64_t length = file.length();
    if (length < static_cast<int64_t>(kDbFileHeaderSize)) return false;
    uint8_t header[kDbFileHeaderSize];
    if (!file.seek(0) || !file.readExact(header, sizeof header)) return false;
    // Only the low 24 bits of the length word count, so no file of 16 MiB or more passes:
    // the length is known to be sane before anything beyond the header is read.
    const uint32_t storedLength = readLe32(header + 16);
    if (((uint64_t{storedLength} + 32) & 0xFFFFFF) != static_cast<uint64_t>(length)) return false;
    if (std::memcmp(header, kMagic, 4) != 0) return false;

    HeaderSums sums;
    std::memcpy(sums.key, header + 8, 4);
    std::vector<uint8_t> chunk(kStreamChunk);
    uint64_t remaining = static_cast<uint64_t>(length) - kDbFileHeaderSize;
    while (remaining > 0) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(remaining, kStreamChunk));
        if (!file.readExact(chunk.data(), n)) return false;
        sums.add(chunk.data(), n);
        remaining -= n;
    }
    const uint32_t r = readBe32(header + 8);
    return (readBe32(header + 12) ^ r) == sums.sum1 && readBe32(header + 20) == sums.sum2;
}

int readDbFile(ChannelDbImage& image, DbFile& file) {
    auto loaded = std::make_unique<ChannelDbImage>();
    for (size_t k = 0; k < kBlockCount; ++k) {
        if (!file.seek(blockFileOffset(k)) ||
            !file.readExact(loaded->bytes.data() + kBlockDataSize * k, kBlockDataSize))
            return 0;
    }
    image.bytes = loaded->bytes;
    sanitizeImage(image);
    return 1;
}

void sanitizeImage(ChannelDbImage& image) {
    uint8_t* b = image.bytes.data();
    auto clamp = [b](size_t listOffset, uint32_t capacity) {
        if (readLe32(b + listOffset + kListCountField) > capacity)
            writeLe32(b + listOffset + kListCountField, capacity);
    };
    if (readLe32(b + kChannelCountOffset) > kMaxChannels) {
        std::memset(b + kChannelCountOffset, 0, kListsEnd - kChannelCountOffset);
        return;
    }
    clamp(kTvListOffset, kTvCapacity);
    clamp(kRadioListOffset, kRadioCapacity);
    clamp(kDataListOffset, kDataCapacity);
    for (size_t k = 0; k < kDefaultFavCount; ++k) clamp(kDefaultFavOffset + kFavListSize * k, kFavCapacity);
    for (size_t k = 0; k < kUserFavCount; ++k) {
        if (b[kListInUseOffset + k] == 1)
            clamp(kUserFavOffset + kFavListSize * k, kFavCapacity);
        else
            b[kListInUseOffset + k] = 0;
    }
}

int writeDbFile(const ChannelDbImage& image, DbFile& file) {
    for (size_t k = 0; k < kBlockCount; ++k) {
        const uint8_t* data = image.bytes.data() + kBlockDataSize * k;
        uint8_t checksum[4];
        writeBe32(checksum, byteSum(data, kBlockDataSize));
        if (!file.seek(blockFileOffset(k)) || !file.write(data, kBlockDataSize) || !file.write(checksum, 4))
            return 0;
    }
    return stampFileHeader(file);
}

int stampFileHeader(DbFile& file) {
    const int64_t present = file.length();
    if (present < 0) return 0;
    // The header block is always written whole, so a file shorter than it grows to 64 KiB and the
    // header describes that length.
    const uint64_t length = std::max<uint64_t>(static_cast<uint64_t>(present), kHeaderBlockSize);

    static std::mt19937 rng(
        static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count()));
    uint8_t header[kDbFileHeaderSize] = {};
    std::memcpy(header, kMagic, 4);
    std::memcpy(header + 4, kVersionBytes, 4);
    const uint32_t r = (randomWord(rng) << 16) | randomWord(rng);
    writeBe32(header + 8, r);
    writeLe32(header + 16, static_cast<uint32_t>(length - kDbFileHeaderSize));
    header[19] |= 0xAA;
    for (int i = 0; i < 8; ++i) header[24 + i] = static_cast<uint8_t>(rng());

    // Bytes 32..65535 of the header block are zero; the rest of the file counts as it is.
    HeaderSums sums;
    std::memcpy(sums.key, header + 8, 4);
    sums.addZeros(kHeaderBlockSize - kDbFileHeaderSize);
    if (length > kHeaderBlockSize) {
        if (!file.seek(kHeaderBlockSize)) return 0;
        std::vector<uint8_t> chunk(kStreamChunk);
        uint64_t remaining = length - kHeaderBlockSize;
        while (remaining > 0) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(remaining, kStreamChunk));
            if (!file.readExact(chunk.data(), n)) return 0;
            sums.add(chunk.data(), n);
            remaining -= n;
        }
    }
    writeBe32(header + 12, sums.sum1 ^ r);
    writeBe32(header + 20, sums.sum2);

    std::vector<uint8_t> headerBlock(kHeaderBlockSize, 0);
    std::memcpy(headerBlock.data(), header, sizeof header);
    return file.seek(0) && file.write(headerBlock.data(), headerBlock.size()) ? 1 : 0;
}

uint32_t mergeReceiverHeader(const uint8_t* receiverBytes, uint8_t* fileBuffer) {
    uint8_t* block0 = fileBuffer + blockFileOffset(0);
    std::memcpy(block0, receiverBytes, kReceiverHeaderSize);
    const uint32_t sum = byteSum(block0, kBlockDataSize);
    writeBe32(block0 + kBlockDataSize, sum);
    return sum;
}

}  // namespace tovu
