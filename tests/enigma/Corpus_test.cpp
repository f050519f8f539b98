// The real settings folders of the shared corpus, imported end to end and checked against an
// independent reading of their files.
#include "EnigmaTestSupport.h"
#include "db/ChannelRecord.h"
#include "db/FavLists.h"
#include "db/NameCodec.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
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

using Key = std::tuple<uint32_t, uint16_t, uint16_t, uint16_t>;  // namespace, ts, onid, sid

struct Expected {
    uint32_t kHz = 0, ks = 0, qam = 0, progType = 0;
};

// The services a settings file holds that the receiver can take: television (1, 4, 25) and radio (2)
// services whose transponder is listed, with the tuning data of their transponder. A file may
// list one service twice.
std::multimap<Key, Expected> readSettings(const std::filesystem::path& file) {
    const std::vector<std::string> lines = fileLines(file);
    size_t i = 0;
    while (i < lines.size() && lines[i].rfind("transponders", 0) != 0) ++i;
    std::map<std::tuple<unsigned, unsigned, unsigned>, Expected> transponders;
    for (++i; i + 2 < lines.size() && lines[i].rfind("end", 0) != 0; i += 3) {
        unsigned ns = 0, ts = 0, on = 0;
        char kind = 0;
        long kHz = 0, sps = 0, third = 0, modulation = 0;
        std::sscanf(lines[i].c_str(), "%x:%x:%x", &ns, &ts, &on);
        std::sscanf(lines[i + 1].c_str(), " %c %ld:%ld:%ld:%ld", &kind, &kHz, &sps, &third, &modulation);
        static const uint32_t kQam[] = {0, 0, 1, 2, 3, 4};
        Expected e;
        if (kind == 's' || kind == 'c')
            e = {uint32_t((kHz + 500) / 1000 * 1000), uint32_t((sps + 500) / 1000),
                 kind == 'c' ? kQam[modulation % 6] : 0u, 0};
        transponders.emplace(std::make_tuple(ns, ts, on), e);  // the first of equal keys counts
    }
    while (i < lines.size() && lines[i].rfind("services", 0) != 0) ++i;
    std::multimap<Key, Expected> services;
    for (++i; i + 2 < lines.size() && lines[i].rfind("end", 0) != 0; i += 3) {
        unsigned sid = 0, ns = 0, ts = 0, on = 0;
        int type = 0;
        std::sscanf(lines[i].c_str(), "%x:%x:%x:%x:%d", &sid, &ns, &ts, &on, &type);
        const auto t = transponders.find(std::make_tuple(ns, ts, on));
        if (t == transponders.end() || (type != 1 && type != 2 && type != 4 && type != 25)) continue;
        Expected e = t->second;
        e.progType = type == 2 ? 2 : 1;
        services.emplace(Key{ns, uint16_t(ts), uint16_t(on), uint16_t(sid)}, e);
    }
    return services;
}

// The bouquet files a list names, in order (only TV bouquets count).
std::vector<std::string> bouquetFiles(const std::filesystem::path& list) {
    std::vector<std::string> files;
    for (std::string line : fileLines(list)) {
        for (char& c : line) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (line.find("#service") == std::string::npos) continue;
        if (line.size() >= 3 && line.compare(line.size() - 3, 3, ".tv") == 0) {
            files.push_back(line.substr(line.rfind('/') + 1));
        } else if (const size_t q = line.find('"'); q != std::string::npos) {
            const size_t end = line.find(".tv\"", q);
            if (end != std::string::npos) files.push_back(line.substr(q + 1, end + 3 - q - 1));
        }
    }
    return files;
}

struct Bouquet {
    std::string name;
    std::vector<Key> refs;
};

Bouquet readBouquet(const std::filesystem::path& file) {
    Bouquet b;
    for (const std::string& line : fileLines(file)) {
        if (line.rfind("#NAME ", 0) == 0) b.name = line.substr(6);
        unsigned f[7];
        if (line.rfind("#SERVICE", 0) == 0 &&
            std::sscanf(line.c_str() + 8, "%*[: ]%x:%x:%x:%x:%x:%x:%x", &f[0], &f[1], &f[2], &f[3], &f[4],
                        &f[5], &f[6]) == 7)
            b.refs.push_back(Key{f[6], uint16_t(f[4]), uint16_t(f[5]), uint16_t(f[3])});
    }
    return b;
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
    const std::multimap<Key, Expected> services = readSettings(folder / GetParam().settingsFile);
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
    std::map<std::tuple<uint16_t, uint16_t, uint16_t>, int> indexOf;  // no namespace in a record
    std::vector<uint16_t> tv, radio;
    for (int i = 0; i < n; ++i) {
        ChannelRecord r;
        ASSERT_EQ(getChannel(*image, i, r), 1);
        indexOf.emplace(std::make_tuple(r.serviceId, r.transponderId, r.originalNetworkId), i);
        // A service listed twice may differ in type: some listing must give this record.
        const bool listed = std::any_of(services.begin(), services.end(), [&](const auto& s) {
            const Expected& e = s.second;
            return std::get<1>(s.first) == r.transponderId && std::get<2>(s.first) == r.originalNetworkId &&
                   std::get<3>(s.first) == r.serviceId && r.frequencyKHz == e.kHz && r.symbolRate == e.ks &&
                   r.qam == e.qam && r.flags == (0x7Cu | (e.progType << 21));  // no locks in the corpus
        });
        EXPECT_TRUE(listed) << "record " << i;
        (r.progType() == 2 ? radio : tv).push_back(static_cast<uint16_t>(i));
    }
    if (radio.size() > 300) radio.resize(300);
    const auto items = [&](int id) {
        std::vector<uint16_t> got(1000);
        int count = 1000;
        EXPECT_EQ(getListItems(*image, id, count, got.data()), 1) << id;
        got.resize(static_cast<size_t>(count));
        return got;
    };
    EXPECT_EQ(items(kListTv), tv);
    EXPECT_EQ(items(kListRadio), radio);

    for (size_t b = 0; b < files.size() && b < 21; ++b) {
        const int id = b < 5 ? kListFirstDefault + int(b) : kListFirstUser + int(b) - 5;
        const Bouquet bouquet = readBouquet(folder / files[b]);
        std::vector<uint16_t> expected;
        for (const Key& ref : bouquet.refs) {
            if (!services.count(ref)) continue;
            const auto at =
                indexOf.find(std::make_tuple(std::get<3>(ref), std::get<1>(ref), std::get<2>(ref)));
            if (at != indexOf.end() && expected.size() < 300)
                expected.push_back(static_cast<uint16_t>(at->second));
        }
        EXPECT_EQ(items(id), expected) << files[b];
        uint8_t name[20] = {};
        ASSERT_EQ(getListName(*image, id, name, 20), 1);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(name), strnlen(reinterpret_cast<char*>(name), 20)),
                  utf8ToName(bouquet.name).substr(0, 19));
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, CorpusTest,
                         testing::Values(CorpusRow{"ZiggoCableLamedb", "e2-cable-ziggo-regio9700-nl",
                                                   "lamedb", "bouquets.tv", 8366800522361115868u},
                                         CorpusRow{"SpainSatelliteServices", "e1-dreamboxedit-spain",
                                                   "services", "userbouquets.tv.epl", 2343985141715279399u}),
                         RowName());

}  // namespace
}  // namespace tovu::test
