#include "ui/AppIcon.h"

// The resources live in a static library: register them before the first use.
static void registerEditorResources() { Q_INIT_RESOURCE(editor); }

namespace tovu::ui {

QIcon applicationIcon() {
    static const bool registered = (registerEditorResources(), true);
    (void)registered;
    QIcon icon;
    for (const int size : {32, 64, 128, 256})
        icon.addFile(QStringLiteral(":/tovu/icons/tovu-chan-editor-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace tovu::ui
