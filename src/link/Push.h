// Updating many receivers at once: a fixed pool of workers takes receivers from a shared index,
// and each receiver gets the very upload the editor runs (backup, the receiver's header kept,
// read-back), then optionally the provider list the same way. A receiver that fails, stalls or
// closes holds up only its own worker.
#pragma once

#include "link/Transactions.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tovu {

inline constexpr int kDefaultPushJobs = 8;

struct PushPlan {
    std::string databasePath;  // the .kdat file every receiver gets
    std::string providerPath;  // a cable.xml sent after it; empty: none
    UploadOptions options;
    int jobs = kDefaultPushJobs;  // receivers served at once
};

// How one receiver's update ended.
struct PushReport {
    uint32_t receiver = 0;
    bool success = false;
    std::string message;  // the outcome of the last transaction that ran
    double seconds = 0;
    std::vector<std::string> backupPaths;  // the backups taken, database first
};

// Runs the plan for the receivers, `jobs` at a time. `finished` is called for each receiver as it
// finishes, from the worker threads but never two at once. Once `stop` is set no further receiver
// is started; those already started run to their end. Gives the reports in the order the
// receivers finished.
std::vector<PushReport> pushToReceivers(const std::vector<uint32_t>& receivers, const PushPlan& plan,
                                        const std::function<void(const PushReport&)>& finished,
                                        const std::atomic<bool>& stop);

}  // namespace tovu
