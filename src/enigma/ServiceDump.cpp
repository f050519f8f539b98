// Printing the ServiceTable.
#include "enigma/CharConvert.h"
#include "enigma/OutputText.h"
#include "enigma/SettingsParser.h"

#include <algorithm>
#include <cstring>

namespace tovu {

void DumpServices(const ServiceEntry* table, int count) {
    static constexpr unsigned kQamOrder[] = {0, 16, 32, 64, 128, 256};
    OutputText out;
    char* at = out.line();
    at =
        OutputText::text(at, lastTransponderIsCable
                                 ? "    namespace tpID netwID  freq  symbR  QAM  svID  T  L  len name\n"
                                 : "    namespace tpID netwID  freq  symbR  P satPos svID  T  L  len name\n");
    out.end(at);
    for (int i = 0; i < count; ++i) {
        const ServiceEntry& e = table[i];
        char name[1024];  // at most 128 characters of 2 bytes
        name[0] = '\0';
        const int units = std::min<int>(e.nameLength, kServiceNameSize / 2);
        if (units > 0) Ucs2ToAnsi(reinterpret_cast<const uint8_t*>(e.name), units, name, sizeof name);
        // Cable:     "%3d %8X  %4X  %4X  %5d  %5d  %3u  %4X  %d  %d  %2d  %s\n"
        // Satellite: "%3d %8X  %4X  %4X  %5d  %5d  %c  %4d  %4X  %d  %d  %2d  %s\n"
        at = out.line();
        const auto two = [](char* p) {
            p[0] = ' ';
            p[1] = ' ';
            return p + 2;
        };
        at = OutputText::decimal(at, i + 1, 3);
        *at++ = ' ';
        at = OutputText::hex(at, e.nameSpace, 8);
        at = OutputText::hex(two(at), e.transportStreamId, 4);
        at = OutputText::hex(two(at), e.originalNetworkId, 4);
        at = OutputText::decimal(two(at), e.frequencyMHz, 5);
        at = OutputText::decimal(two(at), e.symbolRateKs, 5);
        if (lastTransponderIsCable) {
            at = OutputText::decimal(two(at), e.modulation < 6 ? kQamOrder[e.modulation] : 0, 3);
        } else {
            at = two(at);
            *at++ = e.polarisation == 0 ? 'h' : 'v';
            at = OutputText::decimal(two(at), e.orbitalPosition, 4);
        }
        at = OutputText::hex(two(at), e.serviceId, 4);
        at = OutputText::decimal(two(at), e.serviceType, 0);
        at = OutputText::decimal(two(at), e.locked, 0);
        at = OutputText::decimal(two(at), e.nameLength, 2);
        at = OutputText::text(two(at), name);
        *at++ = '\n';
        out.end(at);
    }
}

}  // namespace tovu
