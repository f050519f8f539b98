// Ordering and printing of the ServiceTable.
#include "enigma/CharConvert.h"
#include "enigma/SettingsParser.h"

#include <algorithm>
#include <cstring>
#include <new>
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

int16_t orbitalOf(const SortKey& k) { return k.orbital; }
uint16_t frequencyOf(const SortKey& k) { return k.frequency; }
uint16_t serviceIdOf(const SortKey& k) { return k.serviceId; }
int16_t orbitalOf(const ServiceEntry& e) { return e.orbitalPosition; }
uint16_t frequencyOf(const ServiceEntry& e) { return e.frequencyMHz; }
uint16_t serviceIdOf(const ServiceEntry& e) { return e.serviceId; }

// Sorts each run of consecutive elements that agree on `runKey` by `sortKey`.
template <typename T, typename RunKey, typename SortKeyOf>
void sortRuns(T* first, T* last, RunKey runKey, SortKeyOf sortKey) {
    for (T* begin = first; begin < last;) {
        T* end = begin + 1;
        while (end < last && runKey(*end) == runKey(*begin)) ++end;
        std::stable_sort(begin, end, [&](const T& a, const T& b) { return sortKey(a) < sortKey(b); });
        begin = end;
    }
}

// The three passes: by orbital position, runs of one position by frequency, runs of one
// frequency (whatever their positions) by service id.
template <typename T>
void threePassSort(T* first, T* last) {
    sortRuns(
        first, last, [](const T&) { return 0; }, [](const T& x) { return orbitalOf(x); });
    sortRuns(
        first, last, [](const T& x) { return orbitalOf(x); }, [](const T& x) { return frequencyOf(x); });
    sortRuns(
        first, last, [](const T& x) { return frequencyOf(x); }, [](const T& x) { return serviceIdOf(x); });
}

}  // namespace

void SortServices() {
    const int32_t n = serviceTable.count;
    if (n < 2) return;
    ServiceEntry* s = serviceTable.entries;
    ServiceTableChanged();
    std::vector<SortKey> keys;
    std::vector<uint8_t> placed;
    try {
        keys.resize(static_cast<size_t>(n));
        placed.resize(static_cast<size_t>(n), 0);
    } catch (const std::bad_alloc&) {
        threePassSort(s, s + n);  // no memory for the keys: sort the entries themselves
        return;
    }
    for (int32_t i = 0; i < n; ++i)
        keys[static_cast<size_t>(i)] = {s[i].orbitalPosition, s[i].frequencyMHz, s[i].serviceId, i};
    threePassSort(keys.data(), keys.data() + n);

    // Position i takes entry keys[i].index: follow each cycle of that permutation in place.
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
                        e.transportStreamId, e.originalNetworkId, e.frequencyMHz, e.symbolRateKs, qam,
                        e.serviceId, e.serviceType, e.locked, e.nameLength, name);
        } else {
            std::printf("%3d %8X  %4X  %4X  %5d  %5d  %c  %4d  %4X  %d  %d  %2d  %s\n", i + 1, e.nameSpace,
                        e.transportStreamId, e.originalNetworkId, e.frequencyMHz, e.symbolRateKs,
                        e.polarisation == 0 ? 'h' : 'v', e.orbitalPosition, e.serviceId, e.serviceType,
                        e.locked, e.nameLength, name);
        }
    }
}

}  // namespace tovu
