// stb-sim: a stand-in for the receiver's transfer service on TCP port 19998, for trying and
// testing the editor's transfers without a set-top box. One connection at a time; one line per
// transfer on standard output.
#include "SimIo.h"
#include "SimReceiver.h"

#include "link/Protocol.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int stopPipe[2] = {-1, -1};

void onStopSignal(int) {
    const int saved = errno;
    const char byte = 1;
    (void)!write(stopPipe[1], &byte, 1);
    errno = saved;
}

int usage() {
    std::fprintf(stderr,
                 "usage: stb-sim [--listen ADDRESS] [--db FILE.kdat] [--save FILE.kdat]\n"
                 "               [--stall] [--close-after N] [--bad-index] [--duplicate]\n");
    return 2;
}

bool parseOptions(int argc, char** argv, stbsim::Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--listen" && hasValue) {
            in_addr address{};
            if (inet_pton(AF_INET, argv[++i], &address) != 1) return false;
            options.listenAddress = ntohl(address.s_addr);
        } else if (arg == "--db" && hasValue) {
            options.dbPath = argv[++i];
        } else if (arg == "--save" && hasValue) {
            options.savePath = argv[++i];
        } else if (arg == "--close-after" && hasValue) {
            char* end = nullptr;
            options.closeAfter = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || options.closeAfter < 0) return false;
        } else if (arg == "--stall") {
            options.stall = true;
        } else if (arg == "--bad-index") {
            options.badIndex = true;
        } else if (arg == "--duplicate") {
            options.duplicate = true;
        } else {
            return false;
        }
    }
    return true;
}

int listenOn(uint32_t address) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return -1;
    const int one = 1;
    (void)setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(tovu::kReceiverPort);
    local.sin_addr.s_addr = htonl(address);
    if (bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 || listen(s, 8) != 0) {
        close(s);
        return -1;
    }
    return s;
}

std::string dotted(uint32_t address) {
    in_addr a{};
    a.s_addr = htonl(address);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    stbsim::Receiver receiver;
    if (!parseOptions(argc, argv, receiver.options)) return usage();
    if (!receiver.options.dbPath.empty() && !stbsim::loadDatabaseArea(receiver, receiver.options.dbPath)) {
        std::fprintf(stderr, "stb-sim: cannot read the database area of %s\n",
                     receiver.options.dbPath.c_str());
        return 1;
    }

    if (pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) return 1;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    stbsim::setStopDescriptor(stopPipe[0]);

    const int listener = listenOn(receiver.options.listenAddress);
    if (listener < 0) {
        std::fprintf(stderr, "stb-sim: cannot listen on %s:%u: %s\n",
                     dotted(receiver.options.listenAddress).c_str(), tovu::kReceiverPort,
                     std::strerror(errno));
        return 1;
    }
    std::printf("listening on %s:%u\n", dotted(receiver.options.listenAddress).c_str(), tovu::kReceiverPort);
    std::fflush(stdout);

    for (;;) {
        pollfd entries[2] = {{listener, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
        const int ready = poll(entries, 2, -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || (entries[1].revents & POLLIN)) break;
        if (!(entries[0].revents & POLLIN)) continue;
        const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        const int one = 1;
        (void)setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        const std::string line = stbsim::serveConnection(receiver, connection);
        close(connection);
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        if (stbsim::stopRequested()) break;
    }
    close(listener);
    std::printf("stopped\n");
    std::fflush(stdout);
    return 0;
}
