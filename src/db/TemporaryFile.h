// The new content of a file being saved: written beside the file and put in its place only when
// complete. It is created unnamed (O_TMPFILE) where the file system allows it, so a save that is
// killed leaves nothing behind; elsewhere it has a hidden name with a fixed marker,
// ".<name>.tovu-save-XXXXXX", and a later save of the same file removes such leftovers once they
// are an hour old.
#pragma once

#include "db/DbFile.h"

#include <string>

namespace tovu {

class TemporaryFile {
public:
    TemporaryFile() = default;
    ~TemporaryFile();  // a named file that was not committed is removed
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Creates the file in the folder of `target`; false, with errno set, when the folder does not
    // allow it. `unnamedAllowed` false takes the named form at once.
    [[nodiscard]] bool create(const std::string& target, bool unnamedAllowed = true);
    PosixDbFile& file() { return file_; }
    // Closes the file and renames it over the target.
    [[nodiscard]] bool commit();

private:
    std::string target_;
    std::string named_;  // its hidden name, once it has one
    PosixDbFile file_;
};

// Removes hidden leftovers of earlier saves of `target` that are more than an hour old.
void removeStaleTemporaries(const std::string& target);

// The name `path` finally stands for once its symbolic links are followed, whether that file
// exists or not; empty when the links loop.
[[nodiscard]] std::string followLinks(std::string path);

}  // namespace tovu
