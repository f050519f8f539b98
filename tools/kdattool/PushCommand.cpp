// push: one database (and provider list) to many receivers at once, one line per receiver as it
// finishes and a summary. The work itself is the link's push, the editor's own upload.
#include "Commands.h"

#include "db/DbFileFormat.h"
#include "db/DbStore.h"
#include "freqlist/ProviderFreqList.h"
#include "link/Backups.h"
#include "link/Push.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <vector>

namespace kdattool {
namespace {

using namespace tovu;

constexpr int kMaxJobs = 256;

std::atomic<bool> interrupted{false};

// The first Ctrl+C stops starting receivers; a second one ends the program at once.
void onInterrupt(int) {
    interrupted.store(true);
    std::signal(SIGINT, SIG_DFL);
}

// Adds a receiver; false (with the message) when it is listed already.
bool addReceiver(std::vector<uint32_t>& receivers, std::map<uint32_t, std::string>& seen, uint32_t address,
                 const std::string& where) {
    const auto [it, added] = seen.emplace(address, where);
    if (added) {
        receivers.push_back(address);
        return true;
    }
    std::fprintf(stderr, "%s%s is listed twice (also %s)\n", where.empty() ? "" : (where + ": ").c_str(),
                 dottedAddress(address).c_str(),
                 it->second.empty() ? "on the command line" : it->second.c_str());
    return false;
}

// One IPv4 address a line; `#` starts a comment, blank lines are skipped. 0 read, 1 the file
// cannot be read, 2 a bad line (reported with its number).
int readHostsFile(const std::string& path, std::vector<uint32_t>& receivers,
                  std::map<uint32_t, std::string>& seen) {
    std::ifstream in(path);
    if (!in) return fail("cannot read the hosts file " + path);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        line = line.substr(0, line.find('#'));
        const size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos) continue;
        const std::string text = line.substr(first, line.find_last_not_of(" \t\r") + 1 - first);
        const std::string where = path + ":" + std::to_string(number);
        uint32_t address = 0;
        if (!parseIpv4(text, address)) return usageError(where + ": not an IPv4 address: " + text);
        if (!addReceiver(receivers, seen, address, where)) return 2;
    }
    if (in.bad()) return fail("cannot read the hosts file " + path);
    return 0;
}

// The files must be sound before any receiver is contacted.
int checkFiles(const PushPlan& plan) {
    PosixDbFile file;
    if (!file.open(plan.databasePath, PosixDbFile::Mode::ReadOnly)) return fail(kFailToOpenDb);
    if (!validateDbFile(file)) return fail(kInvalidDbFile);
    if (plan.providerPath.empty()) return 0;
    PosixDbFile xml;
    if (!xml.open(plan.providerPath, PosixDbFile::Mode::ReadOnly)) return fail(kFailToOpenDb);
    std::vector<uint8_t> list(kProviderFreqListSize, 0);
    loadCableXml(plan.providerPath, list.data());
    return freqListTransponderCount(list.data()) == 0 ? fail(kInvalidDbFile) : 0;
}

// ADDRESS, OK or FAILED, the message, the seconds it took and the backups, separated by tabs.
void printReport(const PushReport& report) {
    std::string message = report.message;
    for (char& c : message)
        if (c == '\n' || c == '\t') c = ' ';
    std::string backups;
    for (const std::string& path : report.backupPaths) backups += (backups.empty() ? "" : ",") + path;
    std::printf("%s\t%s\t%s\t%.2fs\t%s\n", dottedAddress(report.receiver).c_str(),
                report.success ? "OK" : "FAILED", message.c_str(), report.seconds,
                backups.empty() ? "-" : backups.c_str());
    std::fflush(stdout);
}

}  // namespace

// FILE.kdat [--freq CABLE.xml] (--to ADDRESS... | --hosts HOSTS_FILE) [--jobs N]
// [--backup-dir DIR] [--no-verify]
int runPush(const Args& args) {
    PushPlan plan;
    plan.databasePath = args[0];
    std::vector<uint32_t> receivers;
    std::map<uint32_t, std::string> seen;  // where each receiver was named
    bool to = false;
    std::string hosts;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool hasValue = i + 1 < args.size();
        if (takeUploadOption(args, i, plan.options)) continue;
        if (option == "--to") {
            to = true;
            for (; i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0; ++i) {
                uint32_t address = 0;
                if (!parseIpv4(args[i + 1], address))
                    return usageError("not an IPv4 address: " + args[i + 1]);
                if (!addReceiver(receivers, seen, address, "")) return 2;
            }
        } else if (option == "--hosts" && hasValue) {
            hosts = args[++i];
        } else if (option == "--freq" && hasValue) {
            plan.providerPath = args[++i];
        } else if (option == "--jobs" && hasValue) {
            char* end = nullptr;
            const long jobs = std::strtol(args[++i].c_str(), &end, 10);
            if (end == args[i].c_str() || *end != '\0' || jobs < 1 || jobs > kMaxJobs)
                return usageError("--jobs takes a number from 1 to " + std::to_string(kMaxJobs));
            plan.jobs = static_cast<int>(jobs);
        } else {
            return usageError("unknown option or missing value: " + option);
        }
    }
    if (to == !hosts.empty()) return usageError("give the receivers with either --to or --hosts");
    if (!hosts.empty())
        if (const int status = readHostsFile(hosts, receivers, seen)) return status;
    if (receivers.empty()) return usageError("no receivers given");
    if (const int status = checkFiles(plan)) return status;

    interrupted.store(false);
    const auto previous = std::signal(SIGINT, onInterrupt);
    const auto reports = pushToReceivers(receivers, plan, printReport, interrupted);
    std::signal(SIGINT, previous);
    size_t succeeded = 0;
    for (const PushReport& report : reports) succeeded += report.success ? 1 : 0;
    const size_t notStarted = receivers.size() - reports.size();
    std::printf("%zu receivers: %zu OK, %zu FAILED", receivers.size(), succeeded, reports.size() - succeeded);
    if (notStarted > 0) std::printf(", %zu not started (interrupted)", notStarted);
    std::printf("\n");
    return succeeded == receivers.size() ? 0 : 1;
}

}  // namespace kdattool
