#include "enigma/ServiceTables.h"

#include "enigma/DmPool.h"

#include <sys/mman.h>
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace tovu {

TransponderTable transponderTable;
ServiceTable serviceTable;
int lastTransponderIsCable = 0;
bool importOutOfMemory = false;

namespace {

// Lookup indexes: open addressing over the positions of a table's entries, so a search finds the
// first entry of its key in table order.
struct LookupKey {
    uint64_t stream;  // namespace, transport stream id, original network id
    uint32_t serviceId;
    bool operator==(const LookupKey&) const = default;
};

uint64_t streamKey(uint32_t nameSpace, uint16_t transportStreamId, uint16_t originalNetworkId) {
    return (uint64_t{nameSpace} << 32) | (uint64_t{transportStreamId} << 16) | originalNetworkId;
}

LookupKey transponderKey(int32_t i) {
    const TransponderEntry& t = transponderTable.entries[i];
    return {streamKey(t.nameSpace, t.transportStreamId, t.originalNetworkId), 0};
}

LookupKey serviceKey(int32_t i) {
    const ServiceEntry& s = serviceTable.entries[i];
    return {streamKey(s.nameSpace, s.transportStreamId, s.originalNetworkId), s.serviceId};
}

class FirstEntryIndex {
public:
    explicit FirstEntryIndex(LookupKey (*keyOf)(int32_t)) : keyOf_(keyOf) {}
    void invalidate() { valid_ = false; }
    void release() {
        std::vector<Slot>().swap(slots_);
        valid_ = false;
    }
    // The first of `count` entries with the key, or -1.
    int32_t find(const LookupKey& key, int32_t count) {
        if (!valid_) build(count);
        if (!valid_) {  // no memory for the index: scan the table
            for (int32_t i = 0; i < count; ++i)
                if (keyOf_(i) == key) return i;
            return -1;
        }
        const uint64_t hash = hashOf(key);
        for (size_t at = hash & mask_;; at = (at + 1) & mask_) {
            const Slot& slot = slots_[at];
            if (slot.index < 0 || (slot.hash == static_cast<uint32_t>(hash) && keyOf_(slot.index) == key))
                return slot.index;
        }
    }

private:
    struct Slot {
        uint32_t hash;  // the low bits of the key's hash
        int32_t index;  // -1: empty
    };
    static uint64_t hashOf(const LookupKey& key) {
        uint64_t h = key.stream ^ (uint64_t{key.serviceId} * 0x9E3779B97F4A7C15ull);
        h = (h ^ (h >> 33)) * 0xFF51AFD7ED558CCDull;
        h = (h ^ (h >> 33)) * 0xC4CEB9FE1A85EC53ull;
        return h ^ (h >> 33);
    }
    void build(int32_t count) {
        size_t size = 16;
        while (size < 2 * static_cast<size_t>(count)) size *= 2;
        try {
            slots_.assign(size, Slot{0, -1});
        } catch (const std::bad_alloc&) {
            release();
            return;
        }
        mask_ = size - 1;
        for (int32_t i = 0; i < count; ++i) {
            const LookupKey key = keyOf_(i);
            const uint64_t hash = hashOf(key);
            size_t at = hash & mask_;
            for (; slots_[at].index >= 0; at = (at + 1) & mask_)
                if (slots_[at].hash == static_cast<uint32_t>(hash) && keyOf_(slots_[at].index) == key) break;
            if (slots_[at].index < 0) slots_[at] = {static_cast<uint32_t>(hash), i};  // first entry only
        }
        valid_ = true;
    }

    LookupKey (*keyOf_)(int32_t);
    std::vector<Slot> slots_;
    size_t mask_ = 0;
    bool valid_ = false;
};

FirstEntryIndex transponderIndex(transponderKey);
FirstEntryIndex serviceIndex(serviceKey);

// A large block about to be written from end to end: large pages, where the system gives them,
// spare it most of its page faults. Only a hint.
void prepareLargeBlock(void* block, uint64_t bytes) {
    constexpr uintptr_t kPage = 4096;
    if (bytes < (uint64_t{4} << 20)) return;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(block) + kPage - 1) & ~(kPage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kPage - 1);
    (void)madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// A DmPool array that grows geometrically: room for 16 elements first, then twice as many each
// time it is full. Growing prints the table's message when the memory cannot be had.
template <typename T>
struct GrowingArray {
    T* data = nullptr;
    uint32_t size = 0;
    uint32_t capacity = 0;

    bool reserve(uint64_t needed, const char* mallocMessage, const char* reallocMessage) {
        if (needed <= capacity) return true;
        uint64_t room = capacity == 0 ? 16 : uint64_t{capacity};
        while (room < needed && room <= UINT32_MAX) room *= 2;
        const uint64_t bytes = room * sizeof(T);
        void* grown = nullptr;
        if (room >= needed && bytes <= UINT32_MAX)
            grown = data == nullptr ? DmMalloc(static_cast<uint32_t>(bytes))
                                    : DmRealloc(data, static_cast<uint32_t>(bytes));
        if (grown == nullptr) {
            std::printf("%s", data == nullptr ? mallocMessage : reallocMessage);
            importOutOfMemory = true;
            return false;
        }
        data = static_cast<T*>(grown);
        capacity = static_cast<uint32_t>(room);
        return true;
    }
    void release() {
        if (data != nullptr) DmFree(data);
        *this = {};
    }
};

// The transponder table's room.
uint32_t transponderCapacity = 0;

// Services wait, appended in a compact form (their fields and the bytes of their names), until
// SortServices places them, ordered, into the ServiceTable. Each entry is written there once.
constexpr size_t kNameOffset = offsetof(ServiceEntry, name);
struct PendingService {
    uint32_t nameAt;    // in pendingNames
    uint16_t nameSize;  // the name's bytes up to its last non-zero byte
    uint8_t delivery;
    uint8_t head[kNameOffset];  // the entry's bytes before its name
};
GrowingArray<PendingService> pendingServices;
GrowingArray<char> pendingNames;
constexpr const char* kServiceMallocFailed = "malloc memory for service failed\n";
constexpr const char* kServiceReallocFailed = "remalloc memory for service failed\n";

size_t usedNameBytes(const char* name) {
    size_t n = kServiceNameSize;
    while (n >= 8 && std::memcmp(name + n - 8, "\0\0\0\0\0\0\0\0", 8) == 0) n -= 8;
    while (n > 0 && name[n - 1] == '\0') --n;
    return n;
}

void dropPendingServices() {
    pendingServices.release();
    pendingNames.release();
}

// The sort keys of the service at position i of the table followed by the pending services.
struct ServiceSortKeys {
    int16_t orbital;
    uint16_t frequency;
    uint16_t serviceId;
};
ServiceSortKeys sortKeysOf(int32_t i) {
    if (i < serviceTable.count) {
        const ServiceEntry& e = serviceTable.entries[i];
        return {e.orbitalPosition, e.frequencyMHz, e.serviceId};
    }
    ServiceEntry head;
    std::memcpy(&head, pendingServices.data[i - serviceTable.count].head, kNameOffset);
    return {head.orbitalPosition, head.frequencyMHz, head.serviceId};
}

// Writes the service at position i (of the table followed by the pending services) into `to`.
void copyService(int32_t i, const ServiceEntry* table, ServiceEntry& to) {
    if (i < serviceTable.count) {
        std::memcpy(&to, &table[i], sizeof to);
        return;
    }
    const PendingService& p = pendingServices.data[i - serviceTable.count];
    std::memset(&to, 0, sizeof to);
    std::memcpy(&to, p.head, kNameOffset);
    if (p.nameSize > 0) std::memcpy(to.name, pendingNames.data + p.nameAt, p.nameSize);
    to.delivery = p.delivery;
}

// Positions 0..n-1 ordered by a 32-bit key, positions of equal keys in increasing order: a radix
// sort, byte by byte from the lowest.
std::vector<int32_t> orderByKey(const std::vector<uint32_t>& keys) {
    const size_t n = keys.size();
    std::vector<int32_t> order(n);
    std::vector<int32_t> next(n);
    for (size_t i = 0; i < n; ++i) order[i] = static_cast<int32_t>(i);
    for (int shift = 0; shift < 32; shift += 8) {
        size_t start[257] = {};
        for (uint32_t key : keys) ++start[((key >> shift) & 0xFF) + 1];
        if (std::find(std::begin(start), std::end(start), n) != std::end(start)) continue;  // one byte value
        for (int d = 0; d < 256; ++d) start[d + 1] += start[d];
        for (int32_t i : order) next[start[(keys[static_cast<size_t>(i)] >> shift) & 0xFF]++] = i;
        order.swap(next);
    }
    return order;
}

// The order of positions 0..n-1 by orbital position, runs of one position by frequency, and runs of
// one frequency (whatever their positions) by service id; entries equal in these keys keep their
// order.
std::vector<int32_t> sortedOrder(int32_t n) {
    std::vector<uint32_t> keys(static_cast<size_t>(n));
    std::vector<uint16_t> frequency(static_cast<size_t>(n));
    std::vector<uint16_t> serviceId(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        const ServiceSortKeys k = sortKeysOf(i);
        const auto at = static_cast<size_t>(i);
        keys[at] = uint32_t{static_cast<uint16_t>(k.orbital ^ INT16_MIN)} << 16 | k.frequency;
        frequency[at] = k.frequency;
        serviceId[at] = k.serviceId;
    }
    std::vector<int32_t> order = orderByKey(keys);
    for (auto begin = order.begin(); begin != order.end();) {
        const uint16_t f = frequency[static_cast<size_t>(*begin)];
        auto end = begin + 1;
        while (end != order.end() && frequency[static_cast<size_t>(*end)] == f) ++end;
        std::stable_sort(begin, end, [&](int32_t a, int32_t b) {
            return serviceId[static_cast<size_t>(a)] < serviceId[static_cast<size_t>(b)];
        });
        begin = end;
    }
    return order;
}

}  // namespace

int AppendTransponder(const TransponderEntry& entry) {
    transponderIndex.invalidate();
    GrowingArray<TransponderEntry> table{transponderTable.entries,
                                         static_cast<uint32_t>(transponderTable.count), transponderCapacity};
    if (!table.reserve(uint64_t{table.size} + 1, "malloc memory for transponder failed\n",
                       "remalloc memory for transponder failed\n"))
        return -1;
    table.data[table.size] = entry;
    transponderTable.entries = table.data;
    transponderTable.count += 1;
    transponderCapacity = table.capacity;
    return 0;
}

int AppendService(const ServiceEntry& entry) {
    const size_t nameSize = usedNameBytes(entry.name);
    // The table holds at most INT32_MAX entries: one more cannot be had.
    const uint64_t services = uint64_t{pendingServices.size} + static_cast<uint64_t>(serviceTable.count) + 1;
    if (!pendingServices.reserve(services < INT32_MAX ? pendingServices.size + 1 : UINT64_MAX,
                                 kServiceMallocFailed, kServiceReallocFailed) ||
        !pendingNames.reserve(uint64_t{pendingNames.size} + nameSize, kServiceMallocFailed,
                              kServiceReallocFailed)) {
        dropPendingServices();
        return -1;
    }
    PendingService& p = pendingServices.data[pendingServices.size++];
    p.nameAt = pendingNames.size;
    p.nameSize = static_cast<uint16_t>(nameSize);
    p.delivery = entry.delivery;
    std::memcpy(p.head, &entry, kNameOffset);
    if (nameSize > 0) std::memcpy(pendingNames.data + pendingNames.size, entry.name, nameSize);
    pendingNames.size += static_cast<uint32_t>(nameSize);
    return 0;
}

void SortServices() {
    const int64_t total = int64_t{serviceTable.count} + pendingServices.size;
    if (total < 2 && pendingServices.size == 0) return;
    const uint64_t bytes = uint64_t(total) * sizeof(ServiceEntry);
    std::vector<int32_t> order;
    try {
        order = sortedOrder(static_cast<int32_t>(total));
    } catch (const std::bad_alloc&) {
        order.clear();
    }
    auto* sorted = !order.empty() && bytes <= UINT32_MAX
                       ? static_cast<ServiceEntry*>(DmMalloc(static_cast<uint32_t>(bytes)))
                       : nullptr;
    if (sorted == nullptr) {
        std::printf("%s", kServiceMallocFailed);
        importOutOfMemory = true;
        dropPendingServices();
        return;
    }
    prepareLargeBlock(sorted, bytes);
    for (int64_t k = 0; k < total; ++k)
        copyService(order[static_cast<size_t>(k)], serviceTable.entries, sorted[k]);
    if (serviceTable.entries != nullptr) DmFree(serviceTable.entries);
    serviceTable.entries = sorted;
    serviceTable.count = static_cast<int32_t>(total);
    dropPendingServices();
    ServiceTableChanged();
}

void ReleaseTransponderTable() {
    if (transponderTable.entries != nullptr) DmFree(transponderTable.entries);
    transponderTable = {};
    transponderCapacity = 0;
    transponderIndex.release();
}

void ReleaseServiceTable() {
    if (serviceTable.entries != nullptr) DmFree(serviceTable.entries);
    serviceTable = {};
    dropPendingServices();
    ServiceTableChanged();
}

ServiceTable TakeServiceTable() {
    const ServiceTable taken = serviceTable;
    serviceTable = {};
    ServiceTableChanged();
    return taken;
}

void ServiceTableChanged() { serviceIndex.release(); }

int FindTransponderIndex(uint32_t nameSpace, uint16_t transportStreamId, uint16_t originalNetworkId) {
    return transponderIndex.find({streamKey(nameSpace, transportStreamId, originalNetworkId), 0},
                                 transponderTable.count);
}

int FindServiceIndex(uint16_t serviceId, uint16_t transportStreamId, uint16_t originalNetworkId,
                     uint32_t nameSpace) {
    return serviceIndex.find({streamKey(nameSpace, transportStreamId, originalNetworkId), serviceId},
                             serviceTable.count);
}

}  // namespace tovu
