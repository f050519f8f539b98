#include "db/DbStore.h"

#include "db/DbFileFormat.h"
#include "db/TemporaryFile.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <new>
#include <vector>

namespace tovu {
namespace {

bool copyAll(PosixDbFile& from, DbFile& to) {
    if (!from.seek(0)) return false;
    std::vector<uint8_t> chunk(0x10000);
    for (;;) {
        const int64_t got = from.read(chunk.data(), chunk.size());
        if (got <= 0) return got == 0;
        if (!to.write(chunk.data(), static_cast<size_t>(got))) return false;
    }
}

// The permission bits of a new file: 0666 less the process's umask. The umask is read from
// /proc, which leaves it untouched, because setting it to read it would race with saves on other
// threads (the push to many receivers saves its backups side by side).
mode_t creationMode() {
    unsigned mask = 0;
    bool found = false;
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (!found && std::fgets(line, sizeof line, status) != nullptr)
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
    }
    if (!found) {
        mask = umask(0);
        umask(static_cast<mode_t>(mask));
    }
    return 0666 & ~static_cast<mode_t>(mask);
}

// Writes into the target itself. Its old bytes are kept in memory first and put back when the
// write fails.
SaveResult saveInPlace(PosixDbFile& target, bool keepContent,
                       const std::function<bool(DbFile&)>& writeContent) {
    MemoryDbFile old;
    try {
        if (!copyAll(target, old)) return SaveResult::OpenFailed;
    } catch (const std::bad_alloc&) {
        return SaveResult::OpenFailed;
    }
    const int fd = target.descriptor();
    if ((keepContent || ftruncate(fd, 0) == 0) && writeContent(target) && target.sync())
        return SaveResult::Saved;
    const auto& bytes = old.bytes();
    (void)(target.seek(0) && target.write(bytes.data(), bytes.size()) &&
           ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && target.sync());
    return SaveResult::WriteFailed;
}

// keepContent: the new content starts as a copy of the existing file, else empty.
SaveResult saveFile(const std::string& path, bool keepContent,
                    const std::function<bool(DbFile&)>& writeContent) {
    const std::string target = followLinks(path);
    if (target.empty()) return SaveResult::OpenFailed;
    // An existing target must be a regular file that could be opened for reading and writing.
    PosixDbFile current;
    const bool exists = current.open(target, PosixDbFile::Mode::ReadWrite);
    if (!exists && errno != ENOENT) return SaveResult::OpenFailed;
    struct stat st {};
    if (exists && fstat(current.descriptor(), &st) != 0) return SaveResult::OpenFailed;
    removeStaleTemporaries(target);
    // Only a file written in place stays the file its other names show.
    if (exists && st.st_nlink > 1) return saveInPlace(current, keepContent, writeContent);
    TemporaryFile temp;
    if (!temp.create(target)) {
        // A folder we may not write to, holding a file we may write.
        if (exists && (errno == EACCES || errno == EPERM))
            return saveInPlace(current, keepContent, writeContent);
        return SaveResult::OpenFailed;
    }
    PosixDbFile& file = temp.file();
    bool ok = !exists || !keepContent || copyAll(current, file);
    ok = ok && writeContent(file) && file.sync();
    ok = ok && fchmod(file.descriptor(), exists ? (st.st_mode & 07777) : creationMode()) == 0;
    if (ok && exists && fchown(file.descriptor(), st.st_uid, st.st_gid) != 0) {
        // Keeping the owner needs privileges we may lack; the content is what matters.
    }
    return ok && temp.commit() ? SaveResult::Saved : SaveResult::WriteFailed;
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
    return saveFile(path, true, writeContent);
}

SaveResult saveBytesToPath(const std::string& path, const std::vector<uint8_t>& bytes) {
    return saveFile(path, false, [&bytes](DbFile& file) {
        return file.seek(0) && file.write(bytes.data(), bytes.size());
    });
}

SaveResult saveDbToPath(const ChannelDbImage& image, const std::string& path) {
    return saveFileSafely(path, [&image](DbFile& file) { return writeDbFile(image, file) == 1; });
}

}  // namespace tovu
