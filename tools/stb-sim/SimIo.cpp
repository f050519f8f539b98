#include "SimIo.h"

#include <poll.h>
#include <sys/socket.h>
#include <algorithm>
#include <cerrno>

namespace stbsim {
namespace {

int stopFd = -1;

int msUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, kConnectionDeadlineMs));
}

// Waits at most `timeoutMs` for `events` on fd (none: only the stop pipe and the deadline):
// Done when ready, Stopped when a stop was requested, Closed when the connection is reset or
// closed both ways, TimedOut at the time-out or the deadline.
IoResult waitFor(const Connection& c, short events, int timeoutMs = kIdleTimeoutMs) {
    pollfd entries[2] = {{stopFd, POLLIN, 0}, {c.fd, events, 0}};
    for (;;) {
        const int left = msUntil(c.deadline);
        if (left == 0) return IoResult::TimedOut;
        const int ready = poll(entries, events != 0 ? 2 : 1, std::min(timeoutMs, left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return IoResult::Closed;
        if (ready == 0) return IoResult::TimedOut;
        if (entries[0].revents & POLLIN) return IoResult::Stopped;
        // A reset peer is gone, even when some of what it sent is still unread.
        return entries[1].revents & (POLLERR | POLLHUP | POLLNVAL) ? IoResult::Closed : IoResult::Done;
    }
}

bool retryable(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

}  // namespace

void setStopDescriptor(int fd) { stopFd = fd; }

bool stopRequested() {
    if (stopFd < 0) return false;
    pollfd entry{stopFd, POLLIN, 0};
    return poll(&entry, 1, 0) > 0;
}

IoResult readExact(const Connection& c, uint8_t* bytes, size_t count, int pauseMs) {
    for (size_t done = 0; done < count;) {
        if (IoResult r = waitFor(c, POLLIN); r != IoResult::Done) return r;
        const ssize_t got = recv(c.fd, bytes + done, pauseMs > 0 ? 1 : count - done, MSG_DONTWAIT);
        if (got < 0 && retryable(errno)) continue;
        if (got <= 0) return IoResult::Closed;
        done += static_cast<size_t>(got);
        if (pauseMs > 0 && done < count)
            if (IoResult r = pause(c, pauseMs); r != IoResult::Done) return r;
    }
    return IoResult::Done;
}

IoResult writeExact(const Connection& c, const uint8_t* bytes, size_t count, int pauseMs) {
    for (size_t done = 0; done < count;) {
        if (IoResult r = waitFor(c, POLLOUT); r != IoResult::Done) return r;
        const ssize_t sent =
            send(c.fd, bytes + done, pauseMs > 0 ? 1 : count - done, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent < 0 && retryable(errno)) continue;
        if (sent <= 0) return IoResult::Closed;
        done += static_cast<size_t>(sent);
        if (pauseMs > 0 && done < count)
            if (IoResult r = pause(c, pauseMs); r != IoResult::Done) return r;
    }
    return IoResult::Done;
}

IoResult pause(const Connection& c, int ms) {
    const IoResult r = waitFor(c, 0, ms);
    return r == IoResult::TimedOut && msUntil(c.deadline) > 0 ? IoResult::Done : r;
}

IoResult drainUntilClosed(const Connection& c) {
    uint8_t scrap[4096];
    for (;;) {
        if (IoResult r = waitFor(c, POLLIN); r != IoResult::Done) return r;
        const ssize_t got = recv(c.fd, scrap, sizeof scrap, MSG_DONTWAIT);
        if (got < 0 && retryable(errno)) continue;
        if (got <= 0) return IoResult::Closed;
    }
}

IoResult waitUntilGone(const Connection& c) {
    const IoResult r = waitFor(c, POLLRDHUP);
    return r == IoResult::Done ? IoResult::Closed : r;
}

}  // namespace stbsim
