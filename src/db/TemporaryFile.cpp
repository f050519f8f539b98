#include "db/TemporaryFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <ctime>
#include <string_view>

namespace tovu {
namespace {

constexpr std::string_view kMarker = ".tovu-save-";
constexpr size_t kSuffixLength = 6;
constexpr size_t kMaxNameInHidden = 200;  // keeps the hidden name within NAME_MAX
constexpr time_t kStaleSeconds = 3600;
constexpr int kMaxLinkHops = 40;

struct Place {
    std::string folder;
    std::string name;
};

Place placeOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string hiddenPrefix(const std::string& name) {
    std::string prefix(1, '.');
    prefix.append(name, 0, kMaxNameInHidden).append(kMarker);
    return prefix;
}

std::string randomSuffix() {
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[kSuffixLength] = {};
    if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        const auto seed = static_cast<unsigned>(clock()) ^ static_cast<unsigned>(time(nullptr));
        for (size_t i = 0; i < kSuffixLength; ++i) bytes[i] = static_cast<unsigned char>(seed >> (4 * i));
    }
    std::string suffix(kSuffixLength, 'x');
    for (size_t i = 0; i < kSuffixLength; ++i) suffix[i] = kChars[bytes[i] % (sizeof kChars - 1)];
    return suffix;
}

}  // namespace

TemporaryFile::~TemporaryFile() {
    file_.close();
    if (!named_.empty()) unlink(named_.c_str());
}

bool TemporaryFile::create(const std::string& target, bool unnamedAllowed) {
    target_ = target;
    const Place place = placeOf(target);
    // An unnamed file is given its name later through /proc.
    if (unnamedAllowed && access("/proc/self/fd", X_OK) == 0) {
        const int fd = ::open(place.folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd >= 0) {
            file_.adopt(fd);
            return true;
        }
        // Only a file system without unnamed files falls back; a refusing folder refuses both.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
    }
    std::string name = place.folder + "/" + hiddenPrefix(place.name) + "XXXXXX";
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return false;
    named_ = name;
    file_.adopt(fd);
    return true;
}

bool TemporaryFile::commit() {
    if (!file_.isOpen()) return false;
    const Place place = placeOf(target_);
    if (named_.empty()) {
        // A link cannot replace a file, so the complete file gets a hidden name first.
        const std::string self = "/proc/self/fd/" + std::to_string(file_.descriptor());
        for (int attempt = 0; attempt < 100 && named_.empty(); ++attempt) {
            const std::string name = place.folder + "/" + hiddenPrefix(place.name) + randomSuffix();
            if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
                named_ = name;
            else if (errno != EEXIST)
                return false;
        }
        if (named_.empty()) return false;
    }
    if (!file_.close() || rename(named_.c_str(), target_.c_str()) != 0) return false;
    named_.clear();
    // The rename reaches the disk with its folder.
    const int folder = ::open(place.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        (void)fsync(folder);
        ::close(folder);
    }
    return true;
}

void removeStaleTemporaries(const std::string& target) {
    const Place place = placeOf(target);
    const std::string prefix = hiddenPrefix(place.name);
    DIR* folder = opendir(place.folder.c_str());
    if (folder == nullptr) return;
    const time_t now = time(nullptr);
    while (const dirent* entry = readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (name.size() != prefix.size() + kSuffixLength || !name.starts_with(prefix)) continue;
        struct stat st {};
        if (fstatat(dirfd(folder), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_mtime + kStaleSeconds < now)
            (void)unlinkat(dirfd(folder), entry->d_name, 0);
    }
    closedir(folder);
}

std::string followLinks(std::string path) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        char link[PATH_MAX];
        const ssize_t size = readlink(path.c_str(), link, sizeof link);
        if (size < 0) return path;  // not a link (or nothing there): this is the file
        if (static_cast<size_t>(size) == sizeof link) return {};
        const std::string next(link, static_cast<size_t>(size));
        path = next.starts_with('/') ? next : placeOf(path).folder + "/" + next;
    }
    return {};
}

}  // namespace tovu
