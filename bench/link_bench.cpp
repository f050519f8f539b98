// 256 KiB download and upload over loopback against the stb-sim receiver simulator, started as
// a child process on 127.0.30.1 (target: under 20 ms each).
#include "link/StbLink.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <chrono>
#include <csignal>
#include <thread>
#include <vector>

extern char** environ;

namespace {

constexpr uint32_t kBenchReceiver = (127u << 24) | (30u << 8) | 1u;  // 127.0.30.1

class Simulator {
public:
    Simulator() {
        char program[] = TOVU_BINARY_DIR "/bin/stb-sim";
        char listen[] = "--listen";
        char address[] = "127.0.30.1";
        char* argv[] = {program, listen, address, nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, program, &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        // Ready once it accepts a connection.
        for (int i = 0; i < 100 && pid_ > 0; ++i) {
            const int s = tovu::StbLink::openConnection(kBenchReceiver, tovu::kReceiverPort, 100);
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

}  // namespace

BENCHMARK_MAIN();
