#include "ui/DialogPrompts.h"

#include "ui/EditorSettings.h"
#include "ui/EnigmaFolderDialog.h"
#include "ui/ImportChoicesDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace tovu::ui {
namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Critical: return QMessageBox::Critical;
        case MessageIcon::Question: return QMessageBox::Question;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

int runBox(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon,
           QMessageBox::StandardButtons buttons,
           QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) {
    QMessageBox box(boxIcon(icon), caption, text, buttons, owner);
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
    return box.exec();
}

}  // namespace

void DialogPrompts::showMessage(QWidget* owner, const QString& text, const QString& caption,
                                MessageIcon icon) {
    (void)runBox(owner, text, caption, icon, QMessageBox::Ok);
}

bool DialogPrompts::confirm(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon) {
    return runBox(owner, text, caption, icon, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

SaveChoice DialogPrompts::askSaveDiscardCancel(QWidget* owner, const QString& text, const QString& caption,
                                               MessageIcon icon) {
    switch (runBox(owner, text, caption, icon, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                   QMessageBox::Save)) {
        case QMessageBox::Save: return SaveChoice::Save;
        case QMessageBox::Discard: return SaveChoice::Discard;
        default: return SaveChoice::Cancel;  // Cancel, Escape and the close box
    }
}

std::optional<QString> DialogPrompts::chooseFile(QWidget* owner, const FileChooserPreset& preset) {
    // Qt's own dialog for opening a file; a name that does not exist yet may be typed.
    const QString start =
        preset.startFolder.isEmpty() ? rememberedFolder(preset.chooser) : preset.startFolder;
    QFileDialog dialog(owner, QCoreApplication::translate("DialogPrompts", "Open"),
                       start.isEmpty() ? QDir::currentPath() : start, preset.filters);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!preset.defaultName.isEmpty()) dialog.selectFile(preset.defaultName);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    rememberFolder(preset.chooser, QFileInfo(files.first()).absolutePath());
    return files.first();
}

std::optional<QString> DialogPrompts::chooseEnigmaFolder(QWidget* owner) {
    // It starts beside the folder chosen last, so that folder shows among its neighbours.
    const QString chooser = QStringLiteral("dreamBox");
    EnigmaFolderDialog dialog(owner, rememberedFolder(chooser));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    rememberFolder(chooser, QFileInfo(QDir::cleanPath(dialog.chosenFolder())).absolutePath());
    return dialog.chosenFolder();
}

std::optional<ImportChoices> DialogPrompts::chooseImportChoices(QWidget* owner, const ImportSurvey& survey) {
    ImportChoicesDialog dialog(survey, owner);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.choices();
}

}  // namespace tovu::ui
