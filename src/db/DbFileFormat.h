// The .kdat file: a 64 KiB header block ("kdib" header + zeros) followed by the receiver's
// 256 KiB database area, in which the image's four blocks stand in the order of kBlockTable.
#pragma once

#include "db/DbFile.h"
#include "db/DbImage.h"

namespace tovu {

inline constexpr size_t kDbFileSize = 0x50000;
inline constexpr size_t kHeaderBlockSize = 0x10000;
inline constexpr size_t kDbAreaOffset = 0x10000;  // file offset of the database area
inline constexpr size_t kDbAreaSize = 0x40000;
inline constexpr size_t kDbFileHeaderSize = 32;

// File offset of block k.
constexpr size_t blockFileOffset(size_t k) { return kDbAreaOffset + kBlockTable[k]; }

// Checks the checksums of the blocks the editor uses (0 and 1), then the header.
[[nodiscard]] bool validateDbFile(DbFile& file);
// Checks the "kdib" header: length word, magic and the two sums over bytes 32 to the end.
[[nodiscard]] bool checkFileHeader(DbFile& file);
// Loads the four blocks into the image (after validateDbFile succeeded), then sanitizes it.
// Returns 1, or 0 when a block cannot be read; the image is then unchanged.
[[nodiscard]] int readDbFile(ChannelDbImage& image, DbFile& file);
// Clamps the stored counts to what the lists can hold.
void sanitizeImage(ChannelDbImage& image);
// Writes the four blocks with fresh checksums, then stamps the header. 1, or 0 when any seek
// or write failed.
[[nodiscard]] int writeDbFile(const ChannelDbImage& image, DbFile& file);
// Computes the header from the file's present content and writes the 64 KiB header block.
// 1, or 0 when any read, seek or write failed.
[[nodiscard]] int stampFileHeader(DbFile& file);
// Puts the receiver's first 72 bytes over image bytes 0..71 of block 0 in a 0x50000-byte file
// buffer and recomputes block 0's checksum there. Returns the new checksum.
uint32_t mergeReceiverHeader(const uint8_t* receiverBytes, uint8_t* fileBuffer);

}  // namespace tovu
