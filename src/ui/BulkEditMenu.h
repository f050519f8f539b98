// The Edit menu's entries that set one field of every selected service at once: Parent Lock,
// Subtitle, Descrambled and Prog type, each a submenu of the values Channel Edit offers.
#pragma once

#include "db/DbImage.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <span>

class QAction;
class QMenu;

namespace tovu::ui {

enum class BulkField { ParentLock, Subtitle, Descrambled, ProgType };

struct BulkEdit {
    BulkField field;
    uint32_t value;  // 0 or 1 for a flag, the ProgType for Prog type
    QString name;    // the step's name, e.g. "Parent Lock: Locked"
};

// Adds the four submenus; choosing a value calls `run`. The submenus' actions are returned, so
// that they can be enabled only while services are selected.
QList<QAction*> addBulkEditMenus(QMenu* menu, const std::function<void(const BulkEdit&)>& run);

// Makes the edit on the services at the given indexes; the number changed.
[[nodiscard]] int applyBulkEdit(ChannelDbImage& image, std::span<const int> indexes, const BulkEdit& edit);

}  // namespace tovu::ui
