#include "ui/NameInput.h"

#include "db/NameCodec.h"

namespace tovu::ui {
namespace {

size_t storedSize(const QString& text) { return utf8ToName(text.toStdString()).size(); }

// A character with no form becomes '?' when stored; '?' itself has one.
bool hasStoredForm(char32_t c) {
    return c <= 0xFFFF && (c == U'?' || codeUnitToName(static_cast<uint16_t>(c)) != "?");
}

}  // namespace

std::string nameBytesWithin(const QString& text, size_t limit) {
    std::string bytes;
    for (const char32_t c : text.toUcs4()) {
        const std::string stored = utf8ToName(QString::fromUcs4(&c, 1).toStdString());
        if (bytes.size() + stored.size() > limit) break;
        bytes += stored;
    }
    return bytes;
}

QString unstorableCharacters(const QString& text) {
    QString found;
    for (const char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        if (!hasStoredForm(c) && !found.contains(character)) found += character;
    }
    return found;
}

QValidator::State NameBytesValidator::validate(QString& input, int& pos) const {
    while (storedSize(input) > limit_ && pos > 0) {
        const int n = pos >= 2 && input[pos - 1].isLowSurrogate() && input[pos - 2].isHighSurrogate() ? 2 : 1;
        input.remove(pos - n, n);
        pos -= n;
    }
    return storedSize(input) <= limit_ ? Acceptable : Invalid;
}

}  // namespace tovu::ui
