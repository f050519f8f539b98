// The "Load &DreamBox Channel" step after a folder was picked: the folder is read once and, when
// the choices can change what the import gives, the user is asked for them before anything in
// the image changes.
#pragma once

#include "db/DbImage.h"

#include <QString>

class QWidget;

namespace tovu::ui {

class UserPrompts;

struct DreamBoxImportOutcome {
    bool changed = false;  // the image now holds the import; false when the user cancelled
    QString summary;       // "1000 of 13,608 services imported, 21 lists"
};

// Reads the folder and, unless the user cancels the choices, replaces the services, type lists and
// favourite lists of the image with it. Diagnostics go to standard output.
[[nodiscard]] DreamBoxImportOutcome importDreamBoxFolder(const QString& folder, ChannelDbImage& image,
                                                         UserPrompts& prompts, QWidget* owner);

}  // namespace tovu::ui
