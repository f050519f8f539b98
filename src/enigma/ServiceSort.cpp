// Ordering and printing of the ServiceTable.
#include "enigma/CharConvert.h"
#include "enigma/SettingsParser.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tovu {
namespace {

// Sorts each run of consecutive positions whose entries agree on `runKey` by `sortKey`.
template <typename RunKey, typename SortKey>
void sortRuns(std::vector<int32_t>& order, const ServiceEntry* s, RunKey runKey, SortKey sortKey) {
    for (size_t begin = 0; begin < order.size();) {
        size_t end = begin + 1;
        while (end < order.size() && runKey(s[order[end]]) == runKey(s[order[begin]])) ++end;
        std::stable_sort(order.begin() + static_cast<ptrdiff_t>(begin), order.begin() + static_cast<ptrdiff_t>(end),
                         [&](int32_t a, int32_t b) { return sortKey(s[a]) < sortKey(s[b]); });
        begin = end;
    }
}

}  // namespace

void SortServices() {
    const int32_t n = serviceTable.count;
    if (n < 2) return;
    const ServiceEntry* s = serviceTable.entries;
    std::vector<int32_t> order(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) order[static_cast<size_t>(i)] = i;
    auto orbital = [](const ServiceEntry& e) { return e.orbitalPosition; };
    auto frequency = [](const ServiceEntry& e) { return e.frequencyMHz; };
    auto serviceId = [](const ServiceEntry& e) { return e.serviceId; };
    auto whole = [](const ServiceEntry&) { return 0; };
    sortRuns(order, s, whole, orbital);
    sortRuns(order, s, orbital, frequency);
    sortRuns(order, s, frequency, serviceId);

    std::vector<ServiceEntry> sorted(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) sorted[static_cast<size_t>(i)] = s[order[static_cast<size_t>(i)]];
    std::memcpy(serviceTable.entries, sorted.data(), sorted.size() * sizeof(ServiceEntry));
    ServiceTableChanged();
}

void DumpServices(const ServiceEntry* table, int count) {
    static constexpr unsigned kQamOrder[] = {0, 16, 32, 64, 128, 256};
    if (lastTransponderIsCable)
        std::printf("    namespace tpID netwID  freq  symbR  QAM  svID  T  L  len name\n");
    else
        std::printf("    namespace tpID netwID  freq  symbR  P satPos svID  T  L  len name\n");
    for (int i = 0; i < count; ++i) {
        const ServiceEntry& e = table[i];
        char name[1024];
        std::memset(name, 0, sizeof name);
        const int units = std::min<int>(e.nameLength, kServiceNameSize / 2);
        Ucs2ToAnsi(reinterpret_cast<const uint8_t*>(e.name), units, name, sizeof name);
        if (lastTransponderIsCable) {
            const unsigned qam = e.modulation < 6 ? kQamOrder[e.modulation] : 0;
            std::printf("%3d %8X  %4X  %4X  %5d  %5d  %3u  %4X  %d  %d  %2d  %s\n", i + 1, e.nameSpace,
                        e.transportStreamId, e.originalNetworkId, e.frequencyMHz, e.symbolRateKs, qam, e.serviceId,
                        e.serviceType, e.locked, e.nameLength, name);
        } else {
            std::printf("%3d %8X  %4X  %4X  %5d  %5d  %c  %4d  %4X  %d  %d  %2d  %s\n", i + 1, e.nameSpace,
                        e.transportStreamId, e.originalNetworkId, e.frequencyMHz, e.symbolRateKs,
                        e.polarisation == 0 ? 'h' : 'v', e.orbitalPosition, e.serviceId, e.serviceType, e.locked,
                        e.nameLength, name);
        }
    }
}

}  // namespace tovu
