#include "enigma/ScanFields.h"

#include <array>
#include <cstdint>

namespace tovu {
namespace {

// White space as the C locale's isspace sees it.
bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The value of each hexadecimal digit, -1 for every other byte.
constexpr auto kHexDigits = [] {
    std::array<int8_t, 256> digits{};
    for (int c = 0; c < 256; ++c)
        digits[static_cast<size_t>(c)] = static_cast<int8_t>(c >= '0' && c <= '9'   ? c - '0'
                                                             : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                             : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                                    : -1);
    return digits;
}();

int hexDigit(char c) { return kHexDigits[static_cast<uint8_t>(c)]; }

// At most this many digits: no sum can overflow, so the value is what strtoul or strtol gives,
// cut to the width of the conversion as sscanf does.
constexpr int kMaxDigits = 15;

// A hexadecimal number without sign or "0x" prefix at `p`; false when it is not in that form.
bool readHex(const char*& p, unsigned& value) {
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) return false;
    uint64_t v = 0;  // wraps harmlessly past kMaxDigits digits, which are refused
    int digits = 0;
    for (int d; (d = hexDigit(*p)) >= 0; ++p, ++digits) v = v * 16 + static_cast<uint64_t>(d);
    if (digits == 0 || digits > kMaxDigits) return false;
    value = static_cast<unsigned>(v);
    return true;
}

// A decimal number with an optional sign at `p`; false when it is not in that form.
bool readDecimal(const char*& p, int& value) {
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    uint64_t v = 0;  // wraps harmlessly past kMaxDigits digits, which are refused
    int digits = 0;
    for (; *p >= '0' && *p <= '9'; ++p, ++digits) v = v * 10 + static_cast<uint64_t>(*p - '0');
    if (digits == 0 || digits > kMaxDigits) return false;
    value = static_cast<int>(static_cast<uint32_t>(negative ? 0 - v : v));
    return true;
}

}  // namespace

int ScanPlainFields(const char* text, const char* format, void* const* out, int count) {
    int read = 0;
    const char* p = text;
    for (const char* f = format; *f != '\0'; ++f) {
        if (isSpace(*f)) {
            while (isSpace(*p)) ++p;
        } else if (*f == '%') {
            ++f;
            if (read >= count || (*f != 'x' && *f != 'd')) return -1;
            while (isSpace(*p)) ++p;
            const bool ok = *f == 'x' ? readHex(p, *static_cast<unsigned*>(out[read]))
                                      : readDecimal(p, *static_cast<int*>(out[read]));
            if (!ok) return -1;
            ++read;
        } else if (*p == *f) {
            ++p;
        } else {
            return -1;
        }
    }
    return read;
}

}  // namespace tovu
