// The editor's one window: the receiver address, the three file paths, the service list and
// the buttons and menus that run every command on the in-memory image.
#pragma once

#include "db/DbImage.h"
#include "ui/ChannelListView.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <map>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;

namespace tovu {
struct UploadOptions;
}

namespace tovu::ui {

class FilterField;
class ImageHistory;
class IpAddressEdit;
class UserPrompts;
struct BulkEdit;

class MainEditorDialog final : public QDialog {
    Q_OBJECT
public:
    // The image and snapshot live as long as the process; prompts answer every question.
    MainEditorDialog(ChannelDbImage& image, ChannelDbImage& snapshot, UserPrompts& prompts,
                     QWidget* parent = nullptr);
    ~MainEditorDialog() override;

    // Rebuilds the list from the image and selects one service: the requested one when it
    // exists, otherwise (and for -1) the last one. While the filter hides it, the shown service
    // nearest to it is selected. An image without services leaves the list empty.
    void fillChannelList(int rowToSelect);

    // Runs the command of a button or menu item (CommandId).
    void runCommand(int id);
    // The list's right click at a position of its viewport: the "&Edit" menu over a row, nothing
    // elsewhere.
    void showListContextMenu(const QPoint& viewportPos);

    // The services of the selected rows, lowest first.
    [[nodiscard]] QList<int> selectedRecords() const { return list_->selectedRecords(); }

    // Quitting (the button, Escape, the close box) first settles unsaved changes.
    void reject() override;
    void done(int result) override;

    // Controls, for the commands' callers and tests.
    [[nodiscard]] QPushButton* button(int id) const;
    [[nodiscard]] QAction* menuAction(int id) const;
    [[nodiscard]] QMenuBar* menuBar() const { return menuBar_; }
    [[nodiscard]] QMenu* editMenu() const { return editMenu_; }
    [[nodiscard]] ChannelListView* channelList() const { return list_; }
    [[nodiscard]] FilterField* filterField() const { return filter_; }
    [[nodiscard]] QAction* undoAction() const { return undo_; }
    [[nodiscard]] IpAddressEdit* addressEdit() const { return address_; }
    [[nodiscard]] QLineEdit* saveFilePathEdit() const { return saveEdit_; }
    [[nodiscard]] QLineEdit* uploadFilePathEdit() const { return uploadEdit_; }
    [[nodiscard]] QLineEdit* providerFilePathEdit() const { return providerEdit_; }
    [[nodiscard]] QLabel* sourceLabel() const { return sourceLabel_; }
    // What the last DreamBox import gave, beside the source label; empty after a database load.
    [[nodiscard]] QLabel* importSummaryLabel() const { return importSummary_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    QPushButton* addButton(int id, const QString& text);
    QAction* addMenuItem(QMenu* menu, int id, const QString& text);
    void buildEditingMenus();
    void takeOverPaths();
    void resizeToDefault();
    void restoreRemembered();
    void remember() const;
    // Save, Discard or Cancel when the image holds unsaved changes; false to stay open.
    [[nodiscard]] bool settleUnsavedChanges();

    void loadDatabase();
    bool saveDatabase();
    void choosePath(QLineEdit* edit, QString& path, bool providerList);
    void download();
    void upload();
    void uploadProvider();
    void restoreFromBackup();
    [[nodiscard]] UploadOptions uploadOptions() const;
    void importDreamBox();
    void addChannel();
    void editChannel();
    void deleteChannels();
    void resort();
    void editFavLists();
    void showAbout();
    void runBulkEdit(const BulkEdit& edit);
    void replaceInNames();

    ChannelDbImage& image_;
    ChannelDbImage& snapshot_;
    UserPrompts& prompts_;

    // The paths the transfers use, taken over from their edits when a transfer starts.
    QString saveFilePath_;
    QString uploadFilePath_;
    QString providerFilePath_;

    IpAddressEdit* address_ = nullptr;
    QLineEdit* saveEdit_ = nullptr;
    QLineEdit* uploadEdit_ = nullptr;
    QLineEdit* providerEdit_ = nullptr;
    QLabel* sourceLabel_ = nullptr;
    QLabel* importSummary_ = nullptr;
    FilterField* filter_ = nullptr;
    ChannelListView* list_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QMenu* editMenu_ = nullptr;
    ImageHistory* history_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QAction* replaceInNames_ = nullptr;
    QList<QAction*> selectionActions_;  // enabled while services are selected
    QAction* verifyUploads_ = nullptr;
    std::map<int, QPushButton*> buttons_;
    std::map<int, QAction*> actions_;
};

}  // namespace tovu::ui
