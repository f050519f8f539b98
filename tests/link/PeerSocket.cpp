#include "PeerSocket.h"

#include "db/DbImage.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tovu::test {

std::vector<uint8_t> makePacket(const PacketSpec& spec) {
    std::vector<uint8_t> packet(kPacketSize, spec.fill);
    for (size_t i = 0; i < kPacketHeaderSize; ++i) packet[i] = 0;
    writeBe16(packet.data() + kPacketCountOffset, spec.count);
    writeBe16(packet.data() + kPacketIndexOffset, spec.index);
    packet[kPacketMarkerOffset] = kPacketMarker0;
    return packet;
}

SocketPair::SocketPair() { (void)socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds_); }
SocketPair::~SocketPair() {
    closeNear();
    closeFar();
}
void SocketPair::closeNear() {
    if (fds_[0] >= 0) close(fds_[0]);
    fds_[0] = -1;
}
void SocketPair::closeFar() {
    if (fds_[1] >= 0) close(fds_[1]);
    fds_[1] = -1;
}

FarWriter::FarWriter(SocketPair& pair, std::vector<uint8_t> bytes, bool closeAfter) : pair_(pair) {
    const int fd = pair.far();
    thread_ = std::thread([fd, bytes = std::move(bytes), closeAfter, &pair] {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t sent = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (sent <= 0) break;
            done += static_cast<size_t>(sent);
        }
        if (closeAfter) shutdown(fd, SHUT_WR);
        (void)pair;
    });
}

void FarWriter::finish() {
    if (!thread_.joinable()) return;
    pair_.closeNear();
    thread_.join();
}

std::vector<uint8_t> readUntilClosed(int fd) {
    std::vector<uint8_t> all;
    uint8_t chunk[8192];
    for (;;) {
        const ssize_t got = recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0) return all;
        all.insert(all.end(), chunk, chunk + got);
    }
}

RecordingListener::RecordingListener(uint32_t address) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(kReceiverPort);
    local.sin_addr.s_addr = htonl(address);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        listen(listener_, 4) != 0) {
        close(listener_);
        listener_ = -1;
        return;
    }
    thread_ = std::thread([this] {
        const int connection = accept(listener_, nullptr, nullptr);
        if (connection < 0) return;
        bytes_ = readUntilClosed(connection);
        close(connection);
    });
}

std::vector<uint8_t> RecordingListener::received() {
    if (thread_.joinable()) thread_.join();
    return bytes_;
}

RecordingListener::~RecordingListener() {
    if (listener_ >= 0) shutdown(listener_, SHUT_RDWR);
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) close(listener_);
}

}  // namespace tovu::test
