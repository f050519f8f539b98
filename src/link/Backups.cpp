#include "link/Backups.h"

#include "db/DbStore.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

namespace tovu {
namespace {

// The most backups of one receiver and kind in one second.
constexpr long kMaxNumber = 99999;

const char* extensionOf(BackupKind kind) { return kind == BackupKind::Database ? ".kdat" : ".bin"; }

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// "YYYYMMDD-HHMMSS" of the local time now.
std::string timeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// The order of a backup's name among those of its receiver and kind: time stamp, then the number
// of the backup within its second (1 when the name has none).
using BackupOrder = std::pair<std::string, long>;
using Backups = std::vector<std::pair<BackupOrder, std::filesystem::path>>;

// The order of a backup's name; nothing for other names.
std::optional<BackupOrder> backupOrder(const std::string& name, const std::string& prefix,
                                       const std::string& extension) {
    constexpr size_t kStampSize = 15;  // YYYYMMDD-HHMMSS
    if (name.size() < prefix.size() + kStampSize + extension.size() || name.rfind(prefix, 0) != 0 ||
        !name.ends_with(extension))
        return std::nullopt;
    const std::string stamp = name.substr(prefix.size(), kStampSize);
    for (size_t i = 0; i < kStampSize; ++i)
        if (i == 8 ? stamp[i] != '-' : (stamp[i] < '0' || stamp[i] > '9')) return std::nullopt;
    const std::string rest =
        name.substr(prefix.size() + kStampSize, name.size() - prefix.size() - kStampSize - extension.size());
    if (rest.empty()) return std::make_pair(stamp, 1L);
    if (rest.size() < 2 || rest.size() > 1 + std::to_string(kMaxNumber).size() || rest[0] != '-' ||
        !std::all_of(rest.begin() + 1, rest.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::make_pair(stamp, std::stol(rest.substr(1)));
}

// The backups of one receiver and kind in the folder, oldest first.
Backups listBackups(const std::string& folder, const std::string& prefix, const std::string& extension) {
    Backups backups;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const auto order = backupOrder(entry.path().filename().string(), prefix, extension);
        if (order && entry.is_regular_file(error)) backups.emplace_back(*order, entry.path());
    }
    std::sort(backups.begin(), backups.end());
    return backups;
}

// Removes the oldest backups beyond kBackupsKept, never the one named `justWritten`.
void pruneBackups(const Backups& backups, const std::string& justWritten) {
    size_t excess = backups.size() > kBackupsKept ? backups.size() - kBackupsKept : 0;
    for (const auto& [order, path] : backups) {
        if (excess == 0) break;
        if (path.filename() == justWritten) continue;
        std::error_code error;
        std::filesystem::remove(path, error);
        --excess;
    }
}

}  // namespace

std::string dottedAddress(uint32_t receiver) {
    in_addr address{htonl(receiver)};
    char text[INET_ADDRSTRLEN] = {};
    return inet_ntop(AF_INET, &address, text, sizeof text) != nullptr ? text : "";
}

std::string defaultBackupFolder() {
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
        data = xdg;
    } else {
        const std::string home = homeFolder();
        if (home.empty()) return {};
        data = home + "/.local/share";
    }
    return data + "/TovuChanEditor/backups";
}

bool makeFolders(const std::string& path) {
    if (path.empty()) return false;
    for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (end == std::string::npos) break;
    }
    return isFolder(path);
}

std::string writeBackup(const std::string& folder, uint32_t receiver, BackupKind kind,
                        const std::function<bool(DbFile&)>& writeContent) {
    if (!makeFolders(folder)) return {};
    const std::string prefix = dottedAddress(receiver) + "-";
    const std::string extension = extensionOf(kind);
    const std::string stamp = timeStamp();
    // A further backup in the same second is numbered after the last one, never in a gap that
    // pruning left, so names keep the order in which the backups were taken. The name is claimed
    // by creating it empty, so that two backups (another program's included) never share it;
    // the safe save then replaces it.
    long number = 1;
    for (const auto& [order, path] : listBackups(folder, prefix, extension))
        if (order.first == stamp) number = std::max(number, order.second + 1);
    std::string name;
    for (;; ++number) {
        name = prefix + stamp;
        if (number > 1) name += '-' + std::to_string(number);
        name += extension;
        const int fd = open((folder + "/" + name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            close(fd);
            break;
        }
        if (errno != EEXIST || number >= kMaxNumber) return {};
    }
    const std::string path = folder + "/" + name;
    if (saveFileSafely(path, writeContent) != SaveResult::Saved) {
        unlink(path.c_str());
        return {};
    }
    pruneBackups(listBackups(folder, prefix, extension), name);
    return path;
}

}  // namespace tovu
