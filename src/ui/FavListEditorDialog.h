// The dialog in which the user decides which services belong to each favourite list, renames
// favourite lists, and creates and deletes user lists. It works on the live image and keeps a
// snapshot, taken on opening and at every Save Change and put back when the dialog closes, so
// everything not saved is undone.
#pragma once

#include "db/DbImage.h"
#include "ui/ListDialogs.h"

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace tovu::ui {

class FilterField;
class UserPrompts;

inline constexpr int kMaxFavLists = 21;  // five default lists and sixteen user lists
inline constexpr int kDefaultFavLists = 5;

// The dialog's working copy of every favourite list.
struct FavEditorState {
    int currentList = 0;   // position of the list shown, as in the choice box
    int favListCount = 0;  // 5 default lists plus the user lists in use
    std::array<int, kMaxFavLists> listIds{};
    std::array<std::array<uint8_t, kListNameSize>, kMaxFavLists> listNames{};  // code-page bytes
    std::array<std::vector<uint8_t>, kMaxFavLists> membership;                 // one byte per service
};

class FavListEditorDialog : public QDialog {
    Q_OBJECT

public:
    FavListEditorDialog(ChannelDbImage& image, ChannelDbImage& snapshot, UserPrompts& prompts,
                        QWidget* parent = nullptr);
    ~FavListEditorDialog() override;
    FavListEditorDialog(const FavListEditorDialog&) = delete;
    FavListEditorDialog& operator=(const FavListEditorDialog&) = delete;

    void done(int result) override;

    // Each Save Change that changes the image is reported as one step, after the snapshot was
    // taken, so the image the dialog puts back on closing is the one the last step left.
    void reportSavesTo(const StepReporter& saved) { saved_ = saved; }

    [[nodiscard]] const FavEditorState& state() const { return state_; }
    [[nodiscard]] QComboBox* listChoice() const { return listChoice_; }
    [[nodiscard]] QLineEdit* nameEdit() const { return nameEdit_; }
    [[nodiscard]] QTableWidget* checkList() const { return checkList_; }
    [[nodiscard]] FilterField* filter() const { return filter_; }
    [[nodiscard]] QCheckBox* membersOnly() const { return membersOnly_; }
    [[nodiscard]] QPushButton* saveButton() const { return save_; }
    [[nodiscard]] QPushButton* quitButton() const { return quit_; }
    [[nodiscard]] QPushButton* createButton() const { return create_; }
    [[nodiscard]] QPushButton* deleteButton() const { return delete_; }

private:
    void refillEditor(int wantedListId);
    void loadListChoices();
    void loadMembership(int serviceCount);
    void rebuildCheckList(int serviceCount);
    // Takes the shown list's ticks and name into the state; false (after saying so, the name
    // focused) while the name holds characters that cannot be stored.
    [[nodiscard]] bool keepShownList();
    void showChecks();
    void showName();
    [[nodiscard]] QString listName(int position) const;
    [[nodiscard]] bool ticked(int row) const;
    void switchList(int position);
    // Stores every list; false when the shown name cannot be stored.
    bool saveFavLists();
    [[nodiscard]] bool hasUnsavedChanges() const;
    // Before changes not saved would be dropped: Save (true once saved), Discard (true) or
    // Cancel (false).
    [[nodiscard]] bool settleUnsavedChanges(const char* question);
    void refuseTickOfFullList(QTableWidgetItem* item);
    void createList();
    void deleteList();
    void putImageBack();
    // Shows the rows that match the filter and, with "Members only", are ticked. A tick changed
    // afterwards leaves its row shown until the filter changes.
    void applyFilter();

    ChannelDbImage& image_;
    ChannelDbImage& snapshot_;
    UserPrompts& prompts_;
    FavEditorState state_;
    // The names as last loaded or saved, and the name text as the edit last showed it.
    std::array<std::array<uint8_t, kListNameSize>, kMaxFavLists> savedNames_{};
    QString shownName_;
    bool imagePutBack_ = false;
    std::vector<QString> filterTexts_;  // per service
    StepReporter saved_;

    QComboBox* listChoice_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
    FilterField* filter_ = nullptr;
    QCheckBox* membersOnly_ = nullptr;
    QTableWidget* checkList_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* quit_ = nullptr;
    QPushButton* create_ = nullptr;
    QPushButton* delete_ = nullptr;
};

}  // namespace tovu::ui
