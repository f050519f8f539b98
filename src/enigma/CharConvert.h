// Names in Enigma settings are UTF-8; the receiver keeps them as GB2312 (code page 936) bytes.
// ConvertName gives both a UCS-2 form (high byte first) and the GB2312 form of a name.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tovu {

inline constexpr int32_t Utf8End = -1;    // the input is exhausted
inline constexpr int32_t Utf8Error = -2;  // malformed, overlong, surrogate or above 0x10FFFF

// The one decoder of the import: the bytes, their length and the position of the next byte.
struct Utf8Decoder {
    const uint8_t* bytes = nullptr;
    size_t length = 0;
    size_t position = 0;
};
extern Utf8Decoder utf8Decoder;

void Utf8DecoderInit(const uint8_t* bytes, size_t length);
// The next code point, Utf8End or Utf8Error.
[[nodiscard]] int32_t Utf8DecoderNext();

// Converts the NUL-terminated UTF-8 `source` into UCS-2 (two bytes per character, high byte
// first, neither cleared nor terminated here) and into a NUL-terminated GB2312 string of less
// than gbSize bytes. Returns the number of characters stored in the UCS-2 area.
[[nodiscard]] int ConvertName(const char* source, uint8_t* ucs2, int ucs2Size, char* gb, int gbSize);

// One UTF-16 code unit in GB2312: 0 to 2 bytes written into `out` (cleared by the caller, at
// least 3 bytes); a unit without a GB2312 form becomes '?'.
void WideCharToAnsi(char* out, uint16_t unit);

// `count` UCS-2 characters (high byte first) converted unit by unit and appended to `out`, a
// NUL-terminated string in a buffer of `outSize` bytes that stays NUL-terminated.
void Ucs2ToAnsi(const uint8_t* ucs2, int count, char* out, size_t outSize);

}  // namespace tovu
