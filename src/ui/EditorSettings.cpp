#include "ui/EditorSettings.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace tovu::ui {
namespace {

const QString kAddress = QStringLiteral("window/receiverAddress");
const QString kSavePath = QStringLiteral("window/saveFilePath");
const QString kUploadPath = QStringLiteral("window/uploadFilePath");
const QString kProviderPath = QStringLiteral("window/providerFilePath");
const QString kGeometry = QStringLiteral("window/geometry");
const QString kColumnWidths = QStringLiteral("window/columnWidths");

QString addressText(std::optional<uint32_t> address) {
    if (!address) return {};
    return QStringLiteral("%1.%2.%3.%4")
        .arg(*address >> 24)
        .arg((*address >> 16) & 0xFF)
        .arg((*address >> 8) & 0xFF)
        .arg(*address & 0xFF);
}

// Four decimal fields of 0 to 255 separated by dots; anything else is no address.
std::optional<uint32_t> parseAddress(const QString& text) {
    const QStringList fields = text.split(QLatin1Char('.'));
    if (fields.size() != 4) return std::nullopt;
    uint32_t address = 0;
    for (const QString& field : fields) {
        bool ok = false;
        const uint value = field.toUInt(&ok, 10);
        if (!ok || field.size() > 3 || value > 255 || !field.front().isDigit()) return std::nullopt;
        address = (address << 8) | value;
    }
    return address;
}

}  // namespace

std::unique_ptr<QSettings> openEditorSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tovu"),
                                       QStringLiteral("TovuChanEditor"));
}

RememberedWindow loadRememberedWindow() {
    const auto settings = openEditorSettings();
    RememberedWindow window;
    window.address = parseAddress(settings->value(kAddress).toString());
    window.saveFilePath = settings->value(kSavePath).toString();
    window.uploadFilePath = settings->value(kUploadPath).toString();
    window.providerFilePath = settings->value(kProviderPath).toString();
    window.geometry = settings->value(kGeometry).toByteArray();
    for (const QString& width :
         settings->value(kColumnWidths).toString().split(QLatin1Char(','), Qt::SkipEmptyParts))
        window.columnWidths << width.toInt();
    return window;
}

void saveRememberedWindow(const RememberedWindow& window) {
    const auto settings = openEditorSettings();
    settings->setValue(kAddress, addressText(window.address));
    settings->setValue(kSavePath, window.saveFilePath);
    settings->setValue(kUploadPath, window.uploadFilePath);
    settings->setValue(kProviderPath, window.providerFilePath);
    settings->setValue(kGeometry, window.geometry);
    QStringList widths;
    for (const int width : window.columnWidths) widths << QString::number(width);
    settings->setValue(kColumnWidths, widths.join(QLatin1Char(',')));
}

QString rememberedFolder(const QString& chooser) {
    const QString folder = openEditorSettings()->value(QStringLiteral("folders/") + chooser).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void rememberFolder(const QString& chooser, const QString& folder) {
    openEditorSettings()->setValue(QStringLiteral("folders/") + chooser, folder);
}

}  // namespace tovu::ui
