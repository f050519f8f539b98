#include "enigma/SettingsParser.h"

#include "enigma/CharConvert.h"
#include "enigma/FileHelpers.h"
#include "enigma/ScanFields.h"

#include <cctype>
#include <cstring>

namespace tovu {
namespace {

FILE* roundingNoteStream = nullptr;  // null: standard error

bool beginsWith(const char* line, const char* word) {
    return std::strncmp(line, word, std::strlen(word)) == 0;
}

// The rounding notes of the unit conversion, one per line on standard error.
void roundingNote(const char* format, int orbital, int kHz, int mhz, int symbolsPerSecond, int kiloSymbols) {
    char text[160];
    std::snprintf(text, sizeof text, format, orbital, kHz, mhz, symbolsPerSecond, kiloSymbols);
    std::fprintf(roundingNoteStream != nullptr ? roundingNoteStream : stderr, "%s\n", text);
}

Delivery deliveryOf(char letter) {
    switch (letter) {
        case 'c':
        case 'C': return kDeliveryCable;
        case 's':
        case 'S': return kDeliverySatellite;
        case 't':
        case 'T': return kDeliveryTerrestrial;
        default: return kDeliveryOther;
    }
}

// Reads the data line of a transponder into the entry (units converted, rounded half up).
void parseTransponderData(const char* line, TransponderEntry& entry) {
    const char* word = line;
    while (std::isspace(static_cast<unsigned char>(*word))) ++word;
    int kHz = 0, symbolsPerSecond = 0, polarisation = 0, fec = 0, orbital = 0, inversion = 0, modulation = 0;
    entry.delivery = deliveryOf(*word);
    if (*word == 's' || *word == 'S') {
        lastTransponderIsCable = 0;
        (void)ScanFields(line, "\ts %d:%d:%d:%d:%d", &kHz, &symbolsPerSecond, &polarisation, &fec, &orbital);
    } else {
        lastTransponderIsCable = 1;
        (void)ScanFields(line, "\tc %d:%d:%d:%d", &kHz, &symbolsPerSecond, &inversion, &modulation);
    }
    entry.modulation = static_cast<uint8_t>(modulation);
    entry.polarisation = static_cast<uint8_t>(polarisation);
    entry.fec = static_cast<uint8_t>(fec);
    entry.orbitalPosition = static_cast<int16_t>(orbital);

    const bool frequencyUp = kHz % 1000 >= 500;
    const bool symbolRateUp = symbolsPerSecond % 1000 >= 500;
    entry.frequencyMHz = static_cast<uint16_t>(kHz / 1000 + (frequencyUp ? 1 : 0));
    entry.symbolRateKs = static_cast<uint16_t>(symbolsPerSecond / 1000);
    if (frequencyUp)
        roundingNote("SAT(%4d)  freq %8d > %5d   symb %8d   %5d", entry.orbitalPosition, kHz,
                     entry.frequencyMHz, symbolsPerSecond, entry.symbolRateKs);
    if (symbolRateUp) {
        entry.symbolRateKs = static_cast<uint16_t>(entry.symbolRateKs + 1);
        roundingNote("SAT(%4d)  freq %8d   %5d   symb %8d > %5d", entry.orbitalPosition, kHz,
                     entry.frequencyMHz, symbolsPerSecond, entry.symbolRateKs);
    }
}

// The key line of a transponder: namespace, transport stream id, original network id.
void parseTransponderKey(const char* line, TransponderEntry& entry) {
    unsigned nameSpace = 0, transportStreamId = 0, originalNetworkId = 0;
    (void)ScanFields(line, "%x:%x:%x", &nameSpace, &transportStreamId, &originalNetworkId);
    entry.nameSpace = nameSpace;
    entry.transportStreamId = static_cast<uint16_t>(transportStreamId);
    entry.originalNetworkId = static_cast<uint16_t>(originalNetworkId);
}

// The key line of a service: service id, namespace, transport stream id, original network id, type.
void parseServiceKey(const char* line, ServiceEntry& entry) {
    unsigned serviceId = 0, nameSpace = 0, transportStreamId = 0, originalNetworkId = 0;
    int type = 0;
    (void)ScanFields(line, "%x:%x:%x:%x:%d", &serviceId, &nameSpace, &transportStreamId, &originalNetworkId,
                     &type);
    entry.serviceId = static_cast<uint16_t>(serviceId);
    entry.nameSpace = nameSpace;
    entry.transportStreamId = static_cast<uint16_t>(transportStreamId);
    entry.originalNetworkId = static_cast<uint16_t>(originalNetworkId);
    entry.serviceType = static_cast<uint8_t>(type);
}

// The name in GB2312, at most 255 bytes, into the zero-filled entry.
void setServiceName(const char* utf8, ServiceEntry& entry) {
    uint8_t ucs2[256];  // not used further: neither needs clearing
    char gb[1024];
    (void)ConvertName(utf8, ucs2, sizeof ucs2, gb, sizeof gb);
    std::memcpy(entry.name, gb, strnlen(gb, kServiceNameSize - 1));
    entry.nameLength = 0;
}

// Appends a television or radio service whose transponder is known; others are dropped. 0, or -1
// when the memory runs out.
int keepService(ServiceEntry& entry) {
    if (FindTransponderForService(entry) != 0) return 0;
    if (entry.serviceType == 4 || entry.serviceType == 25)
        entry.serviceType = 1;
    else if (entry.serviceType != 1 && entry.serviceType != 2)
        return 0;
    return AppendService(entry);
}

}  // namespace

void SetRoundingNoteStream(FILE* stream) { roundingNoteStream = stream; }

int FindSection(FILE* file, const char* word) {
    char line[kReadLineBufferSize];
    while (ReadLineUnpadded(file, line, sizeof line) == 0)
        if (beginsWith(line, word)) return 0;
    return -1;
}

int TranspondersSection(FILE* file) {
    if (FindSection(file, "transponders") != 0) return -1;
    (void)ParseTransponders(file);
    return 0;
}

int ServicesSection(FILE* file) {
    if (FindSection(file, "services") != 0) return -1;
    (void)ParseServices(file);
    return 0;
}

int ParseTransponders(FILE* file) {
    char line[kReadLineBufferSize];
    for (;;) {
        TransponderEntry entry;
        std::memset(&entry, 0, sizeof entry);
        if (ReadLineUnpadded(file, line, sizeof line) != 0) {
            std::printf("transponder line 1 failed\n");
            return -1;
        }
        if (beginsWith(line, "end")) return 0;
        parseTransponderKey(line, entry);

        if (ReadLineUnpadded(file, line, sizeof line) != 0) {
            std::printf("transponder line 2 failed\n");
            return -1;
        }
        parseTransponderData(line, entry);

        if (ReadLineUnpadded(file, line, sizeof line) != 0) {
            std::printf("transponder line 3 failed\n");
            return -1;
        }
        if (line[0] != '/') std::printf("transponder line 3 not start with /");
        if (AppendTransponder(entry) != 0) return -1;
    }
}

int ParseServices(FILE* file) {
    char line[kReadLineBufferSize];
    for (;;) {
        ServiceEntry entry;
        std::memset(&entry, 0, sizeof entry);
        if (ReadLineUnpadded(file, line, sizeof line) != 0) {
            std::printf("service line 1 failed\n");
            return -1;
        }
        if (beginsWith(line, "end")) return 0;
        parseServiceKey(line, entry);

        if (ReadLineUnpadded(file, line, sizeof line) != 0) {
            std::printf("service line 2 failed\n");
            return -1;
        }
        setServiceName(line, entry);

        if (ReadLineUnpadded(file, line, sizeof line) != 0) {
            std::printf("service line 3 failed\n");
            return -1;
        }
        if (keepService(entry) != 0) return -1;
    }
}

int ParseLamedb5(FILE* file) {
    const long start = std::ftell(file);
    char line[kReadLineBufferSize];
    // "t:" namespace:transport stream id:original network id "," type letter ":" data
    while (ReadLineUnpadded(file, line, sizeof line) == 0) {
        char* data = beginsWith(line, "t:") ? std::strchr(line, ',') : nullptr;
        if (data == nullptr) continue;
        *data++ = '\0';
        TransponderEntry entry;
        std::memset(&entry, 0, sizeof entry);
        parseTransponderKey(line + 2, entry);
        // The data as the three-line layout writes it: a tab, the letter, a blank and the numbers.
        char dataLine[kReadLineBufferSize];
        std::snprintf(dataLine, sizeof dataLine, "\t%c %s", data[0],
                      data[0] != '\0' && data[1] == ':' ? data + 2 : "");
        parseTransponderData(dataLine, entry);
        if (AppendTransponder(entry) != 0) return -1;
    }
    if (start < 0 || std::fseek(file, start, SEEK_SET) != 0) return 0;
    // "s:" service id:namespace:transport stream id:original network id:type:... "," quoted name
    while (ReadLineUnpadded(file, line, sizeof line) == 0) {
        char* name = beginsWith(line, "s:") ? std::strchr(line, ',') : nullptr;
        if (name == nullptr || name[1] != '"') continue;
        char* nameEnd = std::strchr(name + 2, '"');
        if (nameEnd == nullptr) continue;
        *name = '\0';
        *nameEnd = '\0';
        ServiceEntry entry;
        std::memset(&entry, 0, sizeof entry);
        parseServiceKey(line + 2, entry);
        setServiceName(name + 2, entry);
        if (keepService(entry) != 0) return -1;
    }
    return 0;
}

int FindTransponderForService(ServiceEntry& service) {
    const int i =
        FindTransponderIndex(service.nameSpace, service.transportStreamId, service.originalNetworkId);
    if (i < 0) {
        std::printf("can not find the transponder for service\n");
        return -1;
    }
    const TransponderEntry& t = transponderTable.entries[i];
    service.frequencyMHz = t.frequencyMHz;
    service.symbolRateKs = t.symbolRateKs;
    service.modulation = t.modulation;
    service.polarisation = t.polarisation;
    service.orbitalPosition = t.orbitalPosition;
    service.delivery = t.delivery;
    return 0;
}

}  // namespace tovu
