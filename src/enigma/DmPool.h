// The import's counting heap: every block is one heap allocation with a 16-byte header in front
// of it, and a process-wide counter of live blocks reports when everything has been released.
#pragma once

#include <cstdint>

namespace tovu {

// Blocks handed out and not yet released.
extern int32_t liveBlockCount;

// A block of `size` bytes (content not initialised), or null after "DM: malloc failed".
[[nodiscard]] void* DmMalloc(uint32_t size);
// Resizes a block; null (the old block still valid and unchanged) when the block is null, the
// size is 0 or the heap refuses.
[[nodiscard]] void* DmRealloc(void* block, uint32_t newSize);
// Releases a block; prints "DM: no dynamic memory now" when it was the last one.
void DmFree(void* block);

// For tests: the next `successes` allocations and resizes succeed, every later one fails as if
// the heap were exhausted. A negative value turns the failures off.
void DmFailAfter(int successes);

}  // namespace tovu
