// What the simulated receiver does with the transfer a command frame asks for: answer a read with
// numbered packets of its storage or take a write into it, checking every packet; or misbehave
// in the ways its fault options name.
#pragma once

#include "SimIo.h"

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
    std::string savePath;  // write the database area to this .kdat file after each write into it
    // Faults, to try the editor against a receiver that misbehaves:
    bool stall = false;                  // read the command, then send nothing
    int64_t closeAfter = -1;             // close after this many packets (-1: never)
    bool reset = false;                  // ... with a reset instead of a plain close
    bool badIndex = false;               // the first packet of a read carries an index beyond the count
    bool duplicate = false;              // send every packet of a read twice
    int64_t answerLength = -1;           // answer every read with the packets of a read of this length
    int64_t lengthField = -1;            // put this into the length field of every packet of a read
    bool repeatFirst = false;            // answer a read with its first packet, again and again
    bool slowRead = false;               // answer a read one byte at a time, a second apart
    bool slowWrite = false;              // take a write one byte at a time, a second apart
    bool ignoreWrite = false;            // take the command of a write, then read nothing
    bool corruptWrites = false;          // store every write with one byte changed
    int64_t lagWritesMs = 0;             // reads show the old data for this long after a write
    bool refuseReadsAfterWrite = false;  // once a write was stored, close every read unanswered
};

// The bytes a write replaced, which reads still show until `until`.
struct LaggingWrite {
    uint32_t address;
    std::vector<uint8_t> before;
    Clock::time_point until;
};

struct Receiver {
    Options options;
    std::vector<uint8_t> storage = std::vector<uint8_t>(kStorageSize, 0);
    std::vector<LaggingWrite> lagging;  // oldest first
    bool written = false;               // a write has been stored
};

// Loads the database area (file bytes 0x10000..0x4FFFF) of a .kdat file into the storage.
[[nodiscard]] bool loadDatabaseArea(Receiver& receiver, const std::string& path);
// Writes the storage's database area into a .kdat file with a stamped header.
[[nodiscard]] bool saveDatabaseArea(const Receiver& receiver, const std::string& path);

// Serves the transfer that a complete command frame asked for, to its end, and returns the line
// that describes it.
std::string serveCommand(Receiver& receiver, const Connection& connection, const uint8_t* frame);

}  // namespace stbsim
