#include "link/Push.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

namespace tovu {
namespace {

PushReport updateReceiver(uint32_t receiver, const PushPlan& plan) {
    const auto start = std::chrono::steady_clock::now();
    PushReport report;
    report.receiver = receiver;
    TransferOutcome outcome = uploadDatabase(receiver, plan.databasePath, plan.options);
    if (!outcome.backupPath.empty()) report.backupPaths.push_back(outcome.backupPath);
    if (outcome.success && !plan.providerPath.empty()) {
        outcome = uploadProviderList(receiver, plan.providerPath, plan.options);
        if (!outcome.backupPath.empty()) report.backupPaths.push_back(outcome.backupPath);
    }
    report.success = outcome.success;
    report.message = outcome.message;
    report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return report;
}

}  // namespace

std::vector<PushReport> pushToReceivers(const std::vector<uint32_t>& receivers, const PushPlan& plan,
                                        const std::function<void(const PushReport&)>& finished,
                                        const std::atomic<bool>& stop) {
    std::atomic<size_t> next{0};
    std::mutex done;
    std::vector<PushReport> reports;
    const auto work = [&] {
        while (!stop.load()) {
            const size_t i = next.fetch_add(1);
            if (i >= receivers.size()) return;
            PushReport report = updateReceiver(receivers[i], plan);
            const std::lock_guard lock(done);
            reports.push_back(std::move(report));
            if (finished) finished(reports.back());
        }
    };
    {
        const size_t workers = std::min(receivers.size(), static_cast<size_t>(std::max(plan.jobs, 1)));
        std::vector<std::jthread> pool;
        for (size_t k = 0; k < workers; ++k) pool.emplace_back(work);
    }  // the pool joins here
    return reports;
}

}  // namespace tovu
