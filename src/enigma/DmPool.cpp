#include "enigma/DmPool.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tovu {

int32_t liveBlockCount = 0;

namespace {

constexpr size_t kHeaderSize = 16;
constexpr uint8_t kFiller = 0xA5;

int allocationsLeft = -1;  // -1: the heap never fails on purpose

bool injectedFailure() {
    if (allocationsLeft < 0) return false;
    if (allocationsLeft == 0) return true;
    --allocationsLeft;
    return false;
}

void writeWord(uint8_t* header, int word, uint32_t value) { std::memcpy(header + 4 * word, &value, 4); }

// Words 0 and 1 of the header: the caller's address (its low 32 bits) and the size asked for.
void writeAddressAndSize(uint8_t* header, uint32_t size) {
    writeWord(header, 0, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(header + kHeaderSize)));
    writeWord(header, 1, size);
}

}  // namespace

void DmFailAfter(int successes) { allocationsLeft = successes < 0 ? -1 : successes; }

void* DmMalloc(uint32_t size) {
    auto* header =
        injectedFailure() ? nullptr : static_cast<uint8_t*>(std::malloc(size_t{size} + kHeaderSize));
    if (header == nullptr) {
        std::printf("DM: malloc failed\n");
        return nullptr;
    }
    std::memset(header, kFiller, kHeaderSize);
    writeAddressAndSize(header, size);
    ++liveBlockCount;
    writeWord(header, 2, static_cast<uint32_t>(liveBlockCount));
    return header + kHeaderSize;
}

void* DmRealloc(void* block, uint32_t newSize) {
    if (block == nullptr) {
        std::printf("DM: realloc pointer is NULL\n");
        return nullptr;
    }
    if (newSize == 0) {
        std::printf("DM: dont support realloc with size of 0\n");
        return nullptr;
    }
    uint8_t* old = static_cast<uint8_t*>(block) - kHeaderSize;
    auto* header =
        injectedFailure() ? nullptr : static_cast<uint8_t*>(std::realloc(old, size_t{newSize} + kHeaderSize));
    if (header == nullptr) {
        std::printf("DM: realloc no change\n");
        return nullptr;
    }
    writeAddressAndSize(header, newSize);
    return header + kHeaderSize;
}

void DmFree(void* block) {
    if (block == nullptr) {
        std::printf("DM: free mem NULL\n");
        return;
    }
    std::free(static_cast<uint8_t*>(block) - kHeaderSize);
    --liveBlockCount;
    if (liveBlockCount == 0) std::printf("DM: no dynamic memory now\n\n");
}

}  // namespace tovu
