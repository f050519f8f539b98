#include "enigma/ServiceTables.h"

#include "enigma/DmPool.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
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
    if (!transponderIndexValid) {
        transponderIndex.clear();
        transponderIndex.reserve(static_cast<size_t>(transponderTable.count));
        for (int32_t i = 0; i < transponderTable.count; ++i) {
            const TransponderEntry& t = transponderTable.entries[i];
            transponderIndex.push_back({streamKey(t.nameSpace, t.transportStreamId, t.originalNetworkId), i});
        }
        std::sort(transponderIndex.begin(), transponderIndex.end());
        transponderIndexValid = true;
    }
    const TransponderKey wanted{streamKey(nameSpace, transportStreamId, originalNetworkId), INT32_MIN};
    const auto it = std::lower_bound(transponderIndex.begin(), transponderIndex.end(), wanted);
    return it != transponderIndex.end() && it->key == wanted.key ? it->index : -1;
}

int FindServiceIndex(uint16_t serviceId, uint16_t transportStreamId, uint16_t originalNetworkId,
                     uint32_t nameSpace) {
    if (!serviceIndexValid) {
        serviceIndex.clear();
        serviceIndex.reserve(static_cast<size_t>(serviceTable.count));
        for (int32_t i = 0; i < serviceTable.count; ++i) {
            const ServiceEntry& s = serviceTable.entries[i];
            serviceIndex.push_back({streamKey(s.nameSpace, s.transportStreamId, s.originalNetworkId), s.serviceId, i});
        }
        std::sort(serviceIndex.begin(), serviceIndex.end());
        serviceIndexValid = true;
    }
    const ServiceKey wanted{streamKey(nameSpace, transportStreamId, originalNetworkId), serviceId, INT32_MIN};
    const auto it = std::lower_bound(serviceIndex.begin(), serviceIndex.end(), wanted);
    return it != serviceIndex.end() && it->key == wanted.key && it->serviceId == serviceId ? it->index : -1;
}

}  // namespace tovu
