// Reading the numbers of a settings line with a scanf format, quickly: lines in the plain form
// (decimal or hexadecimal digits, separators and white space where the format has them) are read
// here; any other line goes to sscanf, so the values are always those sscanf gives.
#pragma once

#include <cstdio>

namespace tovu {

// The plain form of `format` (conversions %x into unsigned and %d into int, white space, literal
// characters) read from `text`: the number of conversions when every one of them was read, or -1
// when the text leaves the plain form. Values read before that are already stored; sscanf stores
// the same values there.
[[nodiscard]] int ScanPlainFields(const char* text, const char* format, void* const* out, int count);

// sscanf(text, format, out...), with %x and %d conversions only.
template <typename... T>
[[nodiscard]] int ScanFields(const char* text, const char* format, T*... out) {
    void* const pointers[] = {static_cast<void*>(out)...};
    const int read = ScanPlainFields(text, format, pointers, static_cast<int>(sizeof...(T)));
    return read >= 0 ? read : std::sscanf(text, format, out...);
}

}  // namespace tovu
