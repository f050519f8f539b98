// Reading cable.xml into the provider frequency list.
#include "freqlist/ProviderFreqList.h"

#include "db/DbImage.h"

#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace tovu {
namespace {

// A decimal attribute as the C library's string-to-integer conversion reads it: leading space and
// a sign are taken, reading stops at the first non-digit, no digits give 0. Values beyond the
// 32-bit range saturate; a missing attribute gives 0.
int32_t integerAttribute(const TiXmlElement& element, const char* name) {
    const char* text = element.Attribute(name);
    if (text == nullptr) return 0;
    const long long value = std::strtoll(text, nullptr, 10);
    return static_cast<int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

void readTransponder(const TiXmlElement& transponder, uint8_t* record) {
    std::memset(record, 0, kProviderTransponderSize);
    const int32_t frequencyKHz = integerAttribute(transponder, "frequency") / 1000;
    writeLe32(record, static_cast<uint32_t>(frequencyKHz));
    const int32_t symbolRate = integerAttribute(transponder, "symbol_rate") / 1000;
    writeLe16(record + 4, static_cast<uint16_t>(static_cast<uint32_t>(symbolRate) & 0xFFFF));
    record[6] = static_cast<uint8_t>(integerAttribute(transponder, "modulation") & 0xFF);
    record[7] = static_cast<uint8_t>(integerAttribute(transponder, "annex") & 0xFF);
}

}  // namespace

void loadCableXml(const std::string& path, uint8_t* list) {
    std::memset(list, 0, kFreqListFilledSize);
    uint32_t cableCount = 0;
    uint32_t transponderCount = 0;

    TiXmlDocument document(path.c_str());
    // Whatever the parser delivered is walked, even after a parse error.
    (void)document.LoadFile();
    for (const TiXmlElement* cables = document.FirstChildElement("cables"); cables != nullptr;
         cables = cables->NextSiblingElement("cables")) {
        for (const TiXmlElement* cable = cables->FirstChildElement("cable"); cable != nullptr;
             cable = cable->NextSiblingElement("cable")) {
            uint8_t entry[kCableEntrySize] = {};
            if (const char* name = cable->Attribute("name"))
                std::memcpy(entry + kCableNameOffset, name, std::min(std::strlen(name), kCableNameSize));
            uint16_t stored = 0;
            for (const TiXmlElement* transponder = cable->FirstChildElement("transponder"); transponder != nullptr;
                 transponder = transponder->NextSiblingElement("transponder")) {
                if (transponderCount >= kMaxTransponders) continue;  // the table is full: dropped
                readTransponder(*transponder,
                                list + kTransponderTableOffset + transponderCount * kProviderTransponderSize);
                ++transponderCount;
                ++stored;
            }
            writeLe16(entry, stored);
            if (cableCount >= kMaxCables) continue;  // dropped; its transponders stay in the table
            std::memcpy(list + kCableTableOffset + cableCount * kCableEntrySize, entry, kCableEntrySize);
            ++cableCount;
        }
    }
    writeLe32(list + kCableCountOffset, cableCount);
    writeLe32(list + kTransponderCountOffset, transponderCount);
}

uint32_t freqListTransponderCount(const uint8_t* list) { return readLe32(list + kTransponderCountOffset); }

uint32_t storeFreqListChecksum(uint8_t* list) {
    const uint32_t sum = byteSum(list, kFreqListChecksumOffset);
    writeLe32(list + kFreqListChecksumOffset, sum);
    return sum;
}

}  // namespace tovu
