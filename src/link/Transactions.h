// The three transfers between files on this computer and the receiver: download the database
// area into a .kdat file, upload a .kdat file, upload a provider frequency list built from
// cable.xml. Each gives back the one outcome the editor shows in a message box. An upload first
// keeps a backup of what the receiver held and afterwards reads back what it stored.
#pragma once

#include "link/StbLink.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tovu {

// The receiver's IPv4 address as the address field delivers it (first dotted field in the most
// significant byte), or nothing when the field is blank.
using ReceiverAddress = std::optional<uint32_t>;

enum class OutcomeCaption {
    Message,          // the caption "Message"
    ApplicationName,  // the application's name
};

struct TransferOutcome {
    std::string message;  // exactly the text shown
    OutcomeCaption caption = OutcomeCaption::Message;
    bool success = false;
    std::string backupPath = {};  // the copy of what an upload overwrote, once it was saved
};

// How long the read-back after an upload may keep showing other data than was sent: a receiver
// may need a moment to store what it got.
inline constexpr int kVerifyWindowMs = 3000;

// What an upload does besides sending.
struct UploadOptions {
    StbLink::LinkSettings link;
    bool verify = true;                    // read the area back and compare it with what was sent
    std::string backupFolder;              // empty: defaultBackupFolder()
    int verifyWindowMs = kVerifyWindowMs;  // read back again until a match or until this passed
};

// Each runs its transfers with the link's usual time-outs, or with `link`.
[[nodiscard]] TransferOutcome downloadDatabase(ReceiverAddress receiver, const std::string& saveFilePath);
[[nodiscard]] TransferOutcome downloadDatabase(ReceiverAddress receiver, const std::string& saveFilePath,
                                               const StbLink::LinkSettings& link);
[[nodiscard]] TransferOutcome uploadDatabase(ReceiverAddress receiver, const std::string& uploadFilePath);
[[nodiscard]] TransferOutcome uploadDatabase(ReceiverAddress receiver, const std::string& uploadFilePath,
                                             const StbLink::LinkSettings& link);
[[nodiscard]] TransferOutcome uploadProviderList(ReceiverAddress receiver,
                                                 const std::string& providerFilePath);
[[nodiscard]] TransferOutcome uploadProviderList(ReceiverAddress receiver,
                                                 const std::string& providerFilePath,
                                                 const StbLink::LinkSettings& link);
// The uploads with their backup and read-back as `options` say; the overloads above use the
// usual options (with `link`).
[[nodiscard]] TransferOutcome uploadDatabase(ReceiverAddress receiver, const std::string& uploadFilePath,
                                             const UploadOptions& options);
[[nodiscard]] TransferOutcome uploadProviderList(ReceiverAddress receiver,
                                                 const std::string& providerFilePath,
                                                 const UploadOptions& options);
// Uploads a backup to the receiver, with its own backup and read-back: a .bin file as the
// provider list (exactly 65536 bytes with a matching checksum), anything else as a .kdat file.
[[nodiscard]] TransferOutcome restoreBackup(ReceiverAddress receiver, const std::string& backupPath,
                                            const UploadOptions& options);

}  // namespace tovu
