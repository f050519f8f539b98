// The three transfers between files and the receiver, each ending in the one outcome the editor
// shows. None of them touches the editor's in-memory image.
#include "link/Transactions.h"

#include "db/DbFileFormat.h"
#include "db/DbStore.h"
#include "freqlist/ProviderFreqList.h"
#include "link/StbLink.h"

#include <cstring>
#include <memory>
#include <new>

namespace tovu {
namespace {

constexpr const char* kFillIpAddress = "Please Fill Ip address of server!";
constexpr const char* kNotEnoughMemory = "Not enough memory!";
constexpr const char* kCannotConnect = "Cannot connect to STB, Please check!";
constexpr const char* kDownloadCompleted = "Download chan information completed!";
constexpr const char* kUploadCompleted = "Upload chan DB completed";

TransferOutcome failure(const char* message, OutcomeCaption caption) { return {message, caption, false}; }
TransferOutcome success(const char* message) { return {message, OutcomeCaption::ApplicationName, true}; }

std::unique_ptr<uint8_t[]> allocateZeroed(size_t size) {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]());
}

}  // namespace

TransferOutcome downloadDatabase(ReceiverAddress receiver, const std::string& saveFilePath) {
    return downloadDatabase(receiver, saveFilePath, StbLink::LinkSettings{});
}

TransferOutcome uploadDatabase(ReceiverAddress receiver, const std::string& uploadFilePath) {
    return uploadDatabase(receiver, uploadFilePath, StbLink::LinkSettings{});
}

TransferOutcome uploadProviderList(ReceiverAddress receiver, const std::string& providerFilePath) {
    return uploadProviderList(receiver, providerFilePath, StbLink::LinkSettings{});
}

TransferOutcome downloadDatabase(ReceiverAddress receiver, const std::string& saveFilePath,
                                 const StbLink::LinkSettings& link) {
    {
        // The file is opened (and created when absent) before anything else, so a blank address
        // still leaves a new, empty file behind. An existing file keeps its content.
        PosixDbFile file;
        if (!file.open(saveFilePath, PosixDbFile::Mode::ReadWriteCreate))
            return failure(kFailToOpenDb, OutcomeCaption::Message);
    }
    if (!receiver) return failure(kFillIpAddress, OutcomeCaption::Message);
    auto buffer = allocateZeroed(kDbFileSize);
    if (!buffer) return failure(kNotEnoughMemory, OutcomeCaption::ApplicationName);
    if (StbLink::transferWith(link, *receiver, kFromReceiver, buffer.get() + kDbAreaOffset, kDbImageAddress,
                              kDbImageLength) != 1)
        return failure(kCannotConnect, OutcomeCaption::ApplicationName);

    // The received area goes behind a zeroed header block, then the header is stamped. The file
    // is replaced only by a complete copy, so a failed write leaves it as it was.
    std::memset(buffer.get(), 0, kHeaderBlockSize);
    const SaveResult saved = saveFileSafely(saveFilePath, [&buffer](DbFile& file) {
        return file.seek(0) && file.write(buffer.get(), kDbFileSize) && stampFileHeader(file) == 1;
    });
    if (saved != SaveResult::Saved) return failure(kFailToWriteDb, OutcomeCaption::Message);
    return success(kDownloadCompleted);
}

TransferOutcome uploadDatabase(ReceiverAddress receiver, const std::string& uploadFilePath,
                               const StbLink::LinkSettings& link) {
    if (!receiver) return failure(kFillIpAddress, OutcomeCaption::Message);
    auto receiverBlock = allocateZeroed(kReceiverBlockReadLength);
    if (!receiverBlock) return failure(kNotEnoughMemory, OutcomeCaption::ApplicationName);
    // The receiver is asked for its header before the file is looked at.
    if (StbLink::transferWith(link, *receiver, kFromReceiver, receiverBlock.get(), kReceiverBlockAddress,
                              kReceiverBlockReadLength) != 1)
        return failure(kCannotConnect, OutcomeCaption::ApplicationName);
    auto fileBuffer = allocateZeroed(kDbFileSize);
    if (!fileBuffer) return failure(kNotEnoughMemory, OutcomeCaption::ApplicationName);

    PosixDbFile file;
    if (!file.open(uploadFilePath, PosixDbFile::Mode::ReadOnly))
        return failure(kFailToOpenDb, OutcomeCaption::Message);
    size_t filled = 0;
    while (filled < kDbFileSize) {
        const int64_t got = file.read(fileBuffer.get() + filled, kDbFileSize - filled);
        if (got <= 0) break;
        filled += static_cast<size_t>(got);
    }
    if (!validateDbFile(file)) return failure(kInvalidDbFile, OutcomeCaption::Message);

    (void)mergeReceiverHeader(receiverBlock.get(), fileBuffer.get());
    if (StbLink::transferWith(link, *receiver, kToReceiver, fileBuffer.get() + kDbAreaOffset, kDbImageAddress,
                              kDbImageLength) != 1)
        return failure(kCannotConnect, OutcomeCaption::ApplicationName);
    return success(kUploadCompleted);
}

TransferOutcome uploadProviderList(ReceiverAddress receiver, const std::string& providerFilePath,
                                   const StbLink::LinkSettings& link) {
    if (!receiver) return failure(kFillIpAddress, OutcomeCaption::Message);
    {
        // Only to see that the file can be opened.
        PosixDbFile file;
        if (!file.open(providerFilePath, PosixDbFile::Mode::ReadOnly))
            return failure(kFailToOpenDb, OutcomeCaption::Message);
    }
    auto list = allocateZeroed(kProviderFreqListSize);
    if (!list) return failure(kNotEnoughMemory, OutcomeCaption::ApplicationName);
    loadCableXml(providerFilePath, list.get());
    if (freqListTransponderCount(list.get()) == 0) return failure(kInvalidDbFile, OutcomeCaption::Message);
    (void)storeFreqListChecksum(list.get());
    if (StbLink::transferWith(link, *receiver, kToReceiver, list.get(), kProviderListAddress,
                              kProviderFreqListSize) != 1)
        return failure(kCannotConnect, OutcomeCaption::ApplicationName);
    return success(kUploadCompleted);
}

}  // namespace tovu
