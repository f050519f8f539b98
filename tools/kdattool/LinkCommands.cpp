#include "Commands.h"

#include "db/DbFile.h"
#include "db/DbStore.h"
#include "freqlist/ProviderFreqList.h"
#include "link/Transactions.h"

#include <arpa/inet.h>
#include <cstdio>
#include <vector>

namespace kdattool {
namespace {

using namespace tovu;

// ADDRESS is a dotted IPv4 address, or an empty string for a blank address field.
bool parseAddress(const std::string& text, ReceiverAddress& address) {
    if (text.empty()) {
        address.reset();
        return true;
    }
    uint32_t parsed = 0;
    if (!parseIpv4(text, parsed)) return false;
    address = parsed;
    return true;
}

int report(const TransferOutcome& outcome) {
    if (!outcome.success) return fail(outcome.message);
    std::printf("%s\n", outcome.message.c_str());
    return 0;
}

bool addressArgument(const std::string& text, ReceiverAddress& address) {
    if (parseAddress(text, address)) return true;
    (void)usageError("not an IPv4 address: " + text);
    return false;
}

// ADDRESS FILE [--no-verify] [--backup-dir DIR]
int runUploadCommand(const Args& args,
                     TransferOutcome (*upload)(ReceiverAddress, const std::string&, const UploadOptions&)) {
    ReceiverAddress address;
    if (!addressArgument(args[0], address)) return 2;
    UploadOptions options;
    for (size_t i = 2; i < args.size(); ++i) {
        if (!takeUploadOption(args, i, options)) return usageError("unknown option: " + args[i]);
    }
    return report(upload(address, args[1], options));
}

}  // namespace

int usageError(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 2;
}

bool parseIpv4(const std::string& text, uint32_t& address) {
    in_addr parsed{};
    if (inet_pton(AF_INET, text.c_str(), &parsed) != 1) return false;
    address = ntohl(parsed.s_addr);
    return true;
}

bool takeUploadOption(const Args& args, size_t& i, UploadOptions& options) {
    if (args[i] == "--no-verify") {
        options.verify = false;
        return true;
    }
    if (args[i] != "--backup-dir" || i + 1 >= args.size() || args[i + 1].empty()) return false;
    options.backupFolder = args[++i];
    return true;
}

int runDownload(const Args& args) {
    ReceiverAddress address;
    if (!addressArgument(args[0], address)) return 2;
    return report(downloadDatabase(address, args[1]));
}
int runUpload(const Args& args) { return runUploadCommand(args, uploadDatabase); }
int runUploadFreq(const Args& args) { return runUploadCommand(args, uploadProviderList); }

int runCable2Bin(const Args& args) {
    {
        PosixDbFile xml;
        if (!xml.open(args[0], PosixDbFile::Mode::ReadOnly)) return fail(kFailToOpenDb);
    }
    std::vector<uint8_t> list(kProviderFreqListSize, 0);
    loadCableXml(args[0], list.data());
    if (freqListTransponderCount(list.data()) == 0) return fail(kInvalidDbFile);
    (void)storeFreqListChecksum(list.data());
    switch (saveBytesToPath(args[1], list)) {
        case SaveResult::Saved: return 0;
        case SaveResult::OpenFailed: return fail(kFailToOpenDb);
        case SaveResult::WriteFailed: return fail(kFailToWriteDb);
    }
    return 1;
}

}  // namespace kdattool
