#include "ui/EnigmaFolderDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QPushButton>

namespace tovu::ui {

bool holdsEnigmaSettings(const QString& folder) {
    if (folder.isEmpty()) return false;
    const QDir dir(folder);
    return QFileInfo::exists(dir.filePath(QStringLiteral("services"))) ||
           QFileInfo::exists(dir.filePath(QStringLiteral("lamedb")));
}

EnigmaFolderDialog::EnigmaFolderDialog(QWidget* parent, const QString& startFolder)
    : QFileDialog(parent, QStringLiteral("Select folder ..."),
                  startFolder.isEmpty() ? QDir::currentPath() : startFolder) {
    setObjectName(QStringLiteral("EnigmaFolderDialog"));
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::ShowDirsOnly, true);
    setFileMode(QFileDialog::Directory);
    setAcceptMode(QFileDialog::AcceptOpen);
    connect(this, &QFileDialog::currentChanged, this, &EnigmaFolderDialog::highlight);
    // Entering a folder highlights nothing yet.
    connect(this, &QFileDialog::directoryEntered, this, [this] { highlight({}); });
    // The file dialog enables its button by its own rules whenever its state changes; the
    // folder rule is applied again after each of those changes.
    if (QPushButton* button = acceptButton()) button->installEventFilter(this);
    updateAcceptButton();
}

QPushButton* EnigmaFolderDialog::acceptButton() const {
    auto* box = findChild<QDialogButtonBox*>();
    return box == nullptr ? nullptr : box->button(QDialogButtonBox::Open);
}

void EnigmaFolderDialog::highlight(const QString& folder) {
    highlighted_ = QFileInfo(folder).isDir() ? folder : QString();
    updateAcceptButton();
}

void EnigmaFolderDialog::updateAcceptButton() {
    QPushButton* button = acceptButton();
    if (button == nullptr || updating_) return;
    updating_ = true;
    button->setEnabled(holdsEnigmaSettings(highlighted_));
    updating_ = false;
}

bool EnigmaFolderDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == acceptButton() && event->type() == QEvent::EnabledChange && !updating_ &&
        acceptButton()->isEnabled() && !holdsEnigmaSettings(highlighted_))
        updateAcceptButton();
    return QFileDialog::eventFilter(watched, event);
}

void EnigmaFolderDialog::accept() {
    if (!holdsEnigmaSettings(highlighted_)) return;
    // The highlighted folder is the answer, whatever the name field says.
    selectFile(highlighted_);
    QDialog::accept();
}

}  // namespace tovu::ui
