#include "db/DbImage.h"

namespace tovu {

ChannelDbImage& editorImage() {
    static ChannelDbImage image;
    return image;
}

ChannelDbImage& editorSnapshot() {
    static ChannelDbImage snapshot;
    return snapshot;
}

void takeSnapshot(const ChannelDbImage& image, ChannelDbImage& snapshot) { snapshot.bytes = image.bytes; }

void restoreSnapshot(ChannelDbImage& image, const ChannelDbImage& snapshot) { image.bytes = snapshot.bytes; }

uint32_t byteSum(const uint8_t* data, size_t length) {
    // Sum in 32-bit lanes over chunks the compiler vectorises; a chunk of 4 KiB cannot overflow.
    uint32_t sum = 0;
    while (length > 0) {
        const size_t chunk = length < 4096 ? length : 4096;
        uint32_t part = 0;
        for (size_t i = 0; i < chunk; ++i) part += data[i];
        sum += part;
        data += chunk;
        length -= chunk;
    }
    return sum;
}

bool verifyBlock(const uint8_t* block) {
    const uint32_t stored = readBe32(block + kBlockDataSize);
    return stored == 0 || stored == byteSum(block, kBlockDataSize);
}

}  // namespace tovu
