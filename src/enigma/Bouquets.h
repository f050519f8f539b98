// Lock lists and bouquets of a settings folder. Both name services by a reference of seven
// hexadecimal numbers (type, flags, service type, service id, transport stream id, original
// network id, namespace); the last four find the service in the sorted ServiceTable.
#pragma once

#include <cstdint>
#include <cstdio>

namespace tovu {

inline constexpr int kBouquetNameSize = 64;
inline constexpr int kBouquetCapacity = 300;
inline constexpr int kBouquetListLineSize = 512;

struct BouquetEntry {
    char name[kBouquetNameSize];  // GB2312, NUL-terminated
    uint16_t count;
    uint16_t* items;  // kBouquetCapacity indexes into the ServiceTable, or null
    // The same indexes at full width (an index above 0xFFFE reads 0xFFFF in items), in the block
    // of items, behind them; null with items.
    int32_t* indexes;
};

// The seven numbers of a service reference.
struct ServiceRef {
    unsigned type, flags, serviceType, serviceId, transportStreamId, originalNetworkId, nameSpace;
};

// Marks the services named by the lock list as locked. Always 0.
int ReadLockList(FILE* file);

// The TV list ("userbouquets.tv.epl", else "bouquets.tv") and the radio list
// ("userbouquets.radio.epl", else "bouquets.radio") of the folder, or null.
[[nodiscard]] FILE* OpenTvBouquetList(const char* folder);
[[nodiscard]] FILE* OpenRadioBouquetList(const char* folder);
// Counts the bouquet files each list names; a list that does not open leaves its count alone.
// 0, or -1 when an argument is null.
int CountBouquets(const char* folder, int* tvCount, int* radioCount);
void CountBouquetRefs(FILE* file, int* count);
// The bouquet file named by a lower-cased bouquet-list line, or null. May shorten the line.
[[nodiscard]] const char* ParseBouquetRef(char* line);
// Reads at most *capacity bouquets into the array; *capacity becomes the number of slots used.
void ReadBouquetList(const char* folder, FILE* file, BouquetEntry* bouquets, int* capacity);
// Reads one bouquet file. 0, or -1 when its index array cannot be had or it does not open.
int ReadBouquet(const char* path, BouquetEntry* entry);
// 1 when the line is a "#SERVICE:" or "#SERVICE" line with all seven numbers, else 0.
[[nodiscard]] int ParseServiceRef(const char* line, ServiceRef* ref);

// The first service of the ServiceTable that the reference names, or -1.
[[nodiscard]] int FindServiceByRef(const ServiceRef& ref);

}  // namespace tovu
