// Text for standard output built in a buffer and written in large pieces: for the long listings
// of the import, whose bytes are those the printf formats named by the callers would give.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tovu {

class OutputText {
public:
    static constexpr size_t kLineMax = 4096;  // room one line may take

    OutputText() = default;
    ~OutputText() { flush(); }
    OutputText(const OutputText&) = delete;
    OutputText& operator=(const OutputText&) = delete;

    // Where the next line (at most kLineMax bytes) goes; end() takes it in.
    char* line();
    void end(const char* lineEnd) { used_ = static_cast<size_t>(lineEnd - buffer_); }
    void flush();

    // Each writes at `at` and gives the position behind what it wrote: printf's %<width>d (and
    // %<width>u), %<width>X and %s.
    static char* decimal(char* at, int64_t value, int width);
    static char* hex(char* at, uint32_t value, int width);
    static char* text(char* at, const char* s);

private:
    char buffer_[1 << 16];
    size_t used_ = 0;
};

}  // namespace tovu
