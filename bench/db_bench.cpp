// Loading, saving and checksumming the database. Targets on a 2-core machine: load under 1 ms,
// save under 2 ms, byteSum at least 4 GB/s.
#include "db/ChannelRecord.h"
#include "db/DbFileFormat.h"
#include "db/DbStore.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

namespace {

using namespace tovu;

std::unique_ptr<ChannelDbImage> fullImage() {
    auto image = std::make_unique<ChannelDbImage>();
    std::mt19937 rng(1);
    for (int i = 0; i < 1000; ++i) {
        ChannelRecord r;
        r.serviceId = static_cast<uint16_t>(i);
        r.transponderId = static_cast<uint16_t>(i / 10);
        r.flags = (1 + i % 2) << kProgTypeShift;
        r.frequencyKHz = 474000 + 8000 * (i / 10);
        for (auto& c : r.name) c = static_cast<uint8_t>('A' + rng() % 26);
        (void)addChannel(*image, r);
    }
    return image;
}

std::string tempPath(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir ? dir : "/tmp") + "/" + name + std::to_string(getpid()) + ".kdat";
}

void BM_LoadDbFile(benchmark::State& state) {
    const std::string path = tempPath("bench-load-");
    if (saveDbToPath(*fullImage(), path) != SaveResult::Saved) state.SkipWithError("cannot write the file");
    auto image = std::make_unique<ChannelDbImage>();
    for (auto _ : state) {
        if (loadDbFromPath(*image, path) != LoadResult::Loaded) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image->bytes.data());
    }
    unlink(path.c_str());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kDbFileSize));
}
BENCHMARK(BM_LoadDbFile)->Unit(benchmark::kMicrosecond);

void BM_SaveDbFile(benchmark::State& state) {
    const std::string path = tempPath("bench-save-");
    auto image = fullImage();
    PosixDbFile file;
    if (!file.open(path, PosixDbFile::Mode::ReadWriteCreate)) state.SkipWithError("cannot open the file");
    for (auto _ : state) {
        if (writeDbFile(*image, file) != 1) state.SkipWithError("write failed");
    }
    file.close();
    unlink(path.c_str());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kDbFileSize));
}
BENCHMARK(BM_SaveDbFile)->Unit(benchmark::kMicrosecond);

void BM_ByteSumBlock(benchmark::State& state) {
    std::vector<uint8_t> block(kBlockDataSize);
    std::mt19937 rng(2);
    for (auto& b : block) b = static_cast<uint8_t>(rng());
    for (auto _ : state) benchmark::DoNotOptimize(byteSum(block.data(), block.size()));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(block.size()));
}
BENCHMARK(BM_ByteSumBlock);

}  // namespace

BENCHMARK_MAIN();
