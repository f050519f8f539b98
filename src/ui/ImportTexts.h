// The lines that tell what a DreamBox import gives, in the user's language. The import library
// words them in English for kdattool; these give the same English where no translation is loaded.
#pragma once

#include "enigma/ImportChoices.h"

#include <QString>

#include <cstdint>

namespace tovu::ui {

// Numbers of five digits and more in groups of three: 1000, 13,608.
[[nodiscard]] QString groupedNumber(int64_t n);

// "1000 of 13,608 services; 21 favourite lists; 3 lists lose services that do not fit; 2 ticked
// bouquets beyond the 21st not imported" (the last two parts only when they apply).
[[nodiscard]] QString importPreviewLine(const ImportPreview& preview);
// "1000 of 13,608 services imported, 21 lists"
[[nodiscard]] QString importSummaryLine(const ImportPreview& preview);

}  // namespace tovu::ui
