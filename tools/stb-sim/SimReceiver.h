// What the simulated receiver does with one connection: read the command frame, then answer a
// read with numbered packets of its storage or take a write into it, checking every packet.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace stbsim {

// The storage the editor addresses: the provider list area from 0x660000 and the 256 KiB
// database area from 0x6A0000 up to 0x6DFFFF.
inline constexpr uint32_t kStorageBase = 0x660000;
inline constexpr uint32_t kStorageSize = 0x80000;

struct Options {
    uint32_t listenAddress = 0x7F000001;  // 127.0.0.1
    std::string dbPath;                   // load the database area from this .kdat file
    std::string savePath;    // write the database area to this .kdat file after each write into it
    bool stall = false;      // read the command, then send nothing
    long closeAfter = -1;    // close after this many packets (-1: never)
    bool badIndex = false;   // the first packet of a read carries an index beyond the count
    bool duplicate = false;  // send every packet of a read twice
};

struct Receiver {
    Options options;
    std::vector<uint8_t> storage = std::vector<uint8_t>(kStorageSize, 0);
};

// Loads the database area (file bytes 0x10000..0x4FFFF) of a .kdat file into the storage.
[[nodiscard]] bool loadDatabaseArea(Receiver& receiver, const std::string& path);
// Writes the storage's database area into a .kdat file with a stamped header.
[[nodiscard]] bool saveDatabaseArea(const Receiver& receiver, const std::string& path);

// Serves one accepted connection to its end and returns the line that describes the transfer.
std::string serveConnection(Receiver& receiver, int connection);

}  // namespace stbsim
