// Reading cable.xml into the provider frequency list.
#include "freqlist/ProviderFreqList.h"

#include "db/DbFile.h"
#include "db/DbImage.h"

#include <pugixml.hpp>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace tovu {
namespace {

// A decimal attribute as the C library's string-to-integer conversion reads it: leading space and
// a sign are taken, reading stops at the first non-digit, no digits give 0. Values beyond the
// 32-bit range saturate; a missing attribute gives 0.
int32_t integerAttribute(const pugi::xml_node& element, const char* name) {
    const long long value = std::strtoll(element.attribute(name).value(), nullptr, 10);
    return static_cast<int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

void readTransponder(const pugi::xml_node& transponder, uint8_t* record) {
    std::memset(record, 0, kProviderTransponderSize);
    const int32_t frequencyKHz = integerAttribute(transponder, "frequency") / 1000;
    writeLe32(record, static_cast<uint32_t>(frequencyKHz));
    const int32_t symbolRate = integerAttribute(transponder, "symbol_rate") / 1000;
    writeLe16(record + 4, static_cast<uint16_t>(static_cast<uint32_t>(symbolRate) & 0xFFFF));
    record[6] = static_cast<uint8_t>(integerAttribute(transponder, "modulation") & 0xFF);
    record[7] = static_cast<uint8_t>(integerAttribute(transponder, "annex") & 0xFF);
}

// The file's text up to its first NUL byte (where XML text cannot go on), read through a
// descriptor that was checked to be a regular file; false when it cannot be read.
bool readText(const std::string& path, std::vector<char>& text) {
    PosixDbFile file;
    if (!file.open(path, PosixDbFile::Mode::ReadOnly)) return false;
    try {
        char chunk[65536];
        for (;;) {
            const int64_t got = file.read(chunk, sizeof chunk);
            if (got < 0) return false;
            const char* end = std::find(chunk, chunk + got, '\0');
            text.insert(text.end(), static_cast<const char*>(chunk), end);
            if (got == 0 || end != chunk + got) return true;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// The element whose start tag the damage fell into, if any. An error inside a start tag is
// reported as a bad start tag or attribute (or as memory running out while adding an attribute),
// and the parser keeps that element with the attributes read so far, the last possibly cut short.
// Being the last node created, it ends the document's rightmost path.
pugi::xml_node cutElement(const pugi::xml_document& document, const pugi::xml_parse_result& parsed) {
    if (parsed.status != pugi::status_bad_start_element && parsed.status != pugi::status_bad_attribute &&
        parsed.status != pugi::status_out_of_memory)
        return {};
    pugi::xml_node last = document;
    while (last.last_child()) last = last.last_child();
    return last.type() == pugi::node_element ? last : pugi::xml_node{};
}

}  // namespace

void loadCableXml(const std::string& path, uint8_t* list) {
    std::memset(list, 0, kFreqListFilledSize);
    std::vector<char> text;
    if (!readText(path, text)) return;
    // The bytes are taken as they are, without conversion, so names keep the bytes of the file.
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer_inplace(
        text.data(), text.size(), pugi::parse_escapes | pugi::parse_eol, pugi::encoding_utf8);
    // Whatever the parser delivered before an error is walked, except an element whose start tag
    // was cut: its attributes may be partial.
    const pugi::xml_node cut = cutElement(document, parsed);
    uint32_t cableCount = 0;
    uint32_t transponderCount = 0;
    for (const pugi::xml_node cables : document.children("cables")) {
        for (const pugi::xml_node cable : cables.children("cable")) {
            if (cable == cut) continue;
            uint8_t entry[kCableEntrySize] = {};
            const char* name = cable.attribute("name").value();
            std::memcpy(entry + kCableNameOffset, name, std::min(std::strlen(name), kCableNameSize));
            uint16_t stored = 0;
            for (const pugi::xml_node transponder : cable.children("transponder")) {
                if (transponder == cut || transponderCount >= kMaxTransponders) continue;  // full: dropped
                readTransponder(transponder,
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
