// Typing names that are stored as code-page bytes (GB2312: one byte for ASCII, two for a
// Chinese character): an edit that takes no more than the stored field holds, and the
// characters that have no stored form at all.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QValidator>

#include <cstddef>
#include <string>

namespace tovu::ui {

// The refusal of a name holding characters without a stored form; %1 lists them.
inline constexpr const char* kUnstorableCharacters =
    QT_TRANSLATE_NOOP("Editor", "“请删除无法保存的字符：%1”");

// The stored bytes of the text's first characters, as many whole characters as fit in limit.
[[nodiscard]] std::string nameBytesWithin(const QString& text, size_t limit);

// The characters of the text that have no form in the code page, each once, in order.
[[nodiscard]] QString unstorableCharacters(const QString& text);

// Keeps an edit's text within limit stored bytes. What was just typed or pasted (the text
// before the cursor) is cut at its last whole character that fits, so a full field takes no
// more characters and a long paste is shortened rather than refused.
class NameBytesValidator final : public QValidator {
public:
    NameBytesValidator(size_t limit, QObject* parent) : QValidator(parent), limit_(limit) {}
    State validate(QString& input, int& pos) const override;

private:
    size_t limit_;
};

}  // namespace tovu::ui
