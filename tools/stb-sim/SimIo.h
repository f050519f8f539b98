// Waiting socket reads and writes of the simulator; every wait also watches the stop pipe and
// ends at the connection's deadline.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace stbsim {

enum class IoResult { Done, Closed, TimedOut, Stopped };

// How long the simulator waits for a silent peer before giving up on the connection; a command
// frame must arrive within it.
inline constexpr int kIdleTimeoutMs = 10000;
// The longest life of one connection, however busy its peer.
inline constexpr int kConnectionDeadlineMs = 60000;

using Clock = std::chrono::steady_clock;

// One accepted connection and the moment the simulator gives up on it.
struct Connection {
    int fd = -1;
    Clock::time_point deadline;
};

// The read end of the pipe that the signal handler writes to; -1 before it exists.
void setStopDescriptor(int fd);
[[nodiscard]] bool stopRequested();

// Move exactly `count` bytes; with a pause, one byte at a time and the pause after each.
[[nodiscard]] IoResult readExact(const Connection& c, uint8_t* bytes, size_t count, int pauseMs = 0);
[[nodiscard]] IoResult writeExact(const Connection& c, const uint8_t* bytes, size_t count, int pauseMs = 0);
// Waits `ms`: Done, or Stopped, or TimedOut when the connection's deadline comes first.
[[nodiscard]] IoResult pause(const Connection& c, int ms);
// Waits until the peer closes the connection, throwing away whatever it sends.
[[nodiscard]] IoResult drainUntilClosed(const Connection& c);
// Waits until the peer closes or resets the connection, reading nothing.
[[nodiscard]] IoResult waitUntilGone(const Connection& c);

}  // namespace stbsim
