// The dialog that changes the order of one list of the image at a time: the TV, Radio or Data
// list, a default favourite list or a user list. Rows are moved with Move Up, Move Down, Move To
// or by dragging; Save Change writes the order shown into the chosen list and stays open.
#pragma once

#include "db/DbImage.h"
#include "ui/ListDialogs.h"

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tovu::ui {

class CDragAndDropListBox;
class FilterField;
class UserPrompts;

// One entry of the list choice box.
struct ListChoice {
    int listId;
    QString name;
};

// The entries of the choice box, in order: TV, Radio and Data lists, the five default favourite
// lists, then the user lists in use.
[[nodiscard]] std::vector<ListChoice> buildListChoices(const ChannelDbImage& image);

// The text of one row: its 1-based position right-aligned in four characters, a blank and the
// service's name.
[[nodiscard]] QString resortRowText(const ChannelDbImage& image, int position, uint16_t channel);

class ResortDialog : public QDialog {
    Q_OBJECT

public:
    ResortDialog(ChannelDbImage& image, UserPrompts& prompts, QWidget* parent = nullptr);

    // Each Save Change that changes the chosen list is reported as one step.
    void reportSavesTo(const StepReporter& saved) { saved_ = saved; }

    // The controls, for the window's own wiring and for tests.
    [[nodiscard]] QComboBox* listChoice() const { return listChoice_; }
    [[nodiscard]] CDragAndDropListBox* rows() const { return rows_; }
    [[nodiscard]] FilterField* filter() const { return filter_; }
    [[nodiscard]] QPushButton* moveUpButton() const { return moveUp_; }
    [[nodiscard]] QPushButton* moveDownButton() const { return moveDown_; }
    [[nodiscard]] QPushButton* moveToButton() const { return moveTo_; }
    [[nodiscard]] QLineEdit* positionEdit() const { return position_; }
    [[nodiscard]] QPushButton* saveButton() const { return save_; }
    [[nodiscard]] QPushButton* quitButton() const { return quit_; }
    [[nodiscard]] const std::vector<ListChoice>& choices() const { return choices_; }

private:
    void loadChosenList();
    void takeOrderFromRows();
    void renumberRows();
    void setRow(int row);
    void rebuildRows();
    // The row with the focus, or -1 after telling the user to pick one.
    [[nodiscard]] int currentRowOrAsk();
    void moveUp();
    void moveDown();
    void moveTo();
    void saveChange();
    void showMessage(const QString& text);
    // Hides the rows the filter does not match. While rows are hidden, rows keep their place in
    // the whole list: Move To takes a position in the whole list, and Move Up, Move Down and
    // dragging, which move rows past hidden ones, are off.
    void applyFilter();

    ChannelDbImage& image_;
    UserPrompts& prompts_;
    std::vector<ListChoice> choices_;
    std::array<uint16_t, kTvCapacity> workingOrder_{};
    int workingCount_ = 0;
    std::vector<QString> filterTexts_;  // per service
    StepReporter saved_;

    QComboBox* listChoice_ = nullptr;
    FilterField* filter_ = nullptr;
    CDragAndDropListBox* rows_ = nullptr;
    QPushButton* moveUp_ = nullptr;
    QPushButton* moveDown_ = nullptr;
    QPushButton* moveTo_ = nullptr;
    QLineEdit* position_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* quit_ = nullptr;
};

}  // namespace tovu::ui
