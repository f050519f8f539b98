// Builds .kdat files from the format's rules, independently of the library's writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tovu::test {

using std::size_t;

inline void putBe32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// Writes the 32-byte header for the file's present content with the given random word.
inline void stampReference(std::vector<uint8_t>& f, uint32_t r = 0x12345678) {
    const size_t length = f.size();
    const uint8_t header[8] = {'k', 'd', 'i', 'b', 0x00, 0x69, 0x00, 0x00};
    for (int i = 0; i < 8; ++i) f[i] = header[i];
    putBe32(f, 8, r);
    const uint32_t n = static_cast<uint32_t>(length - 32);
    f[16] = static_cast<uint8_t>(n);
    f[17] = static_cast<uint8_t>(n >> 8);
    f[18] = static_cast<uint8_t>(n >> 16);
    f[19] = static_cast<uint8_t>((n >> 24) | 0xAA);
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
inline std::vector<uint8_t> buildKdat(const std::vector<uint8_t>& image, bool stamp = true) {
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

}  // namespace tovu::test
