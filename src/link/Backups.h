// Copies of what a receiver held before an upload overwrote it: one file per upload in the
// backups folder, named after the receiver's address and the local time, the newest 20 of each
// receiver and kind kept. Shared by the editor and kdattool, so both keep their copies in one place.
#pragma once

#include "db/DbFile.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace tovu {

// A backup of the database area is a .kdat file; one of the provider list, its 64 KiB as read.
enum class BackupKind { Database, ProviderList };

inline constexpr size_t kBackupsKept = 20;

// The dotted form of a receiver's address (first field most significant).
[[nodiscard]] std::string dottedAddress(uint32_t receiver);

// <data folder>/TovuChanEditor/backups, the data folder being $XDG_DATA_HOME when it is an
// absolute path, else ~/.local/share. Empty when no home folder is known.
[[nodiscard]] std::string defaultBackupFolder();

// Creates the folder and any missing parents (new ones private to the user); true when it is a
// folder afterwards.
[[nodiscard]] bool makeFolders(const std::string& path);

// Saves a new backup of `receiver` into `folder` (created when missing) through the safe save:
// <address>-<YYYYMMDD-HHMMSS>.kdat or .bin, with -2, -3, ... before the extension for further
// backups in the same second. Then removes the oldest backups of that receiver and kind beyond
// kBackupsKept; other files in the folder are left alone. Gives the path written, or an empty
// string when nothing could be written (nothing is left behind then).
[[nodiscard]] std::string writeBackup(const std::string& folder, uint32_t receiver, BackupKind kind,
                                      const std::function<bool(DbFile&)>& writeContent);

}  // namespace tovu
