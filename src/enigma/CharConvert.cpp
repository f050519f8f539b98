#include "enigma/CharConvert.h"

#include "db/NameCodec.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tovu {

Utf8Decoder utf8Decoder;

namespace {

constexpr size_t kWorkSize = 1024;

// Takes one continuation byte: its low six bits, or -1 when none is left (the position then
// stays) or when the byte is not of the form 10xxxxxx (it is consumed all the same).
int32_t takeContinuation() {
    if (utf8Decoder.position >= utf8Decoder.length) return -1;
    const uint8_t c = utf8Decoder.bytes[utf8Decoder.position++];
    return (c & 0xC0) == 0x80 ? (c & 0x3F) : -1;
}

// Takes all `count` continuation bytes before judging any of them.
int32_t takeSequence(int32_t lead, int count) {
    int32_t value = lead;
    bool ok = true;
    for (int i = 0; i < count; ++i) {
        const int32_t bits = takeContinuation();
        if (bits < 0) ok = false;
        value = (value << 6) | (bits & 0x3F);
    }
    return ok ? value : -1;
}

}  // namespace

void Utf8DecoderInit(const uint8_t* bytes, size_t length) {
    utf8Decoder.bytes = bytes;
    utf8Decoder.length = length;
    utf8Decoder.position = 0;
}

int32_t Utf8DecoderNext() {
    if (utf8Decoder.position == utf8Decoder.length) return Utf8End;
    if (utf8Decoder.position > utf8Decoder.length) return Utf8Error;
    const uint8_t c = utf8Decoder.bytes[utf8Decoder.position++];
    if (c < 0x80) return c;
    if ((c & 0xE0) == 0xC0) {
        const int32_t v = takeSequence(c & 0x1F, 1);
        return v >= 0x80 ? v : Utf8Error;
    }
    if ((c & 0xF0) == 0xE0) {
        const int32_t v = takeSequence(c & 0x0F, 2);
        return v >= 0x800 && (v < 0xD800 || v > 0xDFFF) ? v : Utf8Error;
    }
    if ((c & 0xF8) == 0xF0) {
        const int32_t v = takeSequence(c & 0x07, 3);
        return v >= 0x10000 && v <= 0x10FFFF ? v : Utf8Error;
    }
    return Utf8Error;
}

namespace {

// A code unit's GB2312 form: `length` 1 to 3 is the form's length plus 1; 0 while not looked up.
struct UnitForm {
    uint8_t length;
    char bytes[2];
};

const UnitForm& unitForm(uint16_t unit) {
    static UnitForm forms[65536];
    UnitForm& form = forms[unit];
    if (form.length == 0) {
        const std::string bytes = codeUnitToName(unit);
        const size_t n = strnlen(bytes.data(), bytes.size() < 2 ? bytes.size() : 2);
        std::memcpy(form.bytes, bytes.data(), n);
        form.length = static_cast<uint8_t>(n + 1);
    }
    return form;
}

}  // namespace

void WideCharToAnsi(char* out, uint16_t unit) {
    const UnitForm& form = unitForm(unit);
    std::memcpy(out, form.bytes, form.length - 1u);
}

int ConvertName(const char* source, uint8_t* ucs2, int ucs2Size, char* gb, int gbSize) {
    char work[kWorkSize];
    size_t workLength = 0;
    const size_t length = std::strlen(source);
    const auto* bytes = reinterpret_cast<const uint8_t*>(source);
    Utf8DecoderInit(bytes, length);
    int stored = 0;
    // ASCII characters are their own code units and, in the code page, their own forms.
    static const bool asciiIsItself = [] {
        for (uint16_t c = 1; c < 0x80; ++c)
            if (unitForm(c).length != 2 || unitForm(c).bytes[0] != static_cast<char>(c)) return false;
        return true;
    }();
    for (;;) {
        // A run of ASCII characters at once, then one character through the decoder.
        size_t& at = utf8Decoder.position;
        const size_t room = !asciiIsItself
                                ? 0
                                : std::min({length - std::min(at, length),
                                            static_cast<size_t>(std::max(0, ucs2Size / 2 - stored)),
                                            kWorkSize - 1 - workLength});
        size_t run = 0;
        while (run < room && bytes[at + run] < 0x80) {
            ucs2[2 * (stored + run)] = 0;
            ucs2[2 * (stored + run) + 1] = bytes[at + run];
            work[workLength + run] = static_cast<char>(bytes[at + run]);
            ++run;
        }
        at += run;
        stored += static_cast<int>(run);
        workLength += run;
        const int32_t cp = Utf8DecoderNext();
        if (cp == Utf8End) break;
        const int k = stored + 1;
        if (2 * k > ucs2Size) {
            std::printf("unicode buffer is small\n");
            break;
        }
        const auto unit = static_cast<uint16_t>(cp & 0xFFFF);
        ucs2[2 * (k - 1)] = static_cast<uint8_t>(unit >> 8);
        ucs2[2 * (k - 1) + 1] = static_cast<uint8_t>(unit & 0xFF);
        stored = k;
        const UnitForm& form = unitForm(unit);
        const size_t n = form.length - 1u;
        if (workLength + n < kWorkSize) {  // never reached with the import's sizes
            std::memcpy(work + workLength, form.bytes, n);
            workLength += n;
        }
    }
    if (gbSize <= 0) return stored;
    if (workLength >= static_cast<size_t>(gbSize)) {
        std::printf("GB2312 buffer is small\n");
        workLength = static_cast<size_t>(gbSize) - 1;
    }
    std::memcpy(gb, work, workLength);
    gb[workLength] = '\0';
    return stored;
}

void Ucs2ToAnsi(const uint8_t* ucs2, int count, char* out, size_t outSize) {
    size_t length = std::strlen(out);
    for (int i = 0; i < count; ++i) {
        char bytes[3] = {0, 0, 0};
        WideCharToAnsi(bytes, static_cast<uint16_t>((ucs2[2 * i] << 8) | ucs2[2 * i + 1]));
        const size_t n = std::strlen(bytes);
        if (length + n >= outSize) break;
        std::memcpy(out + length, bytes, n);
        length += n;
    }
    out[length] = '\0';
}

}  // namespace tovu
