#include "enigma/Bouquets.h"

#include "enigma/CharConvert.h"
#include "enigma/DmPool.h"
#include "enigma/FileHelpers.h"
#include "enigma/OutputText.h"

#include <cstring>
#include <string>

namespace tovu {
namespace {

void lowerCaseAscii(char* line) {
    for (; *line != '\0'; ++line)
        if (*line >= 'A' && *line <= 'Z') *line = static_cast<char>(*line - 'A' + 'a');
}

// Bouquet lists name files of the settings folder: a name that carries a path keeps only its
// last component, so no file outside the folder is read.
const char* lastComponent(const char* name) {
    const char* slash = std::strrchr(name, '/');
    return slash != nullptr ? slash + 1 : name;
}

FILE* openFirstOf(const char* folder, const char* name, const char* fallback) {
    std::string path;
    FILE* file = OpenFolderFile(folder, name, path);
    return file != nullptr ? file : OpenFolderFile(folder, fallback, path);
}

}  // namespace

FILE* OpenTvBouquetList(const char* folder) {
    return openFirstOf(folder, "userbouquets.tv.epl", "bouquets.tv");
}

FILE* OpenRadioBouquetList(const char* folder) {
    return openFirstOf(folder, "userbouquets.radio.epl", "bouquets.radio");
}

const char* ParseBouquetRef(char* line) {
    if (std::strstr(line, "#service") == nullptr) return nullptr;
    const size_t length = std::strlen(line);
    if (length >= 3 && std::strcmp(line + length - 3, ".tv") == 0) {
        const char* slash = std::strrchr(line, '/');
        return slash != nullptr ? slash + 1 : nullptr;
    }
    char* quote = std::strchr(line, '"');
    if (quote == nullptr) return nullptr;
    char* end = std::strstr(quote, ".tv\"");
    if (end == nullptr) return nullptr;
    end[3] = '\0';
    return lastComponent(quote + 1);
}

void CountBouquetRefs(FILE* file, int* count) {
    *count = 0;
    char line[kBouquetListLineSize];
    while (ReadLineUnpadded(file, line, sizeof line) == 0) {
        lowerCaseAscii(line);
        if (ParseBouquetRef(line) != nullptr) ++*count;
    }
}

int CountBouquets(const char* folder, int* tvCount, int* radioCount) {
    if (folder == nullptr || tvCount == nullptr || radioCount == nullptr) return -1;
    if (FILE* tv = OpenTvBouquetList(folder)) {
        CountBouquetRefs(tv, tvCount);
        FileClose(tv);
    }
    if (FILE* radio = OpenRadioBouquetList(folder)) {
        CountBouquetRefs(radio, radioCount);
        FileClose(radio);
    }
    return 0;
}

void ReadBouquetList(const char* folder, FILE* file, BouquetEntry* bouquets, int* capacity) {
    int used = 0;
    char line[kBouquetListLineSize];
    while (ReadLineUnpadded(file, line, sizeof line) == 0) {
        lowerCaseAscii(line);
        const char* name = ParseBouquetRef(line);
        if (name == nullptr) continue;
        if (used >= *capacity) break;
        const std::string path = FolderFilePath(folder, name);
        (void)ReadBouquet(path.c_str(), &bouquets[used]);
        ++used;
    }
    *capacity = used;
}

int ReadBouquet(const char* path, BouquetEntry* entry) {
    std::memset(entry, 0, sizeof *entry);
    constexpr size_t kBytes = kBouquetCapacity * (sizeof(uint16_t) + sizeof(int32_t));
    auto* items = static_cast<uint16_t*>(DmMalloc(kBytes));
    if (items == nullptr) {
        std::printf("malloc memory for bouquet failed\n");
        return -1;
    }
    std::memset(items, 0, kBytes);
    auto* indexes = reinterpret_cast<int32_t*>(items + kBouquetCapacity);
    FILE* file = FileOpen(path, "rb");
    if (file == nullptr) {
        std::printf("can not open file \"%s\" SKIP!\n", path);
        DmFree(items);
        entry->items = nullptr;
        return -1;
    }
    entry->items = items;
    entry->indexes = indexes;
    int count = 0;
    char line[kReadLineBufferSize];
    while (count < kBouquetCapacity && ReadLineUnpadded(file, line, sizeof line) == 0) {
        if (std::strstr(line, "#NAME") != nullptr) {
            uint8_t ucs2[64];
            char gb[kBouquetNameSize];
            std::memset(ucs2, 0, sizeof ucs2);
            std::memset(gb, 0, sizeof gb);
            (void)ConvertName(line + 6, ucs2, sizeof ucs2, gb, sizeof gb);  // a NUL follows the terminator
            std::memcpy(entry->name, gb, sizeof entry->name);
        }
        ServiceRef ref{};
        if (ParseServiceRef(line, &ref) != 1) continue;
        const int index = FindServiceByRef(ref);
        if (index < 0) {
            std::printf(
                "file \".\\services\" not include this service:\n serviceID: %X transponderID: %X "
                "networkID: %X namespace: %X\n",
                ref.serviceId, ref.transportStreamId, ref.originalNetworkId, ref.nameSpace);
            continue;
        }
        // 16 bits keep indexes up to 0xFFFE; 0xFFFF stands for any larger one.
        items[count] = static_cast<uint16_t>(index <= 0xFFFF ? index : 0xFFFF);
        indexes[count++] = index;
    }
    FileClose(file);
    entry->count = static_cast<uint16_t>(count);
    // "\nbouquet: %s\n", then "%3d   %5d\t favorite\n" for each service
    OutputText out;
    char* at = OutputText::text(out.line(), "\nbouquet: ");
    at = OutputText::text(at, entry->name);
    *at++ = '\n';
    out.end(at);
    for (int i = 0; i < count; ++i) {
        at = OutputText::decimal(out.line(), i + 1, 3);
        at = OutputText::decimal(OutputText::text(at, "   "), items[i] + 1, 5);
        out.end(OutputText::text(at, "\t favorite\n"));
    }
    return 0;
}

}  // namespace tovu
