#include "ui/UnsignedField.h"

namespace tovu::ui {
namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

}  // namespace

bool readUnsignedField(const QString& text, uint32_t& value) {
    const QString s = text.left(kNumberFieldReadLength);
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && isBlank(s[i])) ++i;
    if (i < n && s[i] == QLatin1Char('+')) ++i;
    const qsizetype digitsStart = i;
    uint64_t v = 0;
    while (i < n && s[i] >= QLatin1Char('0') && s[i] <= QLatin1Char('9')) {
        v = v * 10 + static_cast<uint64_t>(s[i].unicode() - u'0');
        if (v > UINT32_MAX) v = uint64_t{UINT32_MAX} + 1;  // stays too large, never overflows
        ++i;
    }
    if (i == digitsStart) return false;
    while (i < n && isBlank(s[i])) ++i;
    if (i != n) return false;
    value = v > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(v);
    return true;
}

}  // namespace tovu::ui
