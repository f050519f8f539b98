#include "enigma/EnigmaImport.h"

#include "enigma/DmPool.h"
#include "enigma/FileHelpers.h"
#include "enigma/SettingsParser.h"

#include <sys/stat.h>
#include <cstring>
#include <string>

namespace tovu {

EnigmaImportResult enigmaImportResult;
int settingsFormat = 0;

namespace {

bool isRegularFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Opens "services", or else "lamedb", or else "lamedb5" when the folder holds one; sets
// settingsFormat by the file that opened.
FILE* openSettingsFile(const char* folder) {
    std::string path;
    settingsFormat = kSettingsServices;
    if (FILE* file = OpenFolderFile(folder, "services", path)) return file;
    std::printf("can not open file \"%s\" try lamedb!\n", path.c_str());
    settingsFormat = kSettingsLamedb;
    if (FILE* file = OpenFolderFile(folder, "lamedb", path)) return file;
    if (isRegularFile(FolderFilePath(folder, "lamedb5"))) {
        std::printf("can not open file \"%s\" try lamedb5!\n", path.c_str());
        settingsFormat = kSettingsLamedb5;
        if (FILE* file = OpenFolderFile(folder, "lamedb5", path)) return file;
    }
    std::printf("can not open file \"%s\" SKIP!\n", path.c_str());
    return nullptr;
}

void readLockList(const char* folder) {
    std::string path;
    FILE* file =
        OpenFolderFile(folder, settingsFormat == kSettingsServices ? "services.locked" : "blacklist", path);
    if (file == nullptr) {
        std::printf("can not open file \"%s\" SKIP!\n", path.c_str());
        return;
    }
    (void)ReadLockList(file);
    FileClose(file);
}

// Allocates the bouquet array of one kind and reads its list into it. 0, or -1 after the
// message when the array cannot be had.
int readBouquets(const char* folder, int counted, BouquetEntry*& bouquets, int32_t& count,
                 FILE* (*openList)(const char*), const char* failMessage) {
    if (counted <= 0) return 0;
    const uint64_t bytes = uint64_t(counted) * sizeof(BouquetEntry);
    void* block = bytes <= UINT32_MAX ? DmMalloc(static_cast<uint32_t>(bytes)) : nullptr;
    if (block == nullptr) {
        std::printf("%s", failMessage);
        return -1;
    }
    std::memset(block, 0, static_cast<size_t>(bytes));
    bouquets = static_cast<BouquetEntry*>(block);
    if (FILE* list = openList(folder)) {
        int slots = counted;
        ReadBouquetList(folder, list, bouquets, &slots);
        count = slots;
        FileClose(list);
    }
    return 0;
}

// Ends an import that ran out of memory: everything read so far is released.
int abandonImport(EnigmaImportResult* result) {
    ReleaseImport(result);
    ReleaseServiceTable();
    ReleaseTransponderTable();
    importOutOfMemory = false;
    return -1;
}

}  // namespace

int ImportEnigmaFolder(const char* folder, EnigmaImportResult* result) {
    if (folder == nullptr || result == nullptr) return -1;
    std::memset(result, 0, sizeof *result);
    // Every import starts with empty tables.
    ReleaseServiceTable();
    ReleaseTransponderTable();
    importOutOfMemory = false;

    FILE* settings = openSettingsFile(folder);
    if (settings == nullptr) return -1;
    if (settingsFormat == kSettingsLamedb5) {
        (void)ParseLamedb5(settings);
    } else {
        (void)TranspondersSection(settings);
        if (!importOutOfMemory) (void)ServicesSection(settings);
    }
    FileClose(settings);
    if (!importOutOfMemory) SortServices();
    if (importOutOfMemory) return abandonImport(result);

    readLockList(folder);
    DumpServices(serviceTable.entries, serviceTable.count);

    int tvCount = 0;
    int radioCount = 0;
    (void)CountBouquets(folder, &tvCount, &radioCount);
    if (readBouquets(folder, tvCount, result->tvBouquets, result->tvBouquetCount, OpenTvBouquetList,
                     "malloc memory for TV bouquet failed\n") != 0 ||
        readBouquets(folder, radioCount, result->radioBouquets, result->radioBouquetCount,
                     OpenRadioBouquetList, "malloc memory for RADIO bouquet failed\n") != 0)
        return abandonImport(result);

    const ServiceTable services = TakeServiceTable();
    result->serviceCount = services.count;
    result->services = services.entries;
    std::printf("services      count: %3d\n", result->serviceCount);
    std::printf("tv    bouquet count: %3d\n", result->tvBouquetCount);
    std::printf("radio bouquet count: %3d\n", result->radioBouquetCount);
    ReleaseTransponderTable();
    return 0;
}

bool FolderHoldsEnigmaSettings(const char* folder) {
    if (folder == nullptr || folder[0] == '\0') return false;
    for (const char* name : {"services", "lamedb", "lamedb5"})
        if (isRegularFile(FolderFilePath(folder, name))) return true;
    return false;
}

void ReleaseImport(EnigmaImportResult* result) {
    if (result == nullptr) return;
    if (result->services != nullptr) DmFree(result->services);
    const auto releaseBouquets = [](BouquetEntry* bouquets, int32_t count) {
        if (bouquets == nullptr) return;
        for (int32_t i = 0; i < count; ++i)
            if (bouquets[i].items != nullptr) DmFree(bouquets[i].items);
        DmFree(bouquets);
    };
    releaseBouquets(result->tvBouquets, result->tvBouquetCount);
    releaseBouquets(result->radioBouquets, result->radioBouquetCount);
    std::memset(result, 0, sizeof *result);
}

}  // namespace tovu
