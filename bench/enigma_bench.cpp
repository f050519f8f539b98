// Importing a large synthetic satellite settings folder: 3000 transponders, 20000 services,
// 40 TV bouquets of 300 entries and a lock list. Target: under 100 ms for the whole import.
#include "db/DbImage.h"
#include "enigma/EnigmaImport.h"
#include "enigma/QuietDiagnostics.h"
#include "enigma/SettingsParser.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kTransponders = 3000;
constexpr int kServices = 20000;
constexpr int kBouquets = 40;
constexpr int kBouquetEntries = 300;
constexpr int kOrbitals[] = {192, 130, 282, -50};

struct ServiceKey {
    unsigned sid, ts, on, ns;
};

class SyntheticFolder {
public:
    SyntheticFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "enigma-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        path_ = pattern;
        generate();
    }
    ~SyntheticFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

private:
    void write(const std::string& name, const std::string& text) {
        FILE* f = std::fopen((path_ + "/" + name).c_str(), "wb");
        if (f == nullptr) std::abort();
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }

    void generate() {
        std::mt19937 random(1234);
        char line[256];
        std::string lamedb = "eDVB services /4/\ntransponders\n";
        std::vector<ServiceKey> transponders;
        for (int t = 0; t < kTransponders; ++t) {
            const int orbital = kOrbitals[t % 4];
            const unsigned ns = static_cast<unsigned>(orbital < 0 ? 3600 + orbital : orbital) << 16;
            const unsigned ts = 1 + static_cast<unsigned>(t / 4);
            const unsigned on = 1 + static_cast<unsigned>(t % 7);
            const int kHz = 10700000 + static_cast<int>(random() % 2050) * 1000 + (t % 50 == 0 ? 500 : 0);
            const int symbols = 22000000 + (t % 3) * 5500000;
            std::snprintf(line, sizeof line, "%08x:%04x:%04x\n\ts %d:%d:%d:2:%d:2:0\n/\n", ns, ts, on, kHz,
                          symbols, t % 2, orbital);
            lamedb += line;
            transponders.push_back({0, ts, on, ns});
        }
        lamedb += "end\nservices\n";
        for (int s = 0; s < kServices; ++s) {
            ServiceKey key = transponders[static_cast<size_t>(s % kTransponders)];
            key.sid = 0x100 + static_cast<unsigned>(s / kTransponders);
            const int type = s % 10 == 0 ? 2 : s % 10 == 1 ? 25 : 1;
            std::snprintf(line, sizeof line,
                          "%04x:%08x:%04x:%04x:%d:0\n%s %d \xE4\xB8\xAD\xE6\x96\x87\np:Provider %d\n",
                          key.sid, key.ns, key.ts, key.on, type, type == 2 ? "Radio" : "Channel", s, s % 17);
            lamedb += line;
            services_.push_back(key);
        }
        lamedb += "end\n";
        write("lamedb", lamedb);

        std::string blacklist;
        for (int i = 0; i < 100; ++i) {
            const ServiceKey& k = services_[random() % services_.size()];
            std::snprintf(line, sizeof line, "1:0:1:%X:%X:%X:%X:0:0:0:\n", k.sid, k.ts, k.on, k.ns);
            blacklist += line;
        }
        write("blacklist", blacklist);

        std::string list = "#NAME User - bouquets (TV)\n";
        for (int b = 0; b < kBouquets; ++b) {
            std::snprintf(line, sizeof line, "userbouquet.b%02d.tv", b);
            const std::string file = line;
            list += "#SERVICE 1:7:1:0:0:0:0:0:0:0:FROM BOUQUET \"" + file + "\" ORDER BY bouquet\n";
            std::snprintf(line, sizeof line, "#NAME Bouquet %d\n", b);
            std::string bouquet = line;
            for (int e = 0; e < kBouquetEntries; ++e) {
                const ServiceKey& k = services_[random() % services_.size()];
                std::snprintf(line, sizeof line, "#SERVICE 1:0:1:%X:%X:%X:%X:0:0:0:\n", k.sid, k.ts, k.on,
                              k.ns);
                bouquet += line;
            }
            write(file, bouquet);
        }
        write("bouquets.tv", list);
    }

    std::string path_;
    std::vector<ServiceKey> services_;
};

void BM_ImportSatelliteFolder(benchmark::State& state) {
    static SyntheticFolder folder;
    auto image = std::make_unique<tovu::ChannelDbImage>();
    {
        tovu::QuietDiagnostics quiet;
        for (auto _ : state) {
            tovu::ImportIntoImage(folder.path().c_str(), *image);
            benchmark::DoNotOptimize(image->bytes.data());
        }
    }
    state.counters["channels"] = tovu::readLe32(image->bytes.data() + tovu::kChannelCountOffset);
}
BENCHMARK(BM_ImportSatelliteFolder)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
