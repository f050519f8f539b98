#include "db/DbStore.h"

#include "db/DbFileFormat.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace tovu {
namespace {

// Resolves a symbolic link so that saving replaces the file it points to, not the link.
std::string resolveTarget(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) != nullptr) return resolved;
    }
    return path;
}

bool copyInto(const std::string& source, PosixDbFile& target) {
    PosixDbFile in;
    if (!in.open(source, PosixDbFile::Mode::ReadOnly)) return false;
    std::vector<uint8_t> chunk(0x10000);
    for (;;) {
        const int64_t got = in.read(chunk.data(), chunk.size());
        if (got < 0) return false;
        if (got == 0) return true;
        if (!target.write(chunk.data(), static_cast<size_t>(got))) return false;
    }
}

mode_t creationMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

LoadResult loadDbFromPath(ChannelDbImage& image, const std::string& path) {
    PosixDbFile file;
    if (!file.open(path, PosixDbFile::Mode::ReadOnly)) return LoadResult::OpenFailed;
    if (!validateDbFile(file)) return LoadResult::Invalid;
    if (readDbFile(image, file) != 1) return LoadResult::Invalid;
    return LoadResult::Loaded;
}

SaveResult saveFileSafely(const std::string& path, const std::function<bool(DbFile&)>& writeContent) {
    const std::string target = resolveTarget(path);
    struct stat st {};
    const bool exists = stat(target.c_str(), &st) == 0;
    if (exists) {
        // The target must be a regular file that could be opened for reading and writing.
        if (!S_ISREG(st.st_mode) || access(target.c_str(), R_OK | W_OK) != 0) return SaveResult::OpenFailed;
    } else if (errno != ENOENT) {
        return SaveResult::OpenFailed;
    }

    std::string tempPath = target + ".XXXXXX";
    const int fd = mkstemp(tempPath.data());
    if (fd < 0) return SaveResult::OpenFailed;  // the folder does not let us create the file
    PosixDbFile temp;
    temp.adopt(fd);

    bool ok = !exists || copyInto(target, temp);
    ok = ok && writeContent(temp) && temp.sync();
    if (ok) {
        if (exists) {
            ok = fchmod(fd, st.st_mode & 07777) == 0;
            if (fchown(fd, st.st_uid, st.st_gid) != 0) {
                // Keeping the owner needs privileges we may lack; the content is what matters.
            }
        } else {
            ok = fchmod(fd, creationMode()) == 0;
        }
    }
    ok = temp.close() && ok;
    ok = ok && rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(tempPath.c_str());
        return SaveResult::WriteFailed;
    }
    return SaveResult::Saved;
}

SaveResult saveDbToPath(const ChannelDbImage& image, const std::string& path) {
    return saveFileSafely(path, [&image](DbFile& file) { return writeDbFile(image, file) == 1; });
}

}  // namespace tovu
