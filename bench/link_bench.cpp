// 256 KiB download and upload over loopback against the stb-sim receiver simulator, started as
// a child process on 127.0.30.1 (target: under 20 ms each); and a push with backup and read-back
// to 50 simulators on 127.0.70.1 to 127.0.70.50 with the default jobs (target: under 2 s).
#include "db/DbFileFormat.h"
#include "db/DbStore.h"
#include "link/Backups.h"
#include "link/Push.h"
#include "link/StbLink.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

constexpr uint32_t kBenchReceiver = (127u << 24) | (30u << 8) | 1u;  // 127.0.30.1
constexpr uint32_t kPushReceivers = 50;
constexpr uint32_t kFirstPushReceiver = (127u << 24) | (70u << 8) | 1u;  // 127.0.70.1

class Simulator {
public:
    explicit Simulator(uint32_t receiver = kBenchReceiver) {
        char program[] = TOVU_BINARY_DIR "/bin/stb-sim";
        char listen[] = "--listen";
        std::string address = tovu::dottedAddress(receiver);
        char* argv[] = {program, listen, address.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, program, &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        // Ready once it accepts a connection.
        for (int i = 0; i < 100 && pid_ > 0; ++i) {
            const int s = tovu::StbLink::openConnection(receiver, tovu::kReceiverPort, 100);
            if (s >= 0) {
                tovu::StbLink::closeSocket(s);
                ready_ = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~Simulator() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    bool ready() const { return ready_; }

private:
    pid_t pid_ = -1;
    bool ready_ = false;
};

Simulator& simulator() {
    static Simulator sim;
    return sim;
}

void BM_Download256K(benchmark::State& state) {
    if (!simulator().ready()) return state.SkipWithError("stb-sim did not start");
    std::vector<uint8_t> buffer(tovu::kDbImageLength);
    for (auto _ : state) {
        if (tovu::StbLink::transfer(kBenchReceiver, tovu::kFromReceiver, buffer.data(), tovu::kDbImageAddress,
                                    tovu::kDbImageLength) != 1)
            return state.SkipWithError("download failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * tovu::kDbImageLength);
}
BENCHMARK(BM_Download256K)->Unit(benchmark::kMillisecond);

void BM_Upload256K(benchmark::State& state) {
    if (!simulator().ready()) return state.SkipWithError("stb-sim did not start");
    std::vector<uint8_t> buffer(tovu::kDbImageLength);
    for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(i * 31);
    for (auto _ : state) {
        if (tovu::StbLink::transfer(kBenchReceiver, tovu::kToReceiver, buffer.data(), tovu::kDbImageAddress,
                                    tovu::kDbImageLength) != 1)
            return state.SkipWithError("upload failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * tovu::kDbImageLength);
}
BENCHMARK(BM_Upload256K)->Unit(benchmark::kMillisecond);

void BM_Push50WithBackupAndReadBack(benchmark::State& state) {
    std::vector<std::unique_ptr<Simulator>> simulators;
    std::vector<uint32_t> receivers;
    for (uint32_t k = 0; k < kPushReceivers; ++k) {
        simulators.push_back(std::make_unique<Simulator>(kFirstPushReceiver + k));
        if (!simulators.back()->ready()) return state.SkipWithError("stb-sim did not start");
        receivers.push_back(kFirstPushReceiver + k);
    }
    char folder[] = "/tmp/tovu-push-bench.XXXXXX";
    if (mkdtemp(folder) == nullptr) return state.SkipWithError("no temporary folder");
    tovu::PushPlan plan;
    plan.databasePath = std::string(folder) + "/push.kdat";
    plan.options.backupFolder = std::string(folder) + "/backups";
    auto image = std::make_unique<tovu::ChannelDbImage>();
    for (size_t i = 0; i < image->bytes.size(); ++i) image->bytes[i] = static_cast<uint8_t>(i * 7);
    if (tovu::saveDbToPath(*image, plan.databasePath) != tovu::SaveResult::Saved)
        return state.SkipWithError("cannot write the database");
    const std::atomic<bool> never{false};
    for (auto _ : state) {
        const auto reports = tovu::pushToReceivers(receivers, plan, nullptr, never);
        for (const tovu::PushReport& report : reports)
            if (!report.success) return state.SkipWithError(report.message.c_str());
    }
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}
BENCHMARK(BM_Push50WithBackupAndReadBack)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
