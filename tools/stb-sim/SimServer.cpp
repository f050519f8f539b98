#include "SimServer.h"

#include "link/Protocol.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace stbsim {
namespace {

// A connection whose command frame is still on its way.
struct Pending {
    Connection connection;
    Clock::time_point frameDeadline;
    uint8_t frame[tovu::kCommandFrameSize] = {};
    size_t filled = 0;
};

void report(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

int msUntilFirst(const std::vector<Pending>& pending) {
    if (pending.empty()) return -1;
    const auto first =
        std::min_element(pending.begin(), pending.end(), [](const Pending& a, const Pending& b) {
            return a.frameDeadline < b.frameDeadline;
        })->frameDeadline;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(first - Clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left + 1, 0, kIdleTimeoutMs));
}

// Reads what has arrived of a command frame and serves the transfer once it is complete; false
// while the frame is still incomplete and its deadline has not passed.
bool advance(Receiver& receiver, Pending& p, bool readable) {
    if (readable) {
        const ssize_t got =
            recv(p.connection.fd, p.frame + p.filled, sizeof p.frame - p.filled, MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return false;
        if (got <= 0) {
            report("command result=peer-closed (incomplete command frame)");
            return true;
        }
        p.filled += static_cast<size_t>(got);
        if (p.filled < sizeof p.frame) return false;
        report(serveCommand(receiver, p.connection, p.frame));
        return true;
    }
    if (Clock::now() < p.frameDeadline) return false;
    report("command result=timed-out (incomplete command frame)");
    return true;
}

}  // namespace

void serveUntilStopped(Receiver& receiver, int listener, int stopFd) {
    std::vector<Pending> pending;
    for (;;) {
        std::vector<pollfd> entries = {{stopFd, POLLIN, 0}, {listener, POLLIN, 0}};
        for (const Pending& p : pending) entries.push_back({p.connection.fd, POLLIN, 0});
        const int ready = poll(entries.data(), entries.size(), msUntilFirst(pending));
        if (ready < 0 && errno != EINTR) break;
        if (ready > 0 && (entries[0].revents & POLLIN)) break;
        for (size_t i = 0; i < pending.size(); ++i) {
            if (!advance(receiver, pending[i], ready > 0 && entries[i + 2].revents != 0)) continue;
            close(pending[i].connection.fd);
            pending[i].connection.fd = -1;
        }
        std::erase_if(pending, [](const Pending& p) { return p.connection.fd < 0; });
        if (stopRequested()) break;
        if (ready <= 0 || !(entries[1].revents & POLLIN)) continue;
        const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        const int one = 1;
        (void)setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        const auto now = Clock::now();
        pending.push_back({{fd, now + std::chrono::milliseconds(kConnectionDeadlineMs)},
                           now + std::chrono::milliseconds(kIdleTimeoutMs)});
    }
    for (const Pending& p : pending) close(p.connection.fd);
}

}  // namespace stbsim
