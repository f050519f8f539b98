// Silences the import's diagnostics, its lines on standard output and its rounding notes, while
// an object of this class lives. For fuzzing and benchmarks, where a run prints thousands of lines.
#pragma once

#include <cstdio>

namespace tovu {

class QuietDiagnostics {
public:
    QuietDiagnostics();
    ~QuietDiagnostics();
    QuietDiagnostics(const QuietDiagnostics&) = delete;
    QuietDiagnostics& operator=(const QuietDiagnostics&) = delete;

private:
    int savedStdout_ = -1;
    FILE* nullNotes_ = nullptr;
};

}  // namespace tovu
