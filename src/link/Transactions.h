// The three transfers between files on this computer and the receiver: download the database
// area into a .kdat file, upload a .kdat file, upload a provider frequency list built from
// cable.xml. Each gives back the one outcome the editor shows in a message box.
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

}  // namespace tovu
