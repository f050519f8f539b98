// The provider frequency list: the 64 KiB block the receiver keeps its cables and transponders
// in, built from a cable.xml file. Numbers inside the list are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tovu {

inline constexpr size_t kProviderFreqListSize = 65536;
inline constexpr size_t kCableCountOffset = 0;  // u32, at most kMaxCables
inline constexpr size_t kCableTableOffset = 4;
inline constexpr size_t kMaxCables = 200;
inline constexpr size_t kCableEntrySize = 34;  // CableEntry: u16 stored transponders, 32-byte name
inline constexpr size_t kCableNameOffset = 2;
inline constexpr size_t kCableNameSize = 32;
inline constexpr size_t kTransponderCountOffset = kCableTableOffset + kMaxCables * kCableEntrySize;  // 6804
inline constexpr size_t kTransponderTableOffset = kTransponderCountOffset + 4;                       // 6808
inline constexpr size_t kMaxTransponders = 3000;
inline constexpr size_t kProviderTransponderSize = 8;  // i32 kHz, u16 kSymbol/s, u8 modulation, u8 annex
inline constexpr size_t kFreqListChecksumOffset =
    kTransponderTableOffset + kMaxTransponders * kProviderTransponderSize;  // 30808
inline constexpr size_t kFreqListFilledSize = kFreqListChecksumOffset + 4;  // 30812: what loadCableXml fills

// Reads the cable.xml at `path` into `list` (at least kFreqListFilledSize bytes): zeroes bytes
// 0..30811, then stores every top-level `cables` element's `cable`s and their `transponder`s up
// to the limits, dropping the rest. A missing or unreadable file leaves both counts 0.
void loadCableXml(const std::string& path, uint8_t* list);

// The number of transponders stored in a list; 0 means nothing usable was found.
[[nodiscard]] uint32_t freqListTransponderCount(const uint8_t* list);

// Stores the list's checksum, the byte sum of bytes 0..30807, little-endian at offset 30808, as
// the list is sent. Returns the checksum.
uint32_t storeFreqListChecksum(uint8_t* list);

}  // namespace tovu
