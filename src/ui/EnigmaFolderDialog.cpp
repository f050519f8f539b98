#include "ui/EnigmaFolderDialog.h"

#include "enigma/EnigmaImport.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

namespace tovu::ui {

EnigmaFolderDialog::EnigmaFolderDialog(QWidget* parent, const QString& startFolder)
    : QFileDialog(parent, tr("Select folder ..."),
                  startFolder.isEmpty() ? QDir::currentPath() : startFolder) {
    setObjectName(QStringLiteral("EnigmaFolderDialog"));
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::ShowDirsOnly, true);
    setFileMode(QFileDialog::Directory);
    setAcceptMode(QFileDialog::AcceptOpen);
    // The file dialog enables its button by its own rules whenever its state changes; the
    // folder rule is applied after each of those changes (these connections run after the file
    // dialog's own).
    connect(this, &QFileDialog::currentChanged, this, &EnigmaFolderDialog::updateAcceptButton);
    connect(this, &QFileDialog::directoryEntered, this, &EnigmaFolderDialog::updateAcceptButton);
    if (QListView* view = folderView())
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &EnigmaFolderDialog::updateAcceptButton);
    if (auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        connect(name, &QLineEdit::textChanged, this, &EnigmaFolderDialog::updateAcceptButton);
        connect(name, &QLineEdit::returnPressed, this, &EnigmaFolderDialog::openTypedFolder);
    }
    if (QPushButton* button = acceptButton()) button->installEventFilter(this);
    updateAcceptButton();
}

QPushButton* EnigmaFolderDialog::acceptButton() const {
    auto* box = findChild<QDialogButtonBox*>();
    return box == nullptr ? nullptr : box->button(QDialogButtonBox::Open);
}

QListView* EnigmaFolderDialog::folderView() const {
    return findChild<QListView*>(QStringLiteral("listView"));
}

QString EnigmaFolderDialog::candidateFolder() const {
    // The file dialog's own answer: the highlighted folder, else a typed name, else the folder
    // shown.
    const QStringList files = selectedFiles();
    const QString folder = files.isEmpty() ? QString() : files.first();
    return QFileInfo(folder).isDir() && FolderHoldsEnigmaSettings(QFile::encodeName(folder).constData())
               ? folder
               : QString();
}

void EnigmaFolderDialog::updateAcceptButton() {
    QPushButton* button = acceptButton();
    if (button == nullptr || updating_) return;
    updating_ = true;
    button->setEnabled(!candidateFolder().isEmpty());
    updating_ = false;
}

bool EnigmaFolderDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == acceptButton() && event->type() == QEvent::EnabledChange && !updating_ &&
        acceptButton()->isEnabled())
        updateAcceptButton();
    return QFileDialog::eventFilter(watched, event);
}

void EnigmaFolderDialog::openTypedFolder() {
    // Enter on a typed folder that holds no settings opens it, as in any file dialog; with
    // Choose disabled it would otherwise do nothing.
    auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (name == nullptr || !candidateFolder().isEmpty()) return;
    const QString typed = directory().absoluteFilePath(QDir::fromNativeSeparators(name->text()));
    if (name->text().isEmpty() || !QFileInfo(typed).isDir()) return;
    setDirectory(typed);
    name->clear();
}

void EnigmaFolderDialog::accept() {
    // Read before anything else: changing the dialog's selection would change the answer.
    const QString folder = candidateFolder();
    if (folder.isEmpty()) return;
    chosen_ = folder;
    QDialog::accept();
}

}  // namespace tovu::ui
