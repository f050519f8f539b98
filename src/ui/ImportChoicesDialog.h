// "Import Choices": shown after a DreamBox folder was read and before anything in the image
// changes, when the folder holds more services than the receiver takes or services that are not
// on cable. It tells what the folder holds, lets the user take cable services only, put the
// services of the ticked bouquets first and pick the TV bouquets that become favourite lists, and
// says on one line what the import will give with those choices.
#pragma once

#include "enigma/ImportChoices.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tovu::ui {

class ImportChoicesDialog final : public QDialog {
    Q_OBJECT
public:
    // The survey must outlive the dialog.
    explicit ImportChoicesDialog(const ImportSurvey& survey, QWidget* parent = nullptr);

    // The choices as the dialog shows them now.
    [[nodiscard]] ImportChoices choices() const;

    [[nodiscard]] QCheckBox* cableOnlyBox() const { return cableOnly_; }
    [[nodiscard]] QCheckBox* bouquetsFirstBox() const { return bouquetsFirst_; }
    [[nodiscard]] QTreeWidget* bouquetList() const { return bouquets_; }
    [[nodiscard]] QLabel* previewLine() const { return preview_; }
    [[nodiscard]] QPushButton* importButton() const { return import_; }
    [[nodiscard]] QPushButton* cancelButton() const { return cancel_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updatePreview();

    const ImportSurvey& survey_;
    QCheckBox* cableOnly_ = nullptr;
    QCheckBox* bouquetsFirst_ = nullptr;
    QTreeWidget* bouquets_ = nullptr;
    QLabel* preview_ = nullptr;
    QPushButton* import_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QTreeWidgetItem* releasedRow_ = nullptr;
    Qt::CheckState releasedState_ = Qt::Unchecked;
};

}  // namespace tovu::ui
