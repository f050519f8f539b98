// Runs build/bin/stb-sim as a child process on a loopback address of its own.
#pragma once

#include <sys/types.h>
#include <cstdint>
#include <string>
#include <vector>

namespace tovu::test {

// 127.a.b.c as a host-order address.
constexpr uint32_t loopback(uint8_t a, uint8_t b, uint8_t c) {
    return (uint32_t{127} << 24) | (uint32_t{a} << 16) | (uint32_t{b} << 8) | c;
}
std::string dottedAddress(uint32_t address);

class SimProcess {
public:
    // Starts the simulator on `address` with the extra options and waits until it listens.
    explicit SimProcess(uint32_t address, const std::vector<std::string>& options = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    [[nodiscard]] bool listening() const { return listening_; }
    uint32_t address() const { return address_; }
    // The next line the simulator printed, without its newline; empty on time-out or its end.
    std::string nextLine(int timeoutMs = 8000);
    // Asks it to stop with SIGTERM and gives its exit status (-1 when it did not exit normally).
    int stop();

private:
    uint32_t address_;
    pid_t pid_ = -1;
    int output_ = -1;
    bool listening_ = false;
    std::string pending_;
};

}  // namespace tovu::test
