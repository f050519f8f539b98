#include "db/NameCodec.h"

#include <iconv.h>
#include <array>
#include <cerrno>

namespace tovu {
namespace {

constexpr const char* kCodePage = "CP936";

// One conversion descriptor per direction and thread, opened on first use.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        return cd_;
    }

private:
    iconv_t cd_;
};

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// A code unit's form in the code page, computed once per unit.
struct UnitForm {
    uint8_t length = 0xFF;  // 0xFF: not computed yet
    uint8_t bytes[2] = {};
};

UnitForm computeForm(uint16_t unit) {
    UnitForm form{1, {'?', 0}};
    if (unit == 0) return UnitForm{0, {0, 0}};
    if (unit >= 0xD800 && unit <= 0xDFFF) return form;
    thread_local Converter toCodePage(kCodePage, "UTF-16LE");
    if (!toCodePage.valid()) return form;
    char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    char out[8];
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 2;
    size_t outLeft = sizeof out;
    if (iconv(toCodePage.get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) return form;
    const size_t produced = sizeof out - outLeft;
    if (produced == 0 || produced > 2) return form;
    form.length = static_cast<uint8_t>(produced);
    form.bytes[0] = static_cast<uint8_t>(out[0]);
    form.bytes[1] = produced > 1 ? static_cast<uint8_t>(out[1]) : 0;
    return form;
}

// Decodes one UTF-8 sequence at s[i]; returns the code point and advances i, or -1 for a
// malformed sequence (i then moves past its lead byte).
long nextCodePoint(std::string_view s, size_t& i) {
    const auto c = static_cast<uint8_t>(s[i++]);
    if (c < 0x80) return c;
    int extra;
    long cp;
    long minimum;
    if ((c & 0xE0) == 0xC0) {
        extra = 1, cp = c & 0x1F, minimum = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2, cp = c & 0x0F, minimum = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3, cp = c & 0x07, minimum = 0x10000;
    } else {
        return -1;
    }
    if (i + extra > s.size()) return -1;
    for (int k = 0; k < extra; ++k) {
        const auto cc = static_cast<uint8_t>(s[i + k]);
        if ((cc & 0xC0) != 0x80) return -1;
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += extra;
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
    return cp;
}

}  // namespace

std::string codeUnitToName(uint16_t unit) {
    thread_local std::array<UnitForm, 65536> forms;
    UnitForm& form = forms[unit];
    if (form.length == 0xFF) form = computeForm(unit);
    return std::string(reinterpret_cast<const char*>(form.bytes), form.length);
}

std::string utf8ToName(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const long cp = nextCodePoint(utf8, i);
        if (cp < 0 || cp > 0xFFFF)
            out += '?';
        else if (cp == 0)
            out += '\0';
        else
            out += codeUnitToName(static_cast<uint16_t>(cp));
    }
    return out;
}

std::string nameToUtf8(std::string_view bytes) {
    std::string out;
    thread_local Converter toUtf8("UTF-8", kCodePage);
    if (!toUtf8.valid()) {
        for (char c : bytes)
            out += static_cast<unsigned char>(c) < 0x80 ? std::string(1, c) : std::string(kReplacement);
        return out;
    }
    iconv_t cd = toUtf8.get();
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
        if (rc != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ: an invalid sequence; EINVAL: a lead byte cut off at the end.
        out += kReplacement;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

std::string nameToUtf8(const uint8_t* bytes, size_t maxLength) {
    size_t n = 0;
    while (n < maxLength && bytes[n] != 0) ++n;
    return nameToUtf8(std::string_view(reinterpret_cast<const char*>(bytes), n));
}

}  // namespace tovu
