// Fuzz target: the lamedb/services reader on arbitrary bytes, then the sort and the dump.
#include "enigma/DmPool.h"
#include "enigma/QuietDiagnostics.h"
#include "enigma/ServiceTables.h"
#include "enigma/SettingsParser.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::vector<uint8_t> bytes(data, data + size);
    FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    if (file == nullptr) return 0;
    tovu::QuietDiagnostics quiet;
    (void)tovu::TranspondersSection(file);
    (void)tovu::ServicesSection(file);
    std::fclose(file);
    tovu::SortServices();
    tovu::DumpServices(tovu::serviceTable.entries, tovu::serviceTable.count);
    for (int i = 1; i < tovu::serviceTable.count; ++i) {
        const tovu::ServiceEntry& a = tovu::serviceTable.entries[i - 1];
        const tovu::ServiceEntry& b = tovu::serviceTable.entries[i];
        if (a.serviceType != 1 && a.serviceType != 2) __builtin_trap();
        if (a.orbitalPosition > b.orbitalPosition && a.frequencyMHz != b.frequencyMHz) __builtin_trap();
    }
    tovu::ReleaseServiceTable();
    tovu::ReleaseTransponderTable();
    if (tovu::liveBlockCount != 0) __builtin_trap();
    return 0;
}
