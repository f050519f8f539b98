// Import of an Enigma settings folder into the database image.
#pragma once

#include "db/DbImage.h"
#include "enigma/Bouquets.h"
#include "enigma/ServiceTables.h"

#include <cstdint>

namespace tovu {

// What one import read: the sorted services and the TV and radio bouquets, all in DmPool memory
// until ReleaseImport.
struct EnigmaImportResult {
    int32_t serviceCount;
    ServiceEntry* services;
    int32_t tvBouquetCount;
    BouquetEntry* tvBouquets;
    int32_t radioBouquetCount;
    BouquetEntry* radioBouquets;
};

// The result ImportIntoImage reads into.
extern EnigmaImportResult enigmaImportResult;

// 2 when the folder's "services" file was read, 3 for its "lamedb", 5 for its "lamedb5"; chooses
// the lock list ("services.locked" for 2, "blacklist" for the others).
extern int settingsFormat;
inline constexpr int kSettingsServices = 2;
inline constexpr int kSettingsLamedb = 3;
inline constexpr int kSettingsLamedb5 = 5;

// Whether the folder holds a settings file the import reads: "services", "lamedb" or "lamedb5"
// (names matched ignoring ASCII case), each a regular file.
[[nodiscard]] bool FolderHoldsEnigmaSettings(const char* folder);

// Reads the folder into the result. 0 when it was read to the end; -1 when an argument is null,
// no settings file opens, or memory runs out (the result then holds nothing).
[[nodiscard]] int ImportEnigmaFolder(const char* folder, EnigmaImportResult* result);

// Releases everything the result holds and clears it.
void ReleaseImport(EnigmaImportResult* result);

// Reads the folder (lamedb or services, the lock list, the bouquets) and replaces the services,
// type lists and favourite lists of the image with what it holds. Diagnostics go to standard
// output. A null folder does nothing.
void ImportIntoImage(const char* folder, ChannelDbImage& image);

}  // namespace tovu
