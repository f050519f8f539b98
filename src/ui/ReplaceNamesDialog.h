// "Replace in names…": the text to find and its replacement for the names of the selected
// services, with a count of the names that would change. Names keep the 32-byte rule of Channel
// Edit; a replacement holding characters that cannot be stored is refused.
#pragma once

#include "db/DbImage.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tovu::ui {

class UserPrompts;

class ReplaceNamesDialog final : public QDialog {
    Q_OBJECT
public:
    ReplaceNamesDialog(const ChannelDbImage& image, const QList<int>& records, UserPrompts& prompts,
                       QWidget* parent = nullptr);

    [[nodiscard]] QString findText() const;
    [[nodiscard]] QString replacementText() const;
    // The number of the given names that the texts typed now would change.
    [[nodiscard]] int namesChanged() const;

    [[nodiscard]] QLineEdit* findEdit() const { return find_; }
    [[nodiscard]] QLineEdit* replacementEdit() const { return replacement_; }
    [[nodiscard]] QLabel* preview() const { return preview_; }
    [[nodiscard]] QPushButton* replaceButton() const { return replace_; }
    [[nodiscard]] QPushButton* cancelButton() const { return cancel_; }

    void accept() override;

private:
    void updatePreview();

    const ChannelDbImage& image_;
    QList<int> records_;
    UserPrompts& prompts_;
    QLineEdit* find_ = nullptr;
    QLineEdit* replacement_ = nullptr;
    QLabel* preview_ = nullptr;
    QPushButton* replace_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace tovu::ui
