// Waiting socket reads and writes of the simulator; every wait also watches the stop pipe.
#pragma once

#include <cstddef>
#include <cstdint>

namespace stbsim {

enum class IoResult { Done, Closed, TimedOut, Stopped };

// How long the simulator waits for a silent peer before giving up on the connection.
inline constexpr int kIdleTimeoutMs = 10000;

// The read end of the pipe that the signal handler writes to; -1 before it exists.
void setStopDescriptor(int fd);
[[nodiscard]] bool stopRequested();

[[nodiscard]] IoResult readExact(int fd, uint8_t* bytes, size_t count);
[[nodiscard]] IoResult writeExact(int fd, const uint8_t* bytes, size_t count);
// Waits until the peer closes the connection, throwing away whatever it sends.
void drainUntilClosed(int fd);

}  // namespace stbsim
