#include "enigma/ServiceTables.h"

#include "enigma/DmPool.h"

#include <algorithm>
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

// Lookup indexes: the keys of every entry with its position, sorted by key and then position,
// so the first hit of a binary search is the first matching entry of the table.
struct TransponderKey {
    uint64_t key;
    int32_t index;
    auto operator<=>(const TransponderKey&) const = default;
};
struct ServiceKey {
    uint64_t key;
    uint16_t serviceId;
    int32_t index;
    auto operator<=>(const ServiceKey&) const = default;
};

std::vector<TransponderKey> transponderIndex;
bool transponderIndexValid = false;
std::vector<ServiceKey> serviceIndex;
bool serviceIndexValid = false;

uint64_t streamKey(uint32_t nameSpace, uint16_t transportStreamId, uint16_t originalNetworkId) {
    return (uint64_t{nameSpace} << 32) | (uint64_t{transportStreamId} << 16) | originalNetworkId;
}

// Fills and sorts an index over `count` entries; false when there is no memory for it.
template <typename Key, typename KeyOf>
bool buildIndex(std::vector<Key>& index, int32_t count, KeyOf keyOf) {
    try {
        index.clear();
        index.reserve(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        index.clear();
        return false;
    }
    for (int32_t i = 0; i < count; ++i) index.push_back(keyOf(i));
    std::sort(index.begin(), index.end());
    return true;
}

// Grows an array by one entry: a first block of one entry, then one entry more per append.
template <typename Entry>
int appendEntry(Entry*& entries, int32_t& count, const Entry& entry, const char* mallocMessage,
                const char* reallocMessage) {
    const uint64_t bytes = (uint64_t(count) + 1) * sizeof(Entry);
    void* grown = nullptr;
    if (bytes <= UINT32_MAX) {
        grown = entries == nullptr ? DmMalloc(static_cast<uint32_t>(bytes))
                                   : DmRealloc(entries, static_cast<uint32_t>(bytes));
    }
    if (grown == nullptr) {
        std::printf("%s", entries == nullptr ? mallocMessage : reallocMessage);
        importOutOfMemory = true;
        return -1;
    }
    entries = static_cast<Entry*>(grown);
    std::memset(&entries[count], 0, sizeof(Entry));
    std::memcpy(&entries[count], &entry, sizeof(Entry));
    ++count;
    return 0;
}

}  // namespace

int AppendTransponder(const TransponderEntry& entry) {
    transponderIndexValid = false;
    return appendEntry(transponderTable.entries, transponderTable.count, entry,
                       "malloc memory for transponder failed\n", "remalloc memory for transponder failed\n");
}

int AppendService(const ServiceEntry& entry) {
    serviceIndexValid = false;
    return appendEntry(serviceTable.entries, serviceTable.count, entry, "malloc memory for service failed\n",
                       "remalloc memory for service failed\n");
}

void ReleaseTransponderTable() {
    if (transponderTable.entries != nullptr) DmFree(transponderTable.entries);
    transponderTable = {};
    transponderIndex.clear();
    transponderIndexValid = false;
}

void ReleaseServiceTable() {
    if (serviceTable.entries != nullptr) DmFree(serviceTable.entries);
    serviceTable = {};
    ServiceTableChanged();
}

ServiceTable TakeServiceTable() {
    const ServiceTable taken = serviceTable;
    serviceTable = {};
    ServiceTableChanged();
    return taken;
}

void ServiceTableChanged() {
    serviceIndex.clear();
    serviceIndexValid = false;
}

int FindTransponderIndex(uint32_t nameSpace, uint16_t transportStreamId, uint16_t originalNetworkId) {
    const uint64_t key = streamKey(nameSpace, transportStreamId, originalNetworkId);
    if (!transponderIndexValid)
        transponderIndexValid = buildIndex(transponderIndex, transponderTable.count, [](int32_t i) {
            const TransponderEntry& t = transponderTable.entries[i];
            return TransponderKey{streamKey(t.nameSpace, t.transportStreamId, t.originalNetworkId), i};
        });
    if (!transponderIndexValid) {  // no memory for the index: scan the table
        for (int32_t i = 0; i < transponderTable.count; ++i) {
            const TransponderEntry& t = transponderTable.entries[i];
            if (streamKey(t.nameSpace, t.transportStreamId, t.originalNetworkId) == key) return i;
        }
        return -1;
    }
    const auto it =
        std::lower_bound(transponderIndex.begin(), transponderIndex.end(), TransponderKey{key, INT32_MIN});
    return it != transponderIndex.end() && it->key == key ? it->index : -1;
}

int FindServiceIndex(uint16_t serviceId, uint16_t transportStreamId, uint16_t originalNetworkId,
                     uint32_t nameSpace) {
    const uint64_t key = streamKey(nameSpace, transportStreamId, originalNetworkId);
    if (!serviceIndexValid)
        serviceIndexValid = buildIndex(serviceIndex, serviceTable.count, [](int32_t i) {
            const ServiceEntry& s = serviceTable.entries[i];
            return ServiceKey{streamKey(s.nameSpace, s.transportStreamId, s.originalNetworkId), s.serviceId,
                              i};
        });
    if (!serviceIndexValid) {  // no memory for the index: scan the table
        for (int32_t i = 0; i < serviceTable.count; ++i) {
            const ServiceEntry& s = serviceTable.entries[i];
            if (s.serviceId == serviceId &&
                streamKey(s.nameSpace, s.transportStreamId, s.originalNetworkId) == key)
                return i;
        }
        return -1;
    }
    const auto it =
        std::lower_bound(serviceIndex.begin(), serviceIndex.end(), ServiceKey{key, serviceId, INT32_MIN});
    return it != serviceIndex.end() && it->key == key && it->serviceId == serviceId ? it->index : -1;
}

}  // namespace tovu
