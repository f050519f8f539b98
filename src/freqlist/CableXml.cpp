// Reading cable.xml into the provider frequency list.
#include "freqlist/ProviderFreqList.h"

#include "db/DbImage.h"

#include <tinyxml.h>

#include <pthread.h>
#include <algorithm>
#include <climits>
#include <cstdio>
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

// The parser descends once per nested element, on the stack. Every element starts with '<', so
// the count of '<' in the file bounds the depth. The document is parsed on the calling thread when
// its stack has room for that bound, else on a thread whose stack is sized for it. A file that
// would need more than kMaxParseStack is not parsed (as if unreadable), instead of overflowing
// the stack.
#if defined(__SANITIZE_ADDRESS__)
constexpr size_t kStackPerLevel = 16 * 1024;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr size_t kStackPerLevel = 16 * 1024;
#elif defined(__OPTIMIZE__)
constexpr size_t kStackPerLevel = 2 * 1024;
#else
constexpr size_t kStackPerLevel = 4 * 1024;
#endif
#elif defined(__OPTIMIZE__)
constexpr size_t kStackPerLevel = 2 * 1024;
#else
constexpr size_t kStackPerLevel = 4 * 1024;
#endif
constexpr size_t kInlineMargin = 256 * 1024;
constexpr size_t kBaseParseStack = 1024 * 1024;
constexpr size_t kMaxParseStack = size_t{1} << 30;

struct ParseJob {
    const std::string* path;
    FILE* content;
    uint8_t* list;
};

void walkDocument(const std::string& path, FILE* content, uint8_t* list) {
    uint32_t cableCount = 0;
    uint32_t transponderCount = 0;
    TiXmlDocument document(path.c_str());
    // Whatever the parser delivered is walked, even after a parse error.
    (void)document.LoadFile(content);
    for (const TiXmlElement* cables = document.FirstChildElement("cables"); cables != nullptr;
         cables = cables->NextSiblingElement("cables")) {
        for (const TiXmlElement* cable = cables->FirstChildElement("cable"); cable != nullptr;
             cable = cable->NextSiblingElement("cable")) {
            uint8_t entry[kCableEntrySize] = {};
            if (const char* name = cable->Attribute("name"))
                std::memcpy(entry + kCableNameOffset, name, std::min(std::strlen(name), kCableNameSize));
            uint16_t stored = 0;
            for (const TiXmlElement* transponder = cable->FirstChildElement("transponder");
                 transponder != nullptr; transponder = transponder->NextSiblingElement("transponder")) {
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
}  // the document is released here, which descends as deep as the parse did

void* runParseJob(void* argument) {
    const ParseJob& job = *static_cast<const ParseJob*>(argument);
    walkDocument(*job.path, job.content, job.list);
    return nullptr;
}

// Bytes of stack left below this frame on the calling thread; 0 when unknown.
size_t remainingStack() {
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) return 0;
    void* low = nullptr;
    size_t size = 0;
    const bool known = pthread_attr_getstack(&attributes, &low, &size) == 0;
    pthread_attr_destroy(&attributes);
    const char here = 0;
    const auto bottom = reinterpret_cast<uintptr_t>(low);
    const auto current = reinterpret_cast<uintptr_t>(&here);
    if (!known || current <= bottom || current - bottom > size) return 0;
    return current - bottom;
}

// The number of '<' in the rest of the file; the file is then rewound for the parser.
bool countOpenings(FILE* file, size_t& opens) {
    char chunk[16384];
    size_t got;
    opens = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        opens += static_cast<size_t>(std::count(chunk, chunk + got, '<'));
    const bool ok = !std::ferror(file);
    std::rewind(file);
    return ok;
}

}  // namespace

void loadCableXml(const std::string& path, uint8_t* list) {
    std::memset(list, 0, kFreqListFilledSize);
    // The parser reads the file through the same open stream that was counted.
    FILE* content = std::fopen(path.c_str(), "rb");
    if (content == nullptr) return;
    size_t opens = 0;
    if (!countOpenings(content, opens) || opens > (kMaxParseStack - kBaseParseStack) / kStackPerLevel) {
        std::fclose(content);
        return;
    }
    const size_t needed = opens * kStackPerLevel;
    bool ran = false;
    if (needed + kInlineMargin < remainingStack()) {
        walkDocument(path, content, list);
        ran = true;
    } else {
        ParseJob job{&path, content, list};
        pthread_attr_t attributes;
        pthread_t parser;
        if (pthread_attr_init(&attributes) == 0) {
            if (pthread_attr_setstacksize(&attributes, kBaseParseStack + needed) == 0 &&
                pthread_create(&parser, &attributes, runParseJob, &job) == 0)
                ran = pthread_join(parser, nullptr) == 0;
            pthread_attr_destroy(&attributes);
        }
    }
    std::fclose(content);
    if (!ran) std::memset(list, 0, kFreqListFilledSize);
}

uint32_t freqListTransponderCount(const uint8_t* list) { return readLe32(list + kTransponderCountOffset); }

uint32_t storeFreqListChecksum(uint8_t* list) {
    const uint32_t sum = byteSum(list, kFreqListChecksumOffset);
    writeLe32(list + kFreqListChecksumOffset, sum);
    return sum;
}

}  // namespace tovu
