// Names are stored as bytes of the GB2312 code page (code page 936: one byte for ASCII, two for
// a Chinese character). These are the only conversions between that form and text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tovu {

// Stored name bytes (up to the first NUL, at most maxLength) as UTF-8; a byte sequence that is
// not valid in the code page shows as U+FFFD.
std::string nameToUtf8(const uint8_t* bytes, size_t maxLength);
std::string nameToUtf8(std::string_view bytes);

// UTF-8 text in the code page; a character without a form there (or a malformed sequence)
// becomes '?'.
std::string utf8ToName(std::string_view utf8);

// One UTF-16 code unit in the code page: 0 to 2 bytes ("" for U+0000, "?" for a unit without
// a form, lone surrogates included).
std::string codeUnitToName(uint16_t unit);

}  // namespace tovu
