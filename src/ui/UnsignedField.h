// Reading the number fields of the Channel Edit dialog: unsigned decimal, as the dialog's
// validation has always read them.
#pragma once

#include <QString>

#include <cstdint>

namespace tovu::ui {

// Only this many characters of a field are read.
inline constexpr int kNumberFieldReadLength = 31;

// Decimal digits with an optional leading '+', blanks and tabs allowed before and after. A
// value too large for 32 bits reads as 0xFFFFFFFF. False for an empty field, a minus sign or
// any other character.
[[nodiscard]] bool readUnsignedField(const QString& text, uint32_t& value);

}  // namespace tovu::ui
