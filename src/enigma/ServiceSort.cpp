// Ordering and printing of the ServiceTable.
#include "enigma/CharConvert.h"
#include "enigma/SettingsParser.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tovu {
namespace {

// The sort keys of one entry and its position in the table.
struct SortKey {
    int16_t orbital;
    uint16_t frequency;
    uint16_t serviceId;
    int32_t index;
};

// Sorts each run of consecutive keys that agree on `runKey` by `sortKey`.
template <typename RunKey, typename SortKeyOf>
void sortRuns(std::vector<SortKey>& keys, RunKey runKey, SortKeyOf sortKey) {
    for (size_t begin = 0; begin < keys.size();) {
        size_t end = begin + 1;
        while (end < keys.size() && runKey(keys[end]) == runKey(keys[begin])) ++end;
        std::stable_sort(keys.begin() + static_cast<ptrdiff_t>(begin), keys.begin() + static_cast<ptrdiff_t>(end),
                         [&](const SortKey& a, const SortKey& b) { return sortKey(a) < sortKey(b); });
        begin = end;
    }
}

}  // namespace

void SortServices() {
    const int32_t n = serviceTable.count;
    if (n < 2) return;
    ServiceEntry* s = serviceTable.entries;
    std::vector<SortKey> keys(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) keys[static_cast<size_t>(i)] = {s[i].orbitalPosition, s[i].frequencyMHz, s[i].serviceId, i};
    auto orbital = [](const SortKey& k) { return k.orbital; };
    auto frequency = [](const SortKey& k) { return k.frequency; };
    auto serviceId = [](const SortKey& k) { return k.serviceId; };
    auto whole = [](const SortKey&) { return 0; };
    sortRuns(keys, whole, orbital);
    sortRuns(keys, orbital, frequency);  // runs of one orbital position
    sortRuns(keys, frequency, serviceId);  // runs of one frequency, whatever their positions

    // Position i takes entry keys[i].index: follow each cycle of that permutation in place.
    std::vector<uint8_t> placed(static_cast<size_t>(n), 0);
    for (int32_t start = 0; start < n; ++start) {
        if (placed[static_cast<size_t>(start)]) continue;
        const ServiceEntry first = s[start];
        int32_t at = start;
        for (;;) {
            placed[static_cast<size_t>(at)] = 1;
            const int32_t from = keys[static_cast<size_t>(at)].index;
            if (from == start) {
                s[at] = first;
                break;
            }
            s[at] = s[from];
            at = from;
        }
    }
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
