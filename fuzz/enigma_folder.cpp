// Fuzz target: a whole settings folder made by the fuzzer. The input is cut at lines of five
// '#' into the folder's files: lamedb (lamedb5 when it begins like one), blacklist, bouquets.tv,
// bouquets.radio, then bouquet files userbouquet.f0.tv, userbouquet.F1.tv, userbouquet.f2.tv, ...
// A piece left out means the file is absent.
#include "db/DbImage.h"
#include "enigma/DmPool.h"
#include "enigma/EnigmaImport.h"
#include "enigma/QuietDiagnostics.h"
#include "enigma/SettingsParser.h"

#include <fcntl.h>
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kNames = {"lamedb",  // or lamedb5
                                         "blacklist",
                                         "bouquets.tv",
                                         "bouquets.radio",
                                         "userbouquet.f0.tv",
                                         "userbouquet.F1.tv",
                                         "userbouquet.f2.tv",
                                         "userbouquet.f3.tv"};

std::string folderPath;

void removeFolder() {
    for (const std::string& name : kNames) unlink((folderPath + "/" + name).c_str());
    unlink((folderPath + "/lamedb5").c_str());
    rmdir(folderPath.c_str());
}

const std::string& folder() {
    if (folderPath.empty()) {
        // A memory file system when there is one: the folder is rewritten for every input.
        std::string pattern = "/dev/shm/enigma-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            pattern = "/tmp/enigma-fuzz-XXXXXX";
            if (mkdtemp(pattern.data()) == nullptr) std::abort();
        }
        folderPath = pattern;
        std::atexit(removeFolder);
    }
    return folderPath;
}

void writeFile(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> pieces;
    const std::string separator = "#####\n";
    for (size_t start = 0;;) {
        const size_t at = input.find(separator, start);
        pieces.push_back(input.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) break;
        start = at + separator.size();
    }
    // A first piece that begins like a lamedb5 file is one.
    const bool lamedb5 = pieces[0].rfind("eDVB services /5/", 0) == 0;
    unlink((folder() + (lamedb5 ? "/lamedb" : "/lamedb5")).c_str());
    for (size_t i = 0; i < kNames.size(); ++i) {
        const std::string path = folder() + "/" + kNames[i] + (i == 0 && lamedb5 ? "5" : "");
        if (i < pieces.size())
            writeFile(path, pieces[i]);
        else
            unlink(path.c_str());
    }
    static tovu::ChannelDbImage image;
    {
        tovu::QuietDiagnostics quiet;
        tovu::ImportIntoImage(folder().c_str(), image);
    }
    if (tovu::liveBlockCount != 0) __builtin_trap();
    const uint32_t count = tovu::readLe32(image.bytes.data() + tovu::kChannelCountOffset);
    if (count > tovu::kMaxChannels) __builtin_trap();
    for (size_t k = 0; k < tovu::kDefaultFavCount; ++k) {
        const uint8_t* list = image.bytes.data() + tovu::kDefaultFavOffset + tovu::kFavListSize * k;
        const uint32_t n = tovu::readLe32(list + tovu::kListCountField);
        if (n > tovu::kFavCapacity) __builtin_trap();
        for (uint32_t i = 0; i < n; ++i)
            if (tovu::readLe16(list + tovu::kListEntriesField + 2 * i) >= count) __builtin_trap();
    }
    return 0;
}
