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
    in_addr parsed{};
    if (inet_pton(AF_INET, text.c_str(), &parsed) != 1) return false;
    address = ntohl(parsed.s_addr);
    return true;
}

int report(const TransferOutcome& outcome) {
    if (!outcome.success) return fail(outcome.message);
    std::printf("%s\n", outcome.message.c_str());
    return 0;
}

int run(const Args& args, TransferOutcome (*transaction)(ReceiverAddress, const std::string&)) {
    ReceiverAddress address;
    if (!parseAddress(args[0], address)) {
        std::fprintf(stderr, "not an IPv4 address: %s\n", args[0].c_str());
        return 2;
    }
    return report(transaction(address, args[1]));
}

}  // namespace

int runDownload(const Args& args) { return run(args, downloadDatabase); }
int runUpload(const Args& args) { return run(args, uploadDatabase); }
int runUploadFreq(const Args& args) { return run(args, uploadProviderList); }

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
