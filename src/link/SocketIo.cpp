// The socket layer of the link: connecting with a time-out, waiting with poll, moving exact byte
// counts and waiting for the peer's acknowledgement. Sockets are used without blocking calls, so
// every wait is bounded by a time-out and the transfer's deadline, and sends never raise SIGPIPE:
// a peer that closes gives a failed transfer.
#include "link/StbLink.h"

#include <arpa/inet.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>

namespace tovu::StbLink {
namespace {

std::atomic<bool> socketsStarted{false};

// The longest pause between two looks at the send queue while waiting for acknowledgements.
constexpr int kAcknowledgePollMs = 20;

int remainingMs(Deadline deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(std::min<decltype(left)>(left, INT32_MAX)) : 0;
}

// How long the next wait may take: its own time-out cut short by the deadline; -1 once the
// deadline has passed, so a peer whose data is always ready cannot keep a transfer going.
int waitBudget(int timeoutMs, Deadline deadline) {
    if (Clock::now() >= deadline) return -1;
    return std::min(timeoutMs, remainingMs(deadline));
}

bool retryable(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

}  // namespace

int startupSockets() {
    // POSIX sockets need no library start; the flag only records that the layer is ready.
    socketsStarted.store(true);
    return 1;
}

int openConnection(uint32_t receiver, uint16_t port, int timeoutMs) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s < 0) return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(receiver);
    if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS || waitReady(s, 1, timeoutMs) != 0) {
            closeSocket(s);
            return -1;
        }
        int error = 0;
        socklen_t size = sizeof error;
        if (getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
            closeSocket(s);
            return -1;
        }
    }
    // Every packet goes out in one send; do not hold it back waiting for acknowledgements.
    const int one = 1;
    (void)setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return s;
}

void closeSocket(int socket) {
    if (socket >= 0) close(socket);
}

void abortSocket(int socket) {
    const linger reset{1, 0};
    if (socket >= 0) (void)setsockopt(socket, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    closeSocket(socket);
}

int waitReady(int socket, uint8_t mode, int timeoutMs) {
    if (mode > 1 || timeoutMs < 0 || socket < 0) return -1;
    pollfd entry{};
    entry.fd = socket;
    entry.events = mode == 0 ? POLLIN : POLLOUT;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        entry.revents = 0;
        const int ready = poll(&entry, 1, remainingMs(deadline));
        if (ready > 0) return (entry.revents & POLLNVAL) ? -1 : 0;
        if (ready == 0) return -2;
        if (errno != EINTR) return -1;
    }
}

int sendAll(int socket, const uint8_t* bytes, size_t count, int timeoutMs, Deadline deadline) {
    if (count == 0 || bytes == nullptr) return -1;
    size_t done = 0;
    for (;;) {
        const int budget = waitBudget(timeoutMs, deadline);
        const int ready = budget < 0 ? -2 : waitReady(socket, 1, budget);
        if (ready != 0) return ready == -2 ? -2 : -1;
        const ssize_t sent = send(socket, bytes + done, count - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && retryable(errno)) continue;
        if (sent <= 0) return -1;
        done += static_cast<size_t>(sent);
        if (done >= count) return 0;
    }
}

int receiveAll(int socket, uint8_t* bytes, size_t count, int timeoutMs, Deadline deadline) {
    if (count == 0 || bytes == nullptr) return -1;
    size_t done = 0;
    for (;;) {
        const int budget = waitBudget(timeoutMs, deadline);
        const int ready = budget < 0 ? -2 : waitReady(socket, 0, budget);
        if (ready != 0) return ready == -2 ? -2 : -1;
        const ssize_t got = recv(socket, bytes + done, count - done, MSG_DONTWAIT);
        if (got < 0 && retryable(errno)) continue;
        if (got <= 0) return -1;
        done += static_cast<size_t>(got);
        if (done >= count) return 0;
    }
}

int waitAcknowledged(int socket, int timeoutMs, Deadline deadline) {
    // No event tells when the send queue runs empty, so look at it in growing pauses; a poll that
    // asks for no event still returns at once on a reset or a hang-up.
    int lastQueued = -1;
    Deadline stalledAt = kNoDeadline;  // timeoutMs after the queue last shrank
    for (int pauseMs = 1;; pauseMs = std::min(2 * pauseMs, kAcknowledgePollMs)) {
        int queued = 0;
        int error = 0;
        socklen_t size = sizeof error;
        if (ioctl(socket, SIOCOUTQ, &queued) != 0 ||
            getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0)
            return -1;
        pollfd entry{socket, 0, 0};
        if (poll(&entry, 1, 0) < 0 && errno != EINTR) return -1;
        if (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) return -1;
        if (queued == 0) return 0;
        if (queued != lastQueued) {
            lastQueued = queued;
            stalledAt = Clock::now() + std::chrono::milliseconds(timeoutMs);
        }
        const int budget = waitBudget(pauseMs, deadline);
        if (budget < 0 || Clock::now() >= stalledAt) return -2;
        (void)poll(&entry, 1, budget);
    }
}

}  // namespace tovu::StbLink
