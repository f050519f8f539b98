// The transport to the receiver: one connection per transfer, a command frame, then data packets.
// Inner operations give 0 (done), -2 (time-out) or -1 (any other failure) where they wait, and
// 1/0 where they complete a step; transfer gives 1 on success and 0 on any failure.
#pragma once

#include "link/Protocol.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace tovu::StbLink {

// Time-outs of a transfer in milliseconds. Each wait has its own; the deadline bounds the whole
// transfer, so a receiver that keeps sending without ever finishing cannot hold it for ever.
inline constexpr int kConnectTimeoutMs = 3000;
inline constexpr int kCommandTimeoutMs = 2000;
inline constexpr int kPacketTimeoutMs = 5000;
inline constexpr int kTransferDeadlineMs = 30000;

// What a transfer uses besides its arguments; tests shorten the waits.
struct LinkSettings {
    uint16_t port = kReceiverPort;
    int connectTimeoutMs = kConnectTimeoutMs;
    int commandTimeoutMs = kCommandTimeoutMs;
    int packetTimeoutMs = kPacketTimeoutMs;
    int deadlineMs = kTransferDeadlineMs;
};

using Clock = std::chrono::steady_clock;
// The moment a transfer must be over; the waits below stop there as at their own time-out.
using Deadline = Clock::time_point;
inline constexpr Deadline kNoDeadline = Deadline::max();

// Moves `length` bytes between `buffer` and the receiver's storage at `targetAddress`.
// `receiver` is the IPv4 address in host order (first dotted field most significant).
// kToReceiver: the buffer holds the bytes to send. kFromReceiver: the buffer must hold the length
// rounded up to whole 1024-byte packets, and succeeds only when the receiver sent exactly `length`
// bytes. A send succeeds only once the receiver's side has acknowledged every byte. Any other
// direction sends the command and fails. A failed transfer resets the connection.
[[nodiscard]] int transfer(uint32_t receiver, uint8_t direction, uint8_t* buffer, uint32_t targetAddress,
                           uint32_t length);
[[nodiscard]] int transferWith(const LinkSettings& settings, uint32_t receiver, uint8_t direction,
                               uint8_t* buffer, uint32_t targetAddress, uint32_t length);

// Prepares the socket layer once per process; 1 when ready.
[[nodiscard]] int startupSockets();
// A connected TCP socket to the receiver, or -1 (also when the connect takes longer than
// `timeoutMs`). The socket is non-blocking; every later wait goes through waitReady.
[[nodiscard]] int openConnection(uint32_t receiver, uint16_t port, int timeoutMs = kConnectTimeoutMs);
void closeSocket(int socket);
// Closes with a reset, so the receiver sees at once that the transfer was abandoned and no queued
// data reaches it afterwards.
void abortSocket(int socket);

// Sends the 64-byte command frame; 1 when all of it went out.
[[nodiscard]] int sendCommand(int socket, uint8_t direction, uint32_t targetAddress, uint32_t length,
                              int timeoutMs = kCommandTimeoutMs, Deadline deadline = kNoDeadline);
// Sends `length` bytes as numbered packets; 1 or 0. A length of 0 sends nothing and succeeds.
// A length that needs more than 65535 packets cannot be numbered and fails before sending.
[[nodiscard]] int sendData(int socket, int32_t length, const uint8_t* buffer,
                           int timeoutMs = kPacketTimeoutMs, Deadline deadline = kNoDeadline);
// Receives the numbered packets of a `length`-byte transfer into `buffer`, which holds `length`
// rounded up to whole packets, until all of them have arrived; repeats are ignored. 1 or 0.
// Every packet must carry `length` in its length field and the packets needed for it in its
// count field, and an index below that count and inside the window being filled (256 packets);
// anything else fails. A length of 0 needs no packet.
[[nodiscard]] int receiveData(int socket, uint8_t* buffer, uint32_t length, int timeoutMs = kPacketTimeoutMs,
                              Deadline deadline = kNoDeadline);
// Waits until the peer has acknowledged every byte handed to the socket: 0 when it has and no
// reset arrived, -2 when the deadline passes or no byte is acknowledged for `timeoutMs`, -1 on a
// reset or any other error.
[[nodiscard]] int waitAcknowledged(int socket, int timeoutMs, Deadline deadline);

// Waits until the socket is readable (mode 0) or writable (mode 1): 0 ready, -2 time-out, -1 error.
[[nodiscard]] int waitReady(int socket, uint8_t mode, int timeoutMs);
// Moves exactly `count` bytes; each wait for the socket may take `timeoutMs`, none goes past the
// deadline. 0 done, -2 time-out or deadline, -1 error or the peer closed.
[[nodiscard]] int sendAll(int socket, const uint8_t* bytes, size_t count, int timeoutMs,
                          Deadline deadline = kNoDeadline);
[[nodiscard]] int receiveAll(int socket, uint8_t* bytes, size_t count, int timeoutMs,
                             Deadline deadline = kNoDeadline);

}  // namespace tovu::StbLink
