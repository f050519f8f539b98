#include "enigma/FileHelpers.h"

#include <dirent.h>
#include <sys/stat.h>
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
    // A folder (or device) of the same name is no settings file: it does not open, as on the
    // receiver's own system.
    FILE* file = std::fopen(path, mode);
    struct stat info;
    if (file != nullptr && (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode))) {
        std::fclose(file);
        file = nullptr;
    }
    if (file == nullptr) {
        std::printf("file open failed: PATH %s MODE %s\n", path, mode);
        return nullptr;
    }
    if (mode[0] == 'r') skipByteOrderMark(file);
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

int ReadLine(FILE* file, char* out, int outSize) {
    char work[kReadLineBufferSize];
    std::memset(work, 0, sizeof work);
    if (std::fgets(work, kLinePieceMax + 1, file) == nullptr) return -1;
    size_t length = std::strlen(work);
    if (length > 0 && work[length - 1] == '\n') work[--length] = '\0';
    if (length > 0 && work[length - 1] == '\r') work[--length] = '\0';
    if (outSize <= 0 || static_cast<size_t>(outSize) <= length) {
        std::printf("string buffer small\n");
        return -1;
    }
    std::memset(out, 0, static_cast<size_t>(outSize));
    std::memcpy(out, work, length);
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
