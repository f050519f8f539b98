// Reading a provider file with 3000 transponders into the frequency list (target: under 10 ms).
#include "freqlist/ProviderFreqList.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// 100 cables of 30 transponders, written like a real provider file.
std::string writeProviderFile() {
    char path[] = "/tmp/tovu-freqlist-bench-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) std::abort();
    std::string xml = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<cables>\n";
    for (int c = 0; c < 100; ++c) {
        xml += "\t<cable name=\"Provider " + std::to_string(c) + " Region\" satfeed=\"false\" flags=\"9\">\n";
        for (int t = 0; t < 30; ++t)
            xml += "\t\t<transponder frequency=\"" + std::to_string(114000000 + 8000000 * t) +
                   "\" symbol_rate=\"6900000\" modulation=\"" + std::to_string(3 + 2 * (t % 2)) +
                   "\" fec_inner=\"0\" annex=\"1\"/>\n";
        xml += "\t</cable>\n";
    }
    xml += "</cables>\n";
    if (write(fd, xml.data(), xml.size()) != static_cast<ssize_t>(xml.size())) std::abort();
    close(fd);
    return path;
}

void BM_LoadCableXml3000(benchmark::State& state) {
    const std::string path = writeProviderFile();
    std::vector<uint8_t> list(tovu::kProviderFreqListSize);
    for (auto _ : state) {
        tovu::loadCableXml(path, list.data());
        benchmark::DoNotOptimize(list.data());
    }
    if (tovu::freqListTransponderCount(list.data()) != 3000)
        state.SkipWithError("expected 3000 transponders");
    unlink(path.c_str());
}
BENCHMARK(BM_LoadCableXml3000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
