// What the editor remembers between runs, kept by QSettings in the desktop's usual
// configuration folder (~/.config/tovu/TovuChanEditor.conf): the receiver address, the three
// path fields, the window's geometry, the column widths the user set and the last folder of each
// file and folder chooser. A missing or unreadable file remembers nothing, and values that make
// no sense are ignored, so the editor then starts as it always did.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class QSettings;

namespace tovu::ui {

[[nodiscard]] std::unique_ptr<QSettings> openEditorSettings();

struct RememberedWindow {
    std::optional<uint32_t> address;  // the first field in the most significant byte
    QString saveFilePath;
    QString uploadFilePath;
    QString providerFilePath;
    QByteArray geometry;      // QWidget::saveGeometry
    QList<int> columnWidths;  // one per column, 0 where the column fits its texts
};

[[nodiscard]] RememberedWindow loadRememberedWindow();
void saveRememberedWindow(const RememberedWindow& window);

// The folder a chooser last took its file or folder from, while that folder exists; else empty.
[[nodiscard]] QString rememberedFolder(const QString& chooser);
void rememberFolder(const QString& chooser, const QString& folder);

}  // namespace tovu::ui
