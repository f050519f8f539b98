// Plays arbitrary bytes as the receiver's side of a download: whatever a peer sends, the receive
// side must store nothing outside its window, its flag table and the caller's buffer.
//
// Input: byte 0 selects the mode, bytes 1-2 the asked length in whole packets (mod 700), which is
// also the caller's buffer size, the rest is either sent as it is (mode bit 0 clear) or read as
// 5-byte packet descriptions (count, index, fill byte) that are expanded into whole packets
// carrying the asked length, so that long runs stay small.
#include "db/DbImage.h"
#include "link/StbLink.h"

#include <sys/socket.h>
#include <unistd.h>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace {

std::vector<uint8_t> peerBytes(const uint8_t* data, size_t size, bool compact, uint32_t length) {
    if (!compact) return std::vector<uint8_t>(data, data + std::min<size_t>(size, 64 * 1024));
    std::vector<uint8_t> bytes;
    for (size_t at = 0; at + 5 <= size && bytes.size() < 4 * 1024 * 1024; at += 5) {
        uint8_t packet[tovu::kPacketSize];
        std::memset(packet, data[at + 4], sizeof packet);
        std::memset(packet, 0, tovu::kPacketHeaderSize);
        tovu::writeBe32(packet + tovu::kPacketLengthOffset, length);
        std::memcpy(packet + tovu::kPacketCountOffset, data + at, 4);  // count and index, big-endian
        packet[tovu::kPacketMarkerOffset] = tovu::kPacketMarker0;
        bytes.insert(bytes.end(), packet, packet + sizeof packet);
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const bool compact = data[0] & 1;
    const uint32_t length = (((uint32_t{data[1]} << 8) | data[2]) % 700) * tovu::kPacketPayloadSize;
    const std::vector<uint8_t> bytes = peerBytes(data + 3, size - 3, compact, length);

    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return 0;
    const int large = 4 * 1024 * 1024;
    (void)setsockopt(fds[1], SOL_SOCKET, SO_SNDBUF, &large, sizeof large);
    // What fits into the socket goes in at once; a thread sends the rest while the link reads.
    size_t queued = 0;
    while (queued < bytes.size()) {
        const ssize_t sent =
            send(fds[1], bytes.data() + queued, bytes.size() - queued, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent <= 0) break;
        queued += static_cast<size_t>(sent);
    }
    std::thread peer;
    if (queued == bytes.size()) {
        shutdown(fds[1], SHUT_WR);
    } else {
        peer = std::thread([&bytes, queued, fd = fds[1]] {
            size_t done = queued;
            while (done < bytes.size()) {
                const ssize_t sent = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
                if (sent <= 0) break;
                done += static_cast<size_t>(sent);
            }
            shutdown(fd, SHUT_WR);
        });
    }
    // Exactly the asked size, so that the sanitizers see any write past it.
    std::vector<uint8_t> buffer(length);
    (void)tovu::StbLink::receiveData(fds[0], buffer.empty() ? nullptr : buffer.data(), length, 200);
    close(fds[0]);  // a peer still sending gives up
    if (peer.joinable()) peer.join();
    close(fds[1]);
    return 0;
}
