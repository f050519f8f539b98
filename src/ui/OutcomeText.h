// The messages of loads, saves and transfers in the user's language. The database and receiver
// libraries word their outcomes in English (kdattool prints them as they are); every sentence they
// can give has a translatable source text here, identical to the library's.
#pragma once

#include <QString>

#include <string>

namespace tovu::ui {

// The message translated line by line; a line that is none of the known sentences stays as it is.
[[nodiscard]] QString outcomeText(const std::string& message);

}  // namespace tovu::ui
