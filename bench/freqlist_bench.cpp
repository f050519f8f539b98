// Reading a provider file with 3000 transponders into the frequency list (target: under 10 ms), and
// hostile shapes, deep nesting and one element with very many attributes, in time linear in their
// size.
#include "freqlist/ProviderFreqList.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string writeFile(const std::string& xml) {
    char path[] = "/tmp/tovu-freqlist-bench-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) std::abort();
    if (write(fd, xml.data(), xml.size()) != static_cast<ssize_t>(xml.size())) std::abort();
    close(fd);
    return path;
}

// 100 cables of 30 transponders, written like a real provider file.
std::string writeProviderFile() {
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
    return writeFile(xml);
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

void loadShape(benchmark::State& state, const std::string& xml) {
    const std::string path = writeFile(xml);
    std::vector<uint8_t> list(tovu::kProviderFreqListSize);
    for (auto _ : state) {
        tovu::loadCableXml(path, list.data());
        benchmark::DoNotOptimize(list.data());
    }
    if (tovu::freqListTransponderCount(list.data()) != 1) state.SkipWithError("expected 1 transponder");
    state.SetComplexityN(state.range(0));
    unlink(path.c_str());
}

// A transponder, then range(0) elements nested in each other, never closed.
void BM_DeepNesting(benchmark::State& state) {
    std::string xml = "<cables><cable name=\"deep\"><transponder frequency=\"474000000\"/>";
    for (int64_t i = 0; i < state.range(0); ++i) xml += "<a>";
    loadShape(state, xml);
}
BENCHMARK(BM_DeepNesting)
    ->DenseRange(25000, 100000, 25000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

// One transponder with range(0) attributes before its frequency.
void BM_ManyAttributes(benchmark::State& state) {
    std::string xml = "<cables><cable name=\"wide\"><transponder";
    for (int64_t i = 0; i < state.range(0); ++i) xml += " a" + std::to_string(i) + "=\"1\"";
    loadShape(state, xml + " frequency=\"474000000\"/></cable></cables>");
}
BENCHMARK(BM_ManyAttributes)
    ->DenseRange(12500, 50000, 12500)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
