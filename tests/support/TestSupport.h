// Helpers shared by the test suites.
#pragma once

#include "db/DbFile.h"

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tovu::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::vector<uint8_t> readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// A file in memory whose writes fail once `writeBudget` bytes have been written.
class FailingDbFile final : public MemoryDbFile {
public:
    explicit FailingDbFile(size_t writeBudget, std::vector<uint8_t> bytes = {})
        : MemoryDbFile(std::move(bytes)), budget_(writeBudget) {}
    bool write(const void* buffer, size_t size) override;

private:
    size_t budget_;
};

// While it lives, files of this process cannot grow beyond `bytes` (writes past it fail with
// EFBIG instead of raising SIGXFSZ): a disk that fills up in the middle of a save.
class FileSizeLimit {
public:
    explicit FileSizeLimit(uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return active_; }

private:
    bool active_ = false;
    uint64_t savedCurrent_ = 0;
    struct sigaction savedAction_ {};
};

// The shared corpus of real settings folders and cable lists (beside the project), or an empty
// path when it is absent.
std::filesystem::path sharedCorpus();

// Runs a command line through the shell; gives its exit status and captured standard output.
struct CommandResult {
    int status = -1;
    std::string out;
};
CommandResult runCommand(const std::string& commandLine);

}  // namespace tovu::test
