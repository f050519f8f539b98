// The real settings folders of the shared corpus, imported end to end and checked against an
// independent reading of their files.
#include "EnigmaTestSupport.h"
#include "db/ChannelRecord.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

namespace tovu::test {
namespace {

std::vector<std::string> fileLines(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

using Key = std::tuple<unsigned, unsigned, unsigned, unsigned>;  // namespace, ts, onid, sid

// The line after the one starting with `word`.
size_t after(const std::vector<std::string>& lines, size_t i, const char* word) {
    while (i < lines.size() && lines[i].rfind(word, 0) != 0) ++i;
    return i + 1;
}

// The services of a settings file the receiver takes: television (1, 4, 25) and radio (2) services
// whose transponder is listed. A file may list one service twice.
std::multiset<Key> readSettings(const std::filesystem::path& file) {
    const std::vector<std::string> lines = fileLines(file);
    std::set<Key> transponders;
    size_t i = after(lines, 0, "transponders");
    for (unsigned ns, ts, on; i + 2 < lines.size() && lines[i].rfind("end", 0) != 0; i += 3)
        if (std::sscanf(lines[i].c_str(), "%x:%x:%x", &ns, &ts, &on) == 3)
            transponders.insert({ns, ts, on, 0});
    std::multiset<Key> services;
    for (i = after(lines, i, "services"); i + 2 < lines.size() && lines[i].rfind("end", 0) != 0; i += 3) {
        unsigned sid = 0, ns = 0, ts = 0, on = 0;
        int type = 0;
        std::sscanf(lines[i].c_str(), "%x:%x:%x:%x:%d", &sid, &ns, &ts, &on, &type);
        if (transponders.count({ns, ts, on, 0}) && (type == 1 || type == 2 || type == 4 || type == 25))
            services.insert({ns, ts & 0xFFFF, on & 0xFFFF, sid & 0xFFFF});
    }
    return services;
}

// The TV bouquet files a list names, in order.
std::vector<std::string> bouquetFiles(const std::filesystem::path& list) {
    std::vector<std::string> files;
    for (std::string line : fileLines(list)) {
        for (char& c : line) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (line.find("#service") == std::string::npos) continue;
        if (line.ends_with(".tv")) {
            files.push_back(line.substr(line.rfind('/') + 1));
        } else if (const size_t q = line.find('"'), end = line.find(".tv\"", q); end != std::string::npos) {
            files.push_back(line.substr(q + 1, end + 2 - q));
        }
    }
    return files;
}

struct CorpusRow {
    const char* name;
    const char* folder;
    const char* settingsFile;
    const char* tvList;
    uint64_t outputHash;  // of standard output (the folder's path as "F") and the image: unchanged
};

uint64_t fnv1a(const void* data, size_t size, uint64_t h = 0xcbf29ce484222325ull) {
    for (size_t i = 0; i < size; ++i) h = (h ^ static_cast<const uint8_t*>(data)[i]) * 0x100000001b3ull;
    return h;
}

class CorpusTest : public EnigmaTest, public testing::WithParamInterface<CorpusRow> {};

TEST_P(CorpusTest, ImportGivesWhatTheFilesHold) {
    const auto folder = sharedCorpus() / GetParam().folder;
    if (sharedCorpus().empty() || !std::filesystem::is_directory(folder))
        GTEST_SKIP() << "shared corpus absent";
    const std::multiset<Key> services = readSettings(folder / GetParam().settingsFile);
    const std::vector<std::string> files = bouquetFiles(folder / GetParam().tvList);
    ASSERT_FALSE(files.empty());

    auto image = std::make_unique<ChannelDbImage>();
    const Captured c = capture([&] { ImportIntoImage(folder.string().c_str(), *image); });
    EXPECT_EQ(c.err, "");  // the corpus frequencies are whole megahertz
    std::string out;       // the output with the folder's path as "F"
    for (size_t at = 0, next; at < c.out.size(); at = next + folder.string().size()) {
        next = std::min(c.out.find(folder.string(), at), c.out.size());
        out += c.out.substr(at, next - at) + (next < c.out.size() ? "F" : "");
    }
    EXPECT_EQ(fnv1a(image->bytes.data(), image->bytes.size(), fnv1a(out.data(), out.size())),
              GetParam().outputHash);
    EXPECT_NE(
        c.out.find(format("services      count: %3d\ntv    bouquet count: %3d\nradio bouquet count:   0\n",
                          int(services.size()), int(files.size()))),
        std::string::npos);
    const int n = channelCount(*image);
    ASSERT_EQ(n, std::min<int>(int(services.size()), 1000));
}

INSTANTIATE_TEST_SUITE_P(Folders, CorpusTest,
                         testing::Values(CorpusRow{"ZiggoCableLamedb", "e2-cable-ziggo-regio9700-nl",
                                                   "lamedb", "bouquets.tv", 8366800522361115868u},
                                         CorpusRow{"SpainSatelliteServices", "e1-dreamboxedit-spain",
                                                   "services", "userbouquets.tv.epl", 2343985141715279399u}),
                         RowName());

}  // namespace
}  // namespace tovu::test
