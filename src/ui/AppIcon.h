// The editor's icon: the window icon of every dialog, the About box's picture, and the icon
// that the desktop entry installs.
#pragma once

#include <QIcon>

namespace tovu::ui {

[[nodiscard]] QIcon applicationIcon();

}  // namespace tovu::ui
