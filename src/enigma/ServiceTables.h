// The transponders and services read from a settings file ("lamedb" or "services"), held as
// process-wide tables of the import in DmPool memory.
#pragma once

#include <cstdint>

namespace tovu {

inline constexpr int kServiceNameSize = 256;

// How a transponder is received, from the first letter of its data line: "c" cable, "s"
// satellite, "t" terrestrial (either case); any other letter counts as other.
enum Delivery : uint8_t { kDeliveryCable, kDeliverySatellite, kDeliveryTerrestrial, kDeliveryOther };

struct TransponderEntry {
    uint32_t nameSpace;
    uint16_t transportStreamId;
    uint16_t originalNetworkId;
    uint16_t frequencyMHz;
    uint16_t symbolRateKs;
    uint8_t modulation;  // Enigma cable modulation 0..5
    uint8_t polarisation;
    uint8_t fec;
    int16_t orbitalPosition;
    uint8_t delivery;  // Delivery
};

struct ServiceEntry {
    uint32_t nameSpace;
    uint16_t transportStreamId;
    uint16_t originalNetworkId;
    uint16_t frequencyMHz;
    uint16_t symbolRateKs;
    uint8_t modulation;
    uint8_t polarisation;
    int16_t orbitalPosition;
    uint16_t serviceId;
    uint8_t serviceType;  // 1 television, 2 radio
    uint8_t locked;
    uint8_t nameLength;  // UCS-2 characters in name; the parser stores GB2312 and leaves it 0
    char name[kServiceNameSize];
    uint8_t delivery;  // Delivery, copied from the transponder
};

struct TransponderTable {
    TransponderEntry* entries = nullptr;
    int32_t count = 0;
};
struct ServiceTable {
    ServiceEntry* entries = nullptr;
    int32_t count = 0;
};

extern TransponderTable transponderTable;
extern ServiceTable serviceTable;
// Set by every transponder data line: 1 cable, 0 satellite. Chooses the layout of DumpServices.
extern int lastTransponderIsCable;
// Set when a table could not grow; the import then ends as one that read nothing.
extern bool importOutOfMemory;

// Appends a copy of the entry. 0, or -1 after the table's message when the memory cannot be had
// (importOutOfMemory is then set).
[[nodiscard]] int AppendTransponder(const TransponderEntry& entry);
// A service appended waits, in a compact form, until SortServices places it into the ServiceTable.
[[nodiscard]] int AppendService(const ServiceEntry& entry);

// Releases both tables (and their lookup indexes, and the services not yet placed) and sets their
// counts to 0.
void ReleaseTransponderTable();
void ReleaseServiceTable();
// Hands the service array over to the caller; the process-wide table is then empty.
ServiceTable TakeServiceTable();
// To be called whenever the entries of the ServiceTable were reordered.
void ServiceTableChanged();

// The first transponder, in table order, with the three keys; -1 when there is none.
[[nodiscard]] int FindTransponderIndex(uint32_t nameSpace, uint16_t transportStreamId,
                                       uint16_t originalNetworkId);
// The first service of the ServiceTable, in table order, with the four keys; -1 when none.
[[nodiscard]] int FindServiceIndex(uint16_t serviceId, uint16_t transportStreamId, uint16_t originalNetworkId,
                                   uint32_t nameSpace);

}  // namespace tovu
