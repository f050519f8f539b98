#include "enigma/OutputText.h"

#include <cstdio>
#include <cstring>

namespace tovu {
namespace {

char* pad(char* at, int n) {
    for (; n > 0; --n) *at++ = ' ';
    return at;
}

}  // namespace

char* OutputText::line() {
    if (sizeof buffer_ - used_ < kLineMax) flush();
    return buffer_ + used_;
}

void OutputText::flush() {
    if (used_ > 0) std::fwrite(buffer_, 1, used_, stdout);
    used_ = 0;
}

char* OutputText::decimal(char* at, int64_t value, int width) {
    char digits[24];
    int n = 0;
    const bool negative = value < 0;
    uint64_t v = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do digits[n++] = static_cast<char>('0' + v % 10);
    while ((v /= 10) != 0);
    if (negative) digits[n++] = '-';
    at = pad(at, width - n);
    while (n > 0) *at++ = digits[--n];
    return at;
}

char* OutputText::hex(char* at, uint32_t value, int width) {
    char digits[8];
    int n = 0;
    do digits[n++] = "0123456789ABCDEF"[value & 0xF];
    while ((value >>= 4) != 0);
    at = pad(at, width - n);
    while (n > 0) *at++ = digits[--n];
    return at;
}

char* OutputText::text(char* at, const char* s) {
    const size_t n = std::strlen(s);
    std::memcpy(at, s, n);
    return at + n;
}

}  // namespace tovu
