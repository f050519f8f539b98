// The folder browser for a DreamBox (Enigma) settings folder: a directory chooser titled
// "Select folder ..." whose Choose button is enabled only while the folder it would pick holds
// a settings file the import reads ("services", "lamedb" or "lamedb5"). That folder is the
// highlighted one or, while none is, the folder being shown, so a user may highlight a folder or
// open it and then press Choose.
#pragma once

#include <QFileDialog>
#include <QString>

class QListView;
class QPushButton;

namespace tovu::ui {

class EnigmaFolderDialog final : public QFileDialog {
    Q_OBJECT
public:
    explicit EnigmaFolderDialog(QWidget* parent = nullptr, const QString& startFolder = {});

    // The folder Choose would pick now; empty while that folder holds no settings.
    [[nodiscard]] QString candidateFolder() const;
    // The folder picked by Choose (empty until the dialog is accepted).
    [[nodiscard]] QString chosenFolder() const { return chosen_; }
    [[nodiscard]] QPushButton* acceptButton() const;
    [[nodiscard]] QListView* folderView() const;

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateAcceptButton();
    void openTypedFolder();

    QString chosen_;
    bool updating_ = false;
};

}  // namespace tovu::ui
