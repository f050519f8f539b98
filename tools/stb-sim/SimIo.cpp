#include "SimIo.h"

#include <poll.h>
#include <sys/socket.h>
#include <cerrno>

namespace stbsim {
namespace {

int stopFd = -1;

// Waits for `events` on fd: Done when ready, Stopped when a stop was requested.
IoResult waitFor(int fd, short events) {
    pollfd entries[2] = {{fd, events, 0}, {stopFd, POLLIN, 0}};
    for (;;) {
        const int ready = poll(entries, stopFd >= 0 ? 2 : 1, kIdleTimeoutMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return IoResult::Closed;
        if (ready == 0) return IoResult::TimedOut;
        if (stopFd >= 0 && (entries[1].revents & POLLIN)) return IoResult::Stopped;
        return IoResult::Done;
    }
}

}  // namespace

void setStopDescriptor(int fd) { stopFd = fd; }

bool stopRequested() {
    if (stopFd < 0) return false;
    pollfd entry{stopFd, POLLIN, 0};
    return poll(&entry, 1, 0) > 0;
}

IoResult readExact(int fd, uint8_t* bytes, size_t count) {
    size_t done = 0;
    while (done < count) {
        if (IoResult r = waitFor(fd, POLLIN); r != IoResult::Done) return r;
        const ssize_t got = recv(fd, bytes + done, count - done, MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
        if (got <= 0) return IoResult::Closed;
        done += static_cast<size_t>(got);
    }
    return IoResult::Done;
}

IoResult writeExact(int fd, const uint8_t* bytes, size_t count) {
    size_t done = 0;
    while (done < count) {
        if (IoResult r = waitFor(fd, POLLOUT); r != IoResult::Done) return r;
        const ssize_t sent = send(fd, bytes + done, count - done, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
        if (sent <= 0) return IoResult::Closed;
        done += static_cast<size_t>(sent);
    }
    return IoResult::Done;
}

void drainUntilClosed(int fd) {
    uint8_t scrap[4096];
    for (;;) {
        if (waitFor(fd, POLLIN) != IoResult::Done) return;
        const ssize_t got = recv(fd, scrap, sizeof scrap, MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
        if (got <= 0) return;
    }
}

}  // namespace stbsim
