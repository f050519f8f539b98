#include "enigma/FileHelpers.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstring>

namespace tovu {
namespace {

void skipByteOrderMark(FILE* file) {
    unsigned char start[3];
    const size_t got = std::fread(start, 1, sizeof start, file);
    if (got == 3 && start[0] == 0xEF && start[1] == 0xBB && start[2] == 0xBF) return;
    std::clearerr(file);
    std::fseek(file, 0, SEEK_SET);
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (asciiLower(*a) != asciiLower(*b)) return false;
    return *a == *b;
}

// Settings files are read in large pieces.
constexpr size_t kStreamBufferSize = size_t{1} << 16;

// Opens a stdio stream on a regular file only: a folder, FIFO or device of that name counts as a
// file that does not open, as on the receiver's own system. The file is opened without waiting
// (O_NONBLOCK), so a FIFO without a writer cannot block, and checked before anything is read.
FILE* openRegularFile(const char* path, const char* mode) {
    int flags = 0;
    switch (mode[0]) {
        case 'r': flags = O_RDONLY; break;
        case 'w': flags = O_WRONLY | O_CREAT | O_TRUNC; break;
        case 'a': flags = O_WRONLY | O_CREAT | O_APPEND; break;
        default: return nullptr;
    }
    if (std::strchr(mode, '+') != nullptr) flags = (flags & ~O_ACCMODE) | O_RDWR;
    const int fd = open(path, flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    struct stat info;
    FILE* file = nullptr;
    const int status = fcntl(fd, F_GETFL);
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && status != -1 &&
        fcntl(fd, F_SETFL, status & ~O_NONBLOCK) == 0)
        file = fdopen(fd, mode);
    if (file == nullptr) close(fd);
    return file;
}

bool isRegularFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

FILE* FileOpen(const char* path, const char* mode) {
    if (path == nullptr) {
        std::printf("file path is NULL\n");
        return nullptr;
    }
    FILE* file = openRegularFile(path, mode);
    if (file == nullptr) {
        std::printf("file open failed: PATH %s MODE %s\n", path, mode);
        return nullptr;
    }
    if (mode[0] == 'r') {
        (void)std::setvbuf(file, nullptr, _IOFBF, kStreamBufferSize);
        skipByteOrderMark(file);
    }
    return file;
}

int FileClose(FILE* file) {
    if (file == nullptr) return 0;
    if (std::fclose(file) != 0) {
        std::printf("file close failed\n");
        return -1;
    }
    return 0;
}

int ReadLineUnpadded(FILE* file, char* out, int outSize) {
    // A buffer that holds any piece takes it directly; a smaller one gets it through the work buffer.
    char work[kReadLineBufferSize];
    char* piece = outSize > kLinePieceMax ? out : work;
    if (fgets_unlocked(piece, kLinePieceMax + 1, file) == nullptr) return -1;
    size_t length = std::strlen(piece);
    if (length > 0 && piece[length - 1] == '\n') piece[--length] = '\0';
    if (length > 0 && piece[length - 1] == '\r') piece[--length] = '\0';
    if (outSize <= 0 || static_cast<size_t>(outSize) <= length) {
        std::printf("string buffer small\n");
        return -1;
    }
    if (piece != out) std::memcpy(out, work, length + 1);
    if (length + 1 < static_cast<size_t>(outSize)) out[length + 1] = '\0';
    return 0;
}

int ReadLine(FILE* file, char* out, int outSize) {
    if (ReadLineUnpadded(file, out, outSize) != 0) return -1;
    const size_t length = std::strlen(out);
    std::memset(out + length, 0, static_cast<size_t>(outSize) - length);
    return 0;
}

std::string FolderFilePath(const char* folder, const char* name) {
    const std::string exact = std::string(folder) + "/" + name;
    if (isRegularFile(exact)) return exact;
    DIR* dir = opendir(folder);
    if (dir == nullptr) return exact;
    std::string best;
    while (const dirent* entry = readdir(dir)) {
        if (!equalIgnoringAsciiCase(entry->d_name, name)) continue;
        if (!isRegularFile(std::string(folder) + "/" + entry->d_name)) continue;
        if (best.empty() || std::strcmp(entry->d_name, best.c_str()) < 0) best = entry->d_name;
    }
    closedir(dir);
    return best.empty() ? exact : std::string(folder) + "/" + best;
}

FILE* OpenFolderFile(const char* folder, const char* name, std::string& pathUsed) {
    pathUsed = FolderFilePath(folder, name);
    return FileOpen(pathUsed.c_str(), "rb");
}

}  // namespace tovu
