#include "enigma/CharConvert.h"

#include "db/NameCodec.h"

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

void WideCharToAnsi(char* out, uint16_t unit) {
    const std::string form = codeUnitToName(unit);
    std::memcpy(out, form.data(), form.size() < 2 ? form.size() : 2);
}

int ConvertName(const char* source, uint8_t* ucs2, int ucs2Size, char* gb, int gbSize) {
    char work[kWorkSize];
    std::memset(work, 0, sizeof work);
    size_t workLength = 0;
    Utf8DecoderInit(reinterpret_cast<const uint8_t*>(source), std::strlen(source));
    int stored = 0;
    for (int32_t cp = Utf8DecoderNext(); cp != Utf8End; cp = Utf8DecoderNext()) {
        const int k = stored + 1;
        if (2 * k > ucs2Size) {
            std::printf("unicode buffer is small\n");
            break;
        }
        const auto unit = static_cast<uint16_t>(cp & 0xFFFF);
        ucs2[2 * (k - 1)] = static_cast<uint8_t>(unit >> 8);
        ucs2[2 * (k - 1) + 1] = static_cast<uint8_t>(unit & 0xFF);
        stored = k;
        char bytes[3] = {0, 0, 0};
        WideCharToAnsi(bytes, unit);
        const size_t n = std::strlen(bytes);
        if (workLength + n < kWorkSize) {  // never reached with the import's sizes
            std::memcpy(work + workLength, bytes, n);
            workLength += n;
        }
    }
    if (gbSize <= 0) return stored;
    if (workLength >= static_cast<size_t>(gbSize)) {
        std::printf("GB2312 buffer is small\n");
        workLength = static_cast<size_t>(gbSize) - 1;
        work[workLength] = '\0';
    }
    std::memcpy(gb, work, workLength + 1);
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
}

}  // namespace tovu
