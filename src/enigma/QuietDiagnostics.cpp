#include "enigma/QuietDiagnostics.h"

#include "enigma/SettingsParser.h"

#include <fcntl.h>
#include <unistd.h>

namespace tovu {

QuietDiagnostics::QuietDiagnostics() {
    std::fflush(stdout);
    savedStdout_ = dup(1);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, 1);
        close(null);
    }
    nullNotes_ = std::fopen("/dev/null", "w");
    if (nullNotes_ != nullptr) SetRoundingNoteStream(nullNotes_);
}

QuietDiagnostics::~QuietDiagnostics() {
    std::fflush(stdout);
    if (savedStdout_ >= 0) {
        dup2(savedStdout_, 1);
        close(savedStdout_);
    }
    if (nullNotes_ != nullptr) {
        SetRoundingNoteStream(nullptr);
        std::fclose(nullNotes_);
    }
}

}  // namespace tovu
