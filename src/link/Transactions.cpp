// The three transfers between files and the receiver, each ending in the one outcome the editor
// shows. None of them touches the editor's in-memory image. Uploads keep a backup of what they
// overwrite and read back what they sent.
#include "link/Transactions.h"

#include "db/DbFileFormat.h"
#include "db/DbStore.h"
#include "freqlist/ProviderFreqList.h"
#include "link/Backups.h"
#include "link/StbLink.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <thread>

namespace tovu {
namespace {

constexpr const char* kFillIpAddress = "Please Fill Ip address of server!";
constexpr const char* kNotEnoughMemory = "Not enough memory!";
constexpr const char* kCannotConnect = "Cannot connect to STB, Please check!";
constexpr const char* kDownloadCompleted = "Download chan information completed!";
constexpr const char* kUploadCompleted = "Upload chan DB completed";

// The pause between two read-backs of an upload that did not match yet.
constexpr auto kVerifyPause = std::chrono::milliseconds(100);

TransferOutcome failure(const std::string& message, OutcomeCaption caption) {
    return {message, caption, false, {}};
}
TransferOutcome success(const char* message) { return {message, OutcomeCaption::ApplicationName, true, {}}; }

std::unique_ptr<uint8_t[]> allocateZeroed(size_t size) {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]());
}

// A storage area of the receiver that an upload overwrites, and what the user calls its content.
struct Area {
    uint32_t address;
    uint32_t length;
    BackupKind kind;
    const char* content;
};
constexpr Area kDatabaseArea = {kDbImageAddress, kDbImageLength, BackupKind::Database, "channel list"};
constexpr Area kProviderArea = {kProviderListAddress, kProviderFreqListSize, BackupKind::ProviderList,
                                "provider list"};

// A downloaded .kdat file: the received area behind a zeroed header block, then the header
// stamped over it.
std::function<bool(DbFile&)> downloadedFileWriter(const uint8_t* fileBuffer) {
    return [fileBuffer](DbFile& file) {
        return file.seek(0) && file.write(fileBuffer, kDbFileSize) && stampFileHeader(file) == 1;
    };
}

// Reads what the receiver holds in the area and keeps it in the backups folder: the database area
// as a .kdat file built as a download builds one, the provider list as read. On success the
// outcome carries the backup's path and no message.
TransferOutcome takeBackup(uint32_t receiver, const Area& area, const UploadOptions& options) {
    const std::string failed = std::string("The backup of the receiver's ") + area.content;
    auto buffer = allocateZeroed(kDbFileSize);  // room for either area
    if (!buffer) return failure(kNotEnoughMemory, OutcomeCaption::ApplicationName);
    uint8_t* data = area.kind == BackupKind::Database ? buffer.get() + kDbAreaOffset : buffer.get();
    if (StbLink::transferWith(options.link, receiver, kFromReceiver, data, area.address, area.length) != 1)
        return failure(std::string(kCannotConnect) + "\n" + failed + " failed. Nothing was uploaded.",
                       OutcomeCaption::ApplicationName);
    const std::string folder = options.backupFolder.empty() ? defaultBackupFolder() : options.backupFolder;
    const uint8_t* bytes = buffer.get();
    const std::string path = writeBackup(
        folder, receiver, area.kind,
        area.kind == BackupKind::Database ? downloadedFileWriter(bytes) : [bytes, &area](DbFile& file) {
            return file.seek(0) && file.write(bytes, area.length);
        });
    if (path.empty())
        return failure(std::string(kFailToWriteDb) + "\n" + failed + " could not be saved in " + folder +
                           ". Nothing was uploaded.",
                       OutcomeCaption::Message);
    return {{}, OutcomeCaption::ApplicationName, true, path};
}

// Backs the area up, sends `data` into it and, when asked, reads it back until it matches what
// was sent. Only a match (or no read-back) counts as success.
TransferOutcome backupAndSend(uint32_t receiver, const Area& area, uint8_t* data,
                              const UploadOptions& options) {
    TransferOutcome backup = takeBackup(receiver, area, options);
    if (!backup.success) return backup;
    const std::string saved =
        std::string("Your previous ") + area.content + " is saved in " + backup.backupPath + ".";
    auto outcome = [&backup](std::string message, bool ok) {
        return TransferOutcome{std::move(message), OutcomeCaption::ApplicationName, ok, backup.backupPath};
    };
    if (StbLink::transferWith(options.link, receiver, kToReceiver, data, area.address, area.length) != 1)
        return outcome(std::string(kCannotConnect) + "\n" + saved, false);
    if (!options.verify) return outcome(kUploadCompleted, true);

    auto readBack = allocateZeroed(area.length);
    if (!readBack) return outcome(kNotEnoughMemory, false);
    const auto until = StbLink::Clock::now() + std::chrono::milliseconds(std::max(options.verifyWindowMs, 0));
    bool read = false;  // at least one read-back arrived
    for (;;) {
        const bool arrived = StbLink::transferWith(options.link, receiver, kFromReceiver, readBack.get(),
                                                   area.address, area.length) == 1;
        read = read || arrived;
        if (arrived && std::memcmp(readBack.get(), data, area.length) == 0)
            return outcome(kUploadCompleted, true);
        const auto now = StbLink::Clock::now();
        if (now >= until) break;
        std::this_thread::sleep_for(std::min<StbLink::Clock::duration>(kVerifyPause, until - now));
    }
    if (!read)
        return outcome(
            std::string(kCannotConnect) + "\nThe upload could not be read back to check it. " + saved, false);
    return outcome("The receiver holds different data than was sent. " + saved, false);
}

UploadOptions withLink(const StbLink::LinkSettings& link) {
    UploadOptions options;
    options.link = link;
    return options;
}

}  // namespace

TransferOutcome downloadDatabase(ReceiverAddress receiver, const std::string& saveFilePath) {
    return downloadDatabase(receiver, saveFilePath, StbLink::LinkSettings{});
}

TransferOutcome uploadDatabase(ReceiverAddress receiver, const std::string& uploadFilePath) {
    return uploadDatabase(receiver, uploadFilePath, UploadOptions{});
}

TransferOutcome uploadProviderList(ReceiverAddress receiver, const std::string& providerFilePath) {
    return uploadProviderList(receiver, providerFilePath, UploadOptions{});
}

TransferOutcome uploadDatabase(ReceiverAddress receiver, const std::string& uploadFilePath,
                               const StbLink::LinkSettings& link) {
    return uploadDatabase(receiver, uploadFilePath, withLink(link));
}

TransferOutcome uploadProviderList(ReceiverAddress receiver, const std::string& providerFilePath,
                                   const StbLink::LinkSettings& link) {
    return uploadProviderList(receiver, providerFilePath, withLink(link));
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
    // The file is replaced only by a complete copy, so a failed write leaves it as it was.
    if (saveFileSafely(saveFilePath, downloadedFileWriter(buffer.get())) != SaveResult::Saved)
        return failure(kFailToWriteDb, OutcomeCaption::Message);
    return success(kDownloadCompleted);
}

TransferOutcome uploadDatabase(ReceiverAddress receiver, const std::string& uploadFilePath,
                               const UploadOptions& options) {
    if (!receiver) return failure(kFillIpAddress, OutcomeCaption::Message);
    auto receiverBlock = allocateZeroed(kReceiverBlockReadLength);
    if (!receiverBlock) return failure(kNotEnoughMemory, OutcomeCaption::ApplicationName);
    // The receiver is asked for its header before the file is looked at.
    if (StbLink::transferWith(options.link, *receiver, kFromReceiver, receiverBlock.get(),
                              kReceiverBlockAddress, kReceiverBlockReadLength) != 1)
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
    return backupAndSend(*receiver, kDatabaseArea, fileBuffer.get() + kDbAreaOffset, options);
}

TransferOutcome uploadProviderList(ReceiverAddress receiver, const std::string& providerFilePath,
                                   const UploadOptions& options) {
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
    return backupAndSend(*receiver, kProviderArea, list.get(), options);
}

TransferOutcome restoreBackup(ReceiverAddress receiver, const std::string& backupPath,
                              const UploadOptions& options) {
    if (!backupPath.ends_with(".bin")) return uploadDatabase(receiver, backupPath, options);
    if (!receiver) return failure(kFillIpAddress, OutcomeCaption::Message);
    PosixDbFile file;
    if (!file.open(backupPath, PosixDbFile::Mode::ReadOnly))
        return failure(kFailToOpenDb, OutcomeCaption::Message);
    auto list = allocateZeroed(kProviderFreqListSize);
    if (!list) return failure(kNotEnoughMemory, OutcomeCaption::ApplicationName);
    // A provider list as the receiver keeps it: exactly its size, with its checksum in place.
    if (file.length() != static_cast<int64_t>(kProviderFreqListSize) ||
        !file.readExact(list.get(), kProviderFreqListSize) ||
        readLe32(list.get() + kFreqListChecksumOffset) != byteSum(list.get(), kFreqListChecksumOffset))
        return failure(kInvalidDbFile, OutcomeCaption::Message);
    return backupAndSend(*receiver, kProviderArea, list.get(), options);
}

}  // namespace tovu
