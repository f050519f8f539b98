// Peers for the link tests: a socket pair fed from a thread, the receiver simulator as a child
// process, and the files the transfers move.
#pragma once

#include "db/DbFileFormat.h"
#include "db/DbImage.h"
#include "link/Backups.h"
#include "link/Protocol.h"
#include "support/TestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace tovu::test {

// 127.a.b.c as a host-order address.
constexpr uint32_t loopback(uint8_t a, uint8_t b, uint8_t c) {
    return (uint32_t{127} << 24) | (uint32_t{a} << 16) | (uint32_t{b} << 8) | c;
}

// The words of a space-separated option string.
inline std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), {}};
}

inline std::vector<uint8_t> readUntilClosed(int fd) {
    std::vector<uint8_t> all;
    uint8_t chunk[8192];
    for (ssize_t got; (got = recv(fd, chunk, sizeof chunk, 0)) > 0;)
        all.insert(all.end(), chunk, chunk + got);
    return all;
}

// A stream socket pair; near() is the editor's end. feed() sends bytes from the far end on a
// thread and then shuts the far end's writing side.
class SocketPair {
public:
    SocketPair() { (void)socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds_); }
    ~SocketPair() {
        closeNear();  // a feeder blocked on a full socket gives up
        if (feeder_.joinable()) feeder_.join();
        close(fds_[1]);
    }
    int near() const { return fds_[0]; }
    int far() const { return fds_[1]; }
    void closeNear() {
        if (fds_[0] >= 0) close(fds_[0]);
        fds_[0] = -1;
    }
    void feed(std::vector<uint8_t> bytes) {
        feeder_ = std::thread([fd = far(), bytes = std::move(bytes)] {
            for (ssize_t done = 0, sent = 0; done < static_cast<ssize_t>(bytes.size()); done += sent)
                if ((sent = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL)) <= 0) break;
            shutdown(fd, SHUT_WR);
        });
    }

private:
    int fds_[2] = {-1, -1};
    std::thread feeder_;
};

// build/bin/stb-sim on a loopback address of its own, its standard output read line by line.
class SimProcess {
public:
    explicit SimProcess(uint32_t address, const std::vector<std::string>& options = {}) : address_(address) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return;
        std::vector<std::string> args = {TOVU_BINARY_DIR "/bin/stb-sim", "--listen", dottedAddress(address)};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        output_ = fds[0];
        listening_ = pid_ > 0 && nextLine(10000).starts_with("listening on ");
    }
    ~SimProcess() {
        (void)stop();
        if (output_ >= 0) close(output_);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    [[nodiscard]] bool listening() const { return listening_; }
    uint32_t address() const { return address_; }

    // The next line without its newline; empty on time-out or at the end.
    std::string nextLine(int timeoutMs = 8000) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (pending_.find('\n') == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd entry{output_, POLLIN, 0};
            const int ready = left.count() > 0 ? poll(&entry, 1, static_cast<int>(left.count())) : 0;
            if (ready < 0 && errno == EINTR) continue;
            char chunk[4096];
            const ssize_t got = ready > 0 ? read(output_, chunk, sizeof chunk) : 0;
            if (got <= 0) return {};
            pending_.append(chunk, static_cast<size_t>(got));
        }
        std::string line = pending_.substr(0, pending_.find('\n'));
        pending_.erase(0, line.size() + 1);
        return line;
    }

    // Stops it with SIGTERM; its exit status, or -1 when it did not exit normally.
    int stop() {
        if (pid_ < 0) return -1;
        kill(pid_, SIGTERM);
        int status = 0;
        const pid_t done = waitpid(pid_, &status, 0);
        pid_ = -1;
        return done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Stops it and gives the lines it printed after those already read.
    std::vector<std::string> linesUntilStopped() {
        (void)stop();
        std::vector<std::string> lines;
        for (std::string line = nextLine(2000); !line.empty(); line = nextLine(2000)) lines.push_back(line);
        return lines;
    }

private:
    uint32_t address_;
    pid_t pid_ = -1;
    int output_ = -1;
    bool listening_ = false;
    std::string pending_;
};

// A valid 0x50000-byte .kdat file whose image bytes are a pattern drawn from `seed`.
inline std::vector<uint8_t> patternKdat(uint32_t seed) {
    ChannelDbImage image;
    std::mt19937 rng(seed);
    for (auto& b : image.bytes) b = static_cast<uint8_t>(rng());
    MemoryDbFile file;
    (void)writeDbFile(image, file);
    return file.bytes();
}

// A cable.xml with `cables` cables of `perCable` transponders each.
inline std::string cableXml(int cables, int perCable) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<cables>\n";
    for (int c = 0; c < cables; ++c) {
        xml += "  <cable name=\"Cable " + std::to_string(c) + "\">\n";
        for (int t = 0; t < perCable; ++t)
            xml += "    <transponder frequency=\"" + std::to_string(114000000 + 8000000 * t) +
                   "\" symbol_rate=\"6900000\" modulation=\"3\" annex=\"0\"/>\n";
        xml += "  </cable>\n";
    }
    return xml + "</cables>\n";
}

inline void writeText(const std::string& path, const std::string& text) {
    writeFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace tovu::test
