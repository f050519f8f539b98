// The folder browser for a DreamBox (Enigma) settings folder: a directory chooser titled
// "Select folder ..." whose accept button is enabled only while the highlighted folder holds a
// "services" or a "lamedb" entry.
#pragma once

#include <QFileDialog>
#include <QString>

class QPushButton;

namespace tovu::ui {

// True when the folder holds an entry named "services" or "lamedb".
[[nodiscard]] bool holdsEnigmaSettings(const QString& folder);

class EnigmaFolderDialog final : public QFileDialog {
    Q_OBJECT
public:
    explicit EnigmaFolderDialog(QWidget* parent = nullptr, const QString& startFolder = {});

    // The folder highlighted last (empty while none is).
    [[nodiscard]] QString highlightedFolder() const { return highlighted_; }
    [[nodiscard]] QPushButton* acceptButton() const;

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void highlight(const QString& folder);
    void updateAcceptButton();

    QString highlighted_;
    bool updating_ = false;
};

}  // namespace tovu::ui
