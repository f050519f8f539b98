// stb-sim: a stand-in for the receiver's transfer service on TCP port 19998, for trying and
// testing the editor's transfers without a set-top box. One transfer at a time; one line per
// connection on standard output. Fault options make it misbehave as a broken receiver would.
#include "SimIo.h"
#include "SimReceiver.h"
#include "SimServer.h"

#include "ProjectVersion.h"
#include "link/Protocol.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using stbsim::Options;

int stopPipe[2] = {-1, -1};

void onStopSignal(int) {
    const int saved = errno;
    const char byte = 1;
    (void)!write(stopPipe[1], &byte, 1);
    errno = saved;
}

// A whole number from 0 to `most`.
bool number(const char* text, int64_t most, int64_t& value) {
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || parsed < 0 || parsed > most) return false;
    value = parsed;
    return true;
}

struct Flag {
    const char* name;
    const char* value;  // what follows the flag; nullptr when nothing does
    const char* help;
    bool (*apply)(Options& options, const char* value);
};

const Flag kFlags[] = {
    {"--listen", "ADDRESS", "listen on this IPv4 address (default 127.0.0.1)",
     [](Options& o, const char* v) {
         in_addr address{};
         if (inet_pton(AF_INET, v, &address) != 1) return false;
         o.listenAddress = ntohl(address.s_addr);
         return true;
     }},
    {"--db", "FILE.kdat", "load the database area from this file",
     [](Options& o, const char* v) { return o.dbPath = v, true; }},
    {"--save", "FILE.kdat", "write the database area to this file after each write into it",
     [](Options& o, const char* v) { return o.savePath = v, true; }},
    {"--stall", nullptr, "fault: read the command, then send nothing",
     [](Options& o, const char*) { return o.stall = true; }},
    {"--close-after", "N", "fault: close the connection after N packets",
     [](Options& o, const char* v) { return number(v, INT32_MAX, o.closeAfter); }},
    {"--reset-after", "N", "fault: reset the connection after N packets",
     [](Options& o, const char* v) { return o.reset = true, number(v, INT32_MAX, o.closeAfter); }},
    {"--bad-index", nullptr, "fault: the first packet of a read carries an index beyond the count",
     [](Options& o, const char*) { return o.badIndex = true; }},
    {"--duplicate", nullptr, "fault: send every packet of a read twice",
     [](Options& o, const char*) { return o.duplicate = true; }},
    {"--answer-length", "N", "fault: answer every read with the packets of an N-byte read",
     [](Options& o, const char* v) { return number(v, UINT32_MAX, o.answerLength); }},
    {"--length-field", "N", "fault: put N into the length field of every packet of a read",
     [](Options& o, const char* v) { return number(v, UINT32_MAX, o.lengthField); }},
    {"--repeat-first", nullptr, "fault: answer a read with its first packet, again every 100 ms",
     [](Options& o, const char*) { return o.repeatFirst = true; }},
    {"--slow-read", nullptr, "fault: answer a read one byte a second",
     [](Options& o, const char*) { return o.slowRead = true; }},
    {"--slow-write", nullptr, "fault: take a write one byte a second",
     [](Options& o, const char*) { return o.slowWrite = true; }},
    {"--ignore-write", nullptr, "fault: take the command of a write, then read nothing",
     [](Options& o, const char*) { return o.ignoreWrite = true; }},
    {"--corrupt-writes", nullptr, "fault: store every write with one byte changed",
     [](Options& o, const char*) { return o.corruptWrites = true; }},
    {"--lag-writes", "MS", "fault: reads return the old data for MS milliseconds after a write",
     [](Options& o, const char* v) { return number(v, INT32_MAX, o.lagWritesMs); }},
    {"--refuse-reads-after-write", nullptr, "fault: once a write was stored, close every read unanswered",
     [](Options& o, const char*) { return o.refuseReadsAfterWrite = true; }},
};

void usage(FILE* out) {
    std::fprintf(out,
                 "usage: stb-sim [OPTION]...\nA stand-in for the receiver's transfer service on port %u.\n",
                 tovu::kReceiverPort);
    for (const Flag& flag : kFlags) {
        const std::string spelled =
            std::string(flag.name) + (flag.value ? std::string(" ") + flag.value : "");
        std::fprintf(out, "  %-26s %s\n", spelled.c_str(), flag.help);
    }
    std::fprintf(out, "  %-26s %s\n", "--help", "show this text");
    std::fprintf(out, "  %-26s %s\n", "--version", "show the version");
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const Flag* flag = nullptr;
        for (const Flag& f : kFlags)
            if (std::strcmp(argv[i], f.name) == 0) flag = &f;
        if (flag == nullptr || (flag->value && i + 1 >= argc)) return false;
        if (!flag->apply(options, flag->value ? argv[++i] : nullptr)) return false;
    }
    return true;
}

int listenOn(const Options& options) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return -1;
    const int one = 1;
    (void)setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (options.slowWrite || options.ignoreWrite) {
        // A small receive window, so what the simulator does not read is not acknowledged either.
        const int small = 4096;
        (void)setsockopt(s, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(tovu::kReceiverPort);
    local.sin_addr.s_addr = htonl(options.listenAddress);
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
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) return usage(stdout), 0;
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0)
        return std::printf("stb-sim (Tovu Cable Channel Editor) %s\n", tovu::kProjectVersion), 0;
    stbsim::Receiver receiver;
    if (!parseOptions(argc, argv, receiver.options)) return usage(stderr), 2;
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

    const int listener = listenOn(receiver.options);
    if (listener < 0) {
        std::fprintf(stderr, "stb-sim: cannot listen on %s:%u: %s\n",
                     dotted(receiver.options.listenAddress).c_str(), tovu::kReceiverPort,
                     std::strerror(errno));
        return 1;
    }
    std::printf("listening on %s:%u\n", dotted(receiver.options.listenAddress).c_str(), tovu::kReceiverPort);
    std::fflush(stdout);
    stbsim::serveUntilStopped(receiver, listener, stopPipe[0]);
    close(listener);
    std::printf("stopped\n");
    std::fflush(stdout);
    return 0;
}
