// Loading a .kdat file into an image and saving an image safely: the target is replaced only by
// a complete, flushed file, and a failed save leaves it exactly as it was.
#pragma once

#include "db/DbFile.h"
#include "db/DbImage.h"

#include <functional>
#include <string>
#include <vector>

namespace tovu {

enum class LoadResult { Loaded, OpenFailed, Invalid };
enum class SaveResult { Saved, OpenFailed, WriteFailed };

// Messages the editor shows for these outcomes (caption "Message").
inline constexpr const char* kFailToOpenDb = "Fail to open DB!";
inline constexpr const char* kInvalidDbFile = "Invalid DB File!";
inline constexpr const char* kFailToWriteDb = "Fail to write DB!";

// Open, validate, then read and sanitize. On OpenFailed or Invalid the image is unchanged.
[[nodiscard]] LoadResult loadDbFromPath(ChannelDbImage& image, const std::string& path);

// Writes a file through a temporary file in the target's folder. The temporary file starts as a
// copy of the existing target (so a longer file keeps its length and tail bytes), `writeContent`
// writes into it, then it is flushed to disk, given the target's permission bits and renamed over
// the target. A symbolic link is followed (to a file that may not exist yet). Where the folder does
// not let us create a file, or the target has other hard links, the target is written in place
// instead, its old bytes kept in memory and put back if the write fails. OpenFailed: the target
// cannot be opened or created; WriteFailed: any later step failed. On failure the target keeps
// its content and no temporary file remains.
[[nodiscard]] SaveResult saveFileSafely(const std::string& path,
                                        const std::function<bool(DbFile&)>& writeContent);

// Makes `bytes` the whole content of the file at `path`, through the same safe save.
[[nodiscard]] SaveResult saveBytesToPath(const std::string& path, const std::vector<uint8_t>& bytes);

// Saves the image as "&Save Change to DB" does: writeDbFile through saveFileSafely.
[[nodiscard]] SaveResult saveDbToPath(const ChannelDbImage& image, const std::string& path);

}  // namespace tovu
