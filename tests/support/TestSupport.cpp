#include "support/TestSupport.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace tovu::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tovu-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ec);
    std::filesystem::remove_all(path_, ec);
}

std::vector<uint8_t> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool FailingDbFile::write(const void* buffer, size_t size) {
    if (size > budget_) {
        (void)MemoryDbFile::write(buffer, budget_);
        budget_ = 0;
        return false;
    }
    budget_ -= size;
    return MemoryDbFile::write(buffer, size);
}

FileSizeLimit::FileSizeLimit(uint64_t bytes) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &savedAction_);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    savedCurrent_ = limit.rlim_cur;
    limit.rlim_cur = bytes;
    active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = savedCurrent_;
    setrlimit(RLIMIT_FSIZE, &limit);
    sigaction(SIGXFSZ, &savedAction_, nullptr);
}

std::filesystem::path sharedCorpus() {
    std::error_code ec;
    for (auto dir = std::filesystem::path(TOVU_SOURCE_DIR); !dir.empty(); dir = dir.parent_path()) {
        const auto candidate = dir / ".." / "shared" / "corpus";
        if (std::filesystem::is_directory(candidate, ec)) return std::filesystem::canonical(candidate, ec);
        if (dir == dir.parent_path()) break;
    }
    return {};
}

CommandResult runCommand(const std::string& commandLine) {
    CommandResult result;
    FILE* pipe = popen(commandLine.c_str(), "r");
    if (pipe == nullptr) return result;
    std::array<char, 4096> chunk;
    size_t got;
    while ((got = fread(chunk.data(), 1, chunk.size(), pipe)) > 0) result.out.append(chunk.data(), got);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace tovu::test
