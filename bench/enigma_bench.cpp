// Importing large synthetic settings folders. Target: at most 0.5 ms of CPU per 1000 services
// ("ms/1000 services" below) for the whole import: reading, sorting, the service dump, the
// bouquets and the image.
//  - SatelliteFolder: 3000 transponders, 20,000 services, 40 TV bouquets of 300 entries.
//  - MixedFolder/13608: shaped like the big folders people share: 13,608 services on 620
//    satellite, cable and terrestrial transponders, 64 TV bouquets of 12 to 300 entries.
//  - MixedFolder/80000: the same mix with 80,000 services on 3600 transponders.
#include "db/DbImage.h"
#include "enigma/EnigmaImport.h"
#include "enigma/QuietDiagnostics.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct Shape {
    int transponders;
    int services;
    int bouquets;
    int minEntries, maxEntries;  // services per bouquet
    bool mixed;                  // satellite, cable and terrestrial; else satellite only
};

struct ServiceKey {
    unsigned sid, ts, on, ns;
};

class SyntheticFolder {
public:
    explicit SyntheticFolder(const Shape& shape) : shape_(shape) {
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

    // One transponder: its key and its data line. Mixed folders hold mostly satellite
    // transponders, every fourth on cable and every ninth terrestrial.
    std::string transponder(int t, ServiceKey& key) {
        static constexpr int kOrbitals[] = {192, 130, 282, -50};
        char line[160];
        const unsigned ts = 1 + static_cast<unsigned>(t);
        if (shape_.mixed && t % 9 == 4) {
            key = {0, ts, 0x22d4, 0xeeee0000};
            std::snprintf(line, sizeof line, "\tt %d:0:5:5:3:2:4:4:2:0:0:0", 474000000 + (t % 40) * 8000000);
        } else if (shape_.mixed && t % 4 == 1) {
            key = {0, ts, 0x3e8, 0xffff0000};
            std::snprintf(line, sizeof line, "\tc %d:6875000:2:%d:0:0:0", 114000 + (t % 100) * 8000,
                          3 + t % 3);
        } else {
            const int orbital = kOrbitals[t % 4];
            key = {0, ts, 1 + static_cast<unsigned>(t % 7),
                   static_cast<unsigned>(orbital < 0 ? 3600 + orbital : orbital) << 16};
            const int kHz = 10700000 + static_cast<int>(random_() % 2050) * 1000 + (t % 50 == 0 ? 500 : 0);
            std::snprintf(line, sizeof line, "\ts %d:%d:%d:2:%d:2:0", kHz, 22000000 + (t % 3) * 5500000,
                          t % 2, orbital);
        }
        return line;
    }

    void generate() {
        char line[256];
        std::string lamedb = "eDVB services /4/\ntransponders\n";
        std::vector<ServiceKey> transponders;
        for (int t = 0; t < shape_.transponders; ++t) {
            ServiceKey key;
            const std::string data = transponder(t, key);
            std::snprintf(line, sizeof line, "%08x:%04x:%04x\n%s\n/\n", key.ns, key.ts, key.on, data.c_str());
            lamedb += line;
            transponders.push_back(key);
        }
        lamedb += "end\nservices\n";
        std::map<unsigned, int> seen;  // services per transponder so far
        for (int s = 0; s < shape_.services; ++s) {
            const size_t t = shape_.mixed ? random_() % transponders.size() : s % transponders.size();
            ServiceKey key = transponders[t];
            key.sid = 0x100 + static_cast<unsigned>(seen[key.ts]++);
            const int type = s % 10 == 0 ? 2 : s % 10 == 1 ? 25 : s % 10 == 2 && shape_.mixed ? 22 : 1;
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
            const ServiceKey& k = services_[random_() % services_.size()];
            std::snprintf(line, sizeof line, "1:0:1:%X:%X:%X:%X:0:0:0:\n", k.sid, k.ts, k.on, k.ns);
            blacklist += line;
        }
        write("blacklist", blacklist);

        std::string list = "#NAME User - bouquets (TV)\n";
        for (int b = 0; b < shape_.bouquets; ++b) {
            std::snprintf(line, sizeof line, "userbouquet.b%02d.tv", b);
            const std::string file = line;
            list += "#SERVICE 1:7:1:0:0:0:0:0:0:0:FROM BOUQUET \"" + file + "\" ORDER BY bouquet\n";
            std::snprintf(line, sizeof line, "#NAME Bouquet %d\n", b);
            std::string bouquet = line;
            const int span = shape_.maxEntries - shape_.minEntries + 1;
            const int entries = shape_.minEntries + static_cast<int>(random_() % static_cast<unsigned>(span));
            for (int e = 0; e < entries; ++e) {
                const ServiceKey& k = services_[random_() % services_.size()];
                std::snprintf(line, sizeof line, "#SERVICE 1:0:1:%X:%X:%X:%X:0:0:0:\n", k.sid, k.ts, k.on,
                              k.ns);
                bouquet += line;
            }
            write(file, bouquet);
        }
        write("bouquets.tv", list);
    }

    Shape shape_;
    std::mt19937 random_{1234};
    std::string path_;
    std::vector<ServiceKey> services_;
};

void importFolder(benchmark::State& state, const SyntheticFolder& folder, int services) {
    auto image = std::make_unique<tovu::ChannelDbImage>();
    {
        tovu::QuietDiagnostics quiet;
        for (auto _ : state) {
            tovu::ImportIntoImage(folder.path().c_str(), *image);
            benchmark::DoNotOptimize(image->bytes.data());
        }
    }
    state.counters["channels"] = tovu::readLe32(image->bytes.data() + tovu::kChannelCountOffset);
    // Time per 1000 services of the folder, in seconds.
    state.counters["per1000"] = benchmark::Counter(
        services / 1000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ImportSatelliteFolder(benchmark::State& state) {
    static const SyntheticFolder folder({3000, 20000, 40, 300, 300, false});
    importFolder(state, folder, 20000);
}
BENCHMARK(BM_ImportSatelliteFolder)->Unit(benchmark::kMillisecond);

void BM_ImportMixedFolder(benchmark::State& state) {
    const int services = static_cast<int>(state.range(0));
    const SyntheticFolder folder({services < 20000 ? 620 : 3600, services, 64, 12, 300, true});
    importFolder(state, folder, services);
}
BENCHMARK(BM_ImportMixedFolder)->Arg(13608)->Arg(80000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
