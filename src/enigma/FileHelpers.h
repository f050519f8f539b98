// File and line helpers of the import: opening and closing stdio files with diagnostics, the
// line reader every settings parser uses, and finding a file of a settings folder by name.
#pragma once

#include <cstdio>
#include <string>

namespace tovu {

// Work buffer of ReadLine; a line longer than kLinePieceMax characters arrives in pieces.
inline constexpr int kReadLineBufferSize = 1024;
inline constexpr int kLinePieceMax = 1022;

// Opens a stdio stream; null after a message when the path is null or the open fails. A stream
// opened for reading is positioned after a UTF-8 byte-order mark at its start.
[[nodiscard]] FILE* FileOpen(const char* path, const char* mode);
// 0 on success or for a null handle, -1 after "file close failed".
int FileClose(FILE* file);

// Reads one line (LF or CR LF removed) into out, NUL-terminated and zero-padded to outSize bytes.
// 0 when a line was delivered; -1 at the end of the file, on a read error, or after
// "string buffer small" when the line does not fit.
[[nodiscard]] int ReadLine(FILE* file, char* out, int outSize);
// ReadLine without the padding: behind the line only its terminator and one more NUL are written.
// What the parsers use, since they read a line as a string.
[[nodiscard]] int ReadLineUnpadded(FILE* file, char* out, int outSize);

// The path of file `name` in `folder`: folder + "/" + name when that exists, otherwise the
// folder entry whose name equals `name` ignoring ASCII case (the lowest such name byte-wise),
// otherwise folder + "/" + name again.
std::string FolderFilePath(const char* folder, const char* name);

// Opens file `name` of the folder with mode "rb" (FolderFilePath, then FileOpen); the path used
// is stored in `pathUsed`.
[[nodiscard]] FILE* OpenFolderFile(const char* folder, const char* name, std::string& pathUsed);

}  // namespace tovu
