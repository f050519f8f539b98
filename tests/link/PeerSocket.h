// In-process peers for byte-level tests of the link: a socket pair whose far end is driven by a
// thread, and a loopback listener that records what one connection sent.
#pragma once

#include "link/Protocol.h"

#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace tovu::test {

struct PacketSpec {
    uint16_t count;
    uint16_t index;
    uint8_t fill;  // every payload byte
};

// A DataPacket as the receiver would send it (length and checksum fields left zero: the editor
// does not look at them).
std::vector<uint8_t> makePacket(const PacketSpec& spec);

// Both ends of a stream socket pair; `near` is the editor's end.
class SocketPair {
public:
    SocketPair();
    ~SocketPair();
    int near() const { return fds_[0]; }
    int far() const { return fds_[1]; }
    void closeNear();
    void closeFar();

private:
    int fds_[2] = {-1, -1};
};

// Sends the bytes from the far end on a thread, then closes the far end when `closeAfter`.
class FarWriter {
public:
    FarWriter(SocketPair& pair, std::vector<uint8_t> bytes, bool closeAfter = true);
    // Closes the near end first so that a writer blocked on a full socket gives up.
    void finish();
    ~FarWriter() { finish(); }

private:
    SocketPair& pair_;
    std::thread thread_;
};

// Reads everything from a socket until the peer closes.
std::vector<uint8_t> readUntilClosed(int fd);

// Accepts one connection on `address`:19998 and records what it sends until it closes.
class RecordingListener {
public:
    explicit RecordingListener(uint32_t address);
    ~RecordingListener();
    bool ready() const { return listener_ >= 0; }
    // Waits for the connection to end and gives its bytes.
    std::vector<uint8_t> received();

private:
    int listener_ = -1;
    std::thread thread_;
    std::vector<uint8_t> bytes_;
};

}  // namespace tovu::test
