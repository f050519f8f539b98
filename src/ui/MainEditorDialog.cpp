#include "ui/MainEditorDialog.h"

#include "db/BulkEdits.h"
#include "db/ChannelRecord.h"
#include "db/DbStore.h"
#include "db/FieldText.h"
#include "link/Backups.h"
#include "link/Transactions.h"
#include "ui/AboutDialog.h"
#include "ui/AppIcon.h"
#include "ui/BulkEditMenu.h"
#include "ui/ChannelEditDialog.h"
#include "ui/DreamBoxImport.h"
#include "ui/EditorSettings.h"
#include "ui/EditorTexts.h"
#include "ui/FilterField.h"
#include "ui/ImageHistory.h"
#include "ui/IpAddressEdit.h"
#include "ui/ListDialogs.h"
#include "ui/OutcomeText.h"
#include "ui/ReplaceNamesDialog.h"
#include "ui/UserPrompts.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <span>

namespace tovu::ui {
namespace {

// The wait cursor while a command blocks the window.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Boxes captioned "Message" carry no icon; boxes captioned with the application's name carry
// the exclamation icon, as the platform's application message boxes do.
void showPlainMessage(UserPrompts& prompts, QWidget* owner, const char* text) {
    prompts.showMessage(owner, sharedText(text), sharedText(kMessageCaption), MessageIcon::None);
}
void showApplicationMessage(UserPrompts& prompts, QWidget* owner, const QString& text) {
    prompts.showMessage(owner, text, applicationCaption(), MessageIcon::Warning);
}

// A transfer that succeeded reports it with the information icon.
void showOutcome(UserPrompts& prompts, QWidget* owner, const TransferOutcome& outcome) {
    const QString text = outcomeText(outcome.message);
    if (outcome.caption == OutcomeCaption::Message)
        prompts.showMessage(owner, text, sharedText(kMessageCaption), MessageIcon::None);
    else if (outcome.success)
        prompts.showMessage(owner, text, applicationCaption(), MessageIcon::Information);
    else
        showApplicationMessage(prompts, owner, text);
}

std::string localPath(const QString& path) { return path.toLocal8Bit().toStdString(); }

std::span<const int> indexesOf(const QList<int>& records) {
    return {records.constData(), static_cast<size_t>(records.size())};
}

}  // namespace

MainEditorDialog::MainEditorDialog(ChannelDbImage& image, ChannelDbImage& snapshot, UserPrompts& prompts,
                                   QWidget* parent)
    : QDialog(parent), image_(image), snapshot_(snapshot), prompts_(prompts) {
    setObjectName(QStringLiteral("MainEditorDialog"));
    // A leading "*" while the image holds changes that no file holds.
    setWindowTitle(QStringLiteral("[*]") + sharedText(kWindowTitle));
    setWindowIcon(applicationIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    history_ = new ImageHistory(image_, this);
    buildMenus();
    buildControls();
    buildEditingMenus();
    restoreRemembered();
    address_->setFocus(Qt::OtherFocusReason);
}

MainEditorDialog::~MainEditorDialog() = default;

QPushButton* MainEditorDialog::addButton(int id, const QString& text) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QStringLiteral("button%1").arg(id));
    connect(b, &QPushButton::clicked, this, [this, id] { runCommand(id); });
    buttons_[id] = b;
    return b;
}

QAction* MainEditorDialog::addMenuItem(QMenu* menu, int id, const QString& text) {
    QAction* a = menu->addAction(text);
    a->setData(id);
    connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
    actions_[id] = a;
    return a;
}

void MainEditorDialog::buildMenus() {
    menuBar_ = new QMenuBar(this);
    editMenu_ = menuBar_->addMenu(tr("&Edit"));
    undo_ = history_->stack()->createUndoAction(this, tr("&Undo"));
    undo_->setShortcut(QKeySequence::Undo);
    redo_ = history_->stack()->createRedoAction(this, tr("Re&do"));
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    editMenu_->addActions({undo_, redo_});
    editMenu_->addSeparator();
    addMenuItem(editMenu_, kCmdEditChannel, tr("&Edit Channel"));
    addMenuItem(editMenu_, kCmdDeleteChannels, tr("&Del Channel"));
    addMenuItem(editMenu_, kCmdAddChannel, tr("&Add Channel"));
    addMenuItem(editMenu_, kCmdResort, tr("&Resort Channel"));
    addMenuItem(editMenu_, kCmdFavLists, tr("Edit &Fav List"));
    QMenu* receiver = menuBar_->addMenu(tr("&Receiver"));
    verifyUploads_ = receiver->addAction(tr("Verify uploads"));
    verifyUploads_->setCheckable(true);
    verifyUploads_->setChecked(true);
    connect(receiver->addAction(tr("Restore Backup…")), &QAction::triggered, this,
            &MainEditorDialog::restoreFromBackup);
    QMenu* help = menuBar_->addMenu(tr("&Help"));
    addMenuItem(help, kCmdAbout, tr("&About"));
}

void MainEditorDialog::buildControls() {
    auto* top = new QVBoxLayout(this);
    top->setMenuBar(menuBar_);

    // Receiver address and the three paths, with the transfer buttons at the right.
    auto* paths = new QGridLayout;
    paths->addWidget(new QLabel(tr("Stb Ip Address"), this), 0, 0);
    address_ = new IpAddressEdit(this);
    address_->setObjectName(QStringLiteral("receiverAddress"));
    paths->addWidget(address_, 0, 1, Qt::AlignLeft);
    const auto addPathRow = [&](int row, const QString& label, QLineEdit*& edit, int chooseId, int transferId,
                                const QString& transferText) {
        paths->addWidget(new QLabel(label, this), row, 0);
        edit = new QLineEdit(this);
        paths->addWidget(edit, row, 1);
        paths->addWidget(addButton(chooseId, tr("Select File")), row, 2);
        paths->addWidget(addButton(transferId, transferText), row, 3);
    };
    addPathRow(1, tr("File Path:"), saveEdit_, kCmdChooseSavePath, kCmdDownload,
               tr("Download Channel DataBase From Stb"));
    addPathRow(2, tr("File path to upload"), uploadEdit_, kCmdChooseUploadPath, kCmdUpload,
               tr("Upload Channel DataBase to STB"));
    addPathRow(3, tr("Provider Freq File:"), providerEdit_, kCmdChooseProviderPath, kCmdUploadProvider,
               tr("Upload Provider Freq to STB"));
    saveEdit_->setObjectName(QStringLiteral("saveFilePath"));
    uploadEdit_->setObjectName(QStringLiteral("uploadFilePath"));
    providerEdit_->setObjectName(QStringLiteral("providerFilePath"));
    paths->setColumnStretch(1, 1);
    top->addLayout(paths);

    // The services: load buttons and source, the list, the editing buttons.
    auto* group = new QGroupBox(tr("Channel Informations"), this);
    auto* groupLayout = new QVBoxLayout(group);
    auto* loadRow = new QHBoxLayout;
    loadRow->addWidget(addButton(kCmdLoadDb, tr("&Load Channel Info DB")));
    loadRow->addWidget(addButton(kCmdImportDreamBox, tr("Load &DreamBox Channel")));
    sourceLabel_ = new QLabel(group);
    sourceLabel_->setObjectName(QStringLiteral("sourceLabel"));
    sourceLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    loadRow->addWidget(sourceLabel_);
    importSummary_ = new QLabel(group);
    importSummary_->setObjectName(QStringLiteral("importSummary"));
    loadRow->addSpacing(12);
    loadRow->addWidget(importSummary_, 1);
    groupLayout->addLayout(loadRow);

    filter_ = new FilterField(group);
    groupLayout->addWidget(filter_);
    list_ = new ChannelListView(group);
    list_->setObjectName(QStringLiteral("channelList"));
    filter_->setList(list_);
    connect(filter_, &QLineEdit::textChanged, list_, &ChannelListView::setFilterText);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, &MainEditorDialog::showListContextMenu);
    list_->viewport()->installEventFilter(this);
    groupLayout->addWidget(list_, 1);

    auto* editRow = new QHBoxLayout;
    QPushButton* save = addButton(kCmdSaveDb, tr("&Save Change to DB"));
    save->setDefault(true);
    editRow->addWidget(save);
    editRow->addWidget(addButton(kCmdAddChannel, tr("&Add Channel")));
    editRow->addWidget(addButton(kCmdEditChannel, tr("&Edit Channel")));
    editRow->addWidget(addButton(kCmdDeleteChannels, tr("&Del Channel")));
    editRow->addWidget(addButton(kCmdResort, tr("&Resort Channel")));
    editRow->addWidget(addButton(kCmdFavLists, tr("Edit &Fav List")));
    editRow->addStretch(1);
    // "&Quit Editor" ends the last row at the bottom right: a row of its own would take height
    // from the list, a column of its own width.
    editRow->addWidget(addButton(kCmdQuit, tr("&Quit Editor")));
    groupLayout->addLayout(editRow);
    top->addWidget(group, 1);
}

QPushButton* MainEditorDialog::button(int id) const {
    const auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

QAction* MainEditorDialog::menuAction(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void MainEditorDialog::buildEditingMenus() {
    // Keys of the list: Delete, Insert and F2 (F2 edits the current row).
    const std::pair<int, QKeySequence> keys[] = {{kCmdDeleteChannels, QKeySequence(QKeySequence::Delete)},
                                                 {kCmdAddChannel, QKeySequence(Qt::Key_Insert)},
                                                 {kCmdEditChannel, QKeySequence(Qt::Key_F2)}};
    for (const auto& [id, key] : keys) {
        QAction* action = actions_[id];
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        list_->addAction(action);
    }
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        filter_->setFocus(Qt::ShortcutFocusReason);
        filter_->selectAll();
    });

    editMenu_->addSeparator();
    selectionActions_ = addBulkEditMenus(editMenu_, [this](const BulkEdit& edit) { runBulkEdit(edit); });
    replaceInNames_ = editMenu_->addAction(tr("Replace in names…"));
    connect(replaceInNames_, &QAction::triggered, this, &MainEditorDialog::replaceInNames);
    selectionActions_ << replaceInNames_;
    const auto enableForSelection = [this] {
        const bool selected = list_->selectionModel()->hasSelection();
        for (QAction* action : selectionActions_) action->setEnabled(selected);
    };
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, enableForSelection);
    enableForSelection();

    connect(history_->stack(), &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });
    connect(history_, &ImageHistory::applied, this, [this](const QList<int>& records) {
        list_->rebuild(image_);
        if (records.isEmpty())
            fillChannelList(0);
        else
            list_->selectRecords(records);
    });
}

void MainEditorDialog::resizeToDefault() {
    // Wide enough for every column with the texts it commonly shows, and tall enough for
    // kDefaultRows rows (with room for a horizontal scroll bar), within the screen.
    constexpr int kDefaultRows = 20;
    // A service whose texts are the ones each column commonly shows at their widest ("900000 KHz",
    // "128QAM", "UnLocked", "Stereo", "Off", "Yes", "Radio"), in the language shown.
    ChannelRecord typical;
    typical.serviceId = typical.transponderId = typical.originalNetworkId = 65535;
    typical.frequencyKHz = 900000;
    typical.symbolRate = 65535;
    typical.qam = 3;
    typical.flags = (2u << kAudioShift) | kFlagDescrambled | (kProgRadio << kProgTypeShift);
    int columns = 0;
    for (int c = 0; c < kChannelListColumnCount; ++c) {
        const QString text =
            c == 0 ? QStringLiteral("1000") : fieldText(typical, kChannelListColumns[c - 1].field);
        columns +=
            std::max(list_->fittedWidth(c), list_->cellWidth(list_->fontMetrics().horizontalAdvance(text)));
    }
    const int frame = 2 * list_->frameWidth();
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_);
    const QSize listSize(columns + frame + scrollBar,
                         list_->horizontalHeader()->sizeHint().height() +
                             kDefaultRows * list_->verticalHeader()->defaultSectionSize() + frame +
                             scrollBar);
    // The list takes every change of the window's size, so the rest of the window measured at
    // any roomy size is what it needs beside the list.
    resize(1000, 700);
    layout()->activate();
    list_->parentWidget()->layout()->activate();  // the group box lays out the list
    QSize size = listSize + (this->size() - list_->size());
    if (const QScreen* screen = this->screen()) {
        // Room for the window manager's frame and title bar.
        const QRect available = screen->availableGeometry();
        size = size.boundedTo(QSize(available.width() - 16, available.height() - 40));
    }
    resize(size);
}

void MainEditorDialog::fillChannelList(int rowToSelect) {
    list_->rebuild(image_);
    const int n = list_->recordCount();
    if (n <= 0) return;
    list_->selectRecords({(rowToSelect >= 0 && rowToSelect < n) ? rowToSelect : n - 1});
}

void MainEditorDialog::restoreRemembered() {
    const RememberedWindow remembered = loadRememberedWindow();
    address_->setAddress(remembered.address);
    saveEdit_->setText(saveFilePath_ = remembered.saveFilePath);
    uploadEdit_->setText(uploadFilePath_ = remembered.uploadFilePath);
    providerEdit_->setText(providerFilePath_ = remembered.providerFilePath);
    list_->restoreUserColumnWidths(remembered.columnWidths);
    resizeToDefault();
    if (!remembered.geometry.isEmpty()) (void)restoreGeometry(remembered.geometry);
}

void MainEditorDialog::remember() const {
    saveRememberedWindow({address_->address(), saveEdit_->text(), uploadEdit_->text(), providerEdit_->text(),
                          saveGeometry(), list_->userColumnWidths()});
}

bool MainEditorDialog::settleUnsavedChanges() {
    if (!history_->hasUnsavedChanges()) return true;
    switch (prompts_.askSaveDiscardCancel(
        this, tr("The channel database has changes that are not saved. Save them before quitting?"),
        applicationCaption(), MessageIcon::Warning)) {
        case SaveChoice::Save: return saveDatabase();
        case SaveChoice::Discard: return true;
        case SaveChoice::Cancel: break;
    }
    return false;
}

void MainEditorDialog::reject() {
    if (settleUnsavedChanges()) QDialog::reject();
}

void MainEditorDialog::done(int result) {
    remember();
    QDialog::done(result);
}

void MainEditorDialog::runCommand(int id) {
    switch (id) {
        case kCmdLoadDb: loadDatabase(); break;
        case kCmdSaveDb: saveDatabase(); break;
        case kCmdChooseSavePath: choosePath(saveEdit_, saveFilePath_, false); break;
        case kCmdChooseUploadPath: choosePath(uploadEdit_, uploadFilePath_, false); break;
        case kCmdChooseProviderPath: choosePath(providerEdit_, providerFilePath_, true); break;
        case kCmdDownload: download(); break;
        case kCmdUpload: upload(); break;
        case kCmdUploadProvider: uploadProvider(); break;
        case kCmdImportDreamBox: importDreamBox(); break;
        case kCmdAddChannel: addChannel(); break;
        case kCmdEditChannel: editChannel(); break;
        case kCmdDeleteChannels: deleteChannels(); break;
        case kCmdResort: resort(); break;
        case kCmdFavLists: editFavLists(); break;
        case kCmdAbout: showAbout(); break;
        case kCmdQuit: reject(); break;
        default: break;
    }
}

void MainEditorDialog::takeOverPaths() {
    saveFilePath_ = saveEdit_->text();
    uploadFilePath_ = uploadEdit_->text();
    providerFilePath_ = providerEdit_->text();
}

void MainEditorDialog::loadDatabase() {
    const QList<int> before = selectedRecords();
    const auto path = prompts_.chooseFile(this, databaseFilePreset());
    if (!path) return;
    LoadResult result;
    {
        BusyCursor busy;
        result = loadDbFromPath(image_, localPath(*path));
    }
    // The load messages have no owner window.
    if (result == LoadResult::OpenFailed) return showPlainMessage(prompts_, nullptr, kFailToOpenDb);
    if (result == LoadResult::Invalid) return showPlainMessage(prompts_, nullptr, kInvalidDbFile);
    sourceLabel_->setText(*path);
    importSummary_->clear();
    fillChannelList(0);
    history_->record(tr("Load Channel Info DB"), before, selectedRecords());
    history_->markSaved();
}

bool MainEditorDialog::saveDatabase() {
    const auto path = prompts_.chooseFile(this, databaseFilePreset());
    if (!path) return false;
    SaveResult result;
    {
        BusyCursor busy;
        result = saveDbToPath(image_, localPath(*path));
    }
    if (result != SaveResult::Saved) {
        showPlainMessage(prompts_, this, result == SaveResult::OpenFailed ? kFailToOpenDb : kFailToWriteDb);
        return false;
    }
    sourceLabel_->setText(*path);
    history_->markSaved();
    return true;
}

void MainEditorDialog::choosePath(QLineEdit* edit, QString& path, bool providerList) {
    const auto chosen = prompts_.chooseFile(this, providerList ? providerFilePreset() : databaseFilePreset());
    if (!chosen) return;
    path = *chosen;
    edit->setText(path);
}

void MainEditorDialog::download() {
    takeOverPaths();
    TransferOutcome outcome;
    {
        BusyCursor busy;
        outcome = downloadDatabase(address_->address(), localPath(saveFilePath_));
    }
    showOutcome(prompts_, this, outcome);
}

void MainEditorDialog::upload() {
    takeOverPaths();
    TransferOutcome outcome;
    {
        BusyCursor busy;
        outcome = uploadDatabase(address_->address(), localPath(uploadFilePath_), uploadOptions());
    }
    showOutcome(prompts_, this, outcome);
}

void MainEditorDialog::uploadProvider() {
    takeOverPaths();
    TransferOutcome outcome;
    {
        BusyCursor busy;
        outcome = uploadProviderList(address_->address(), localPath(providerFilePath_), uploadOptions());
    }
    showOutcome(prompts_, this, outcome);
}

UploadOptions MainEditorDialog::uploadOptions() const {
    UploadOptions options;
    options.verify = verifyUploads_->isChecked();
    return options;
}

void MainEditorDialog::restoreFromBackup() {
    const std::string folder = defaultBackupFolder();
    (void)makeFolders(folder);  // the chooser opens there even before the first backup
    const auto path = prompts_.chooseFile(this, backupFilePreset(QString::fromLocal8Bit(folder)));
    if (!path) return;
    TransferOutcome outcome;
    {
        BusyCursor busy;
        outcome = restoreBackup(address_->address(), localPath(*path), uploadOptions());
    }
    showOutcome(prompts_, this, outcome);
}

void MainEditorDialog::importDreamBox() {
    const QList<int> before = selectedRecords();
    const auto folder = prompts_.chooseEnigmaFolder(this);
    if (!folder) return;
    const DreamBoxImportOutcome imported = importDreamBoxFolder(*folder, image_, prompts_, this);
    if (!imported.changed) return;
    sourceLabel_->setText(*folder);
    importSummary_->setText(imported.summary);
    fillChannelList(0);
    history_->record(tr("Load DreamBox Channel"), before, selectedRecords());
}

void MainEditorDialog::addChannel() {
    const QList<int> before = selectedRecords();
    ChannelEditDialog dialog(image_, prompts_);
    int index = -1;
    if (dialog.runForChannel(index) != QDialog::Accepted) return;
    fillChannelList(-1);
    history_->record(tr("Add Channel"), before, selectedRecords());
}

void MainEditorDialog::editChannel() {
    const QList<int> records = selectedRecords();
    if (records.isEmpty()) return showApplicationMessage(prompts_, this, sharedText(kSelectToEdit));
    // The current row when it is selected (F2 edits the row the user is on), else the first one.
    const int current = list_->currentRecord();
    int index = records.contains(current) ? current : records.first();
    ChannelEditDialog dialog(image_, prompts_);
    if (dialog.runForChannel(index) != QDialog::Accepted) return;
    fillChannelList(index);
    history_->record(tr("Edit Channel"), records, selectedRecords());
}

void MainEditorDialog::deleteChannels() {
    const QList<int> records = selectedRecords();
    if (records.isEmpty()) return showApplicationMessage(prompts_, this, sharedText(kSelectToDelete));
    // Each deletion moves the later services up by one.
    int deleted = 0;
    for (const int record : records)
        if (deleteChannel(image_, record - deleted)) ++deleted;
    fillChannelList(records.first());
    history_->record(tr("Del Channel"), records, selectedRecords());
}

void MainEditorDialog::resort() {
    if (channelCount(image_) <= 0) return showPlainMessage(prompts_, this, kNoChannelsLoaded);
    const QList<int> selection = selectedRecords();
    runResortDialog(image_, prompts_,
                    [this, selection](const QString& what) { history_->record(what, selection, selection); });
}

void MainEditorDialog::editFavLists() {
    if (channelCount(image_) <= 0) return showPlainMessage(prompts_, this, kNoChannelsLoaded);
    const QList<int> selection = selectedRecords();
    runFavListEditor(image_, snapshot_, prompts_, [this, selection](const QString& what) {
        history_->record(what, selection, selection);
    });
}

void MainEditorDialog::runBulkEdit(const BulkEdit& edit) {
    const QList<int> records = selectedRecords();
    if (records.isEmpty() || applyBulkEdit(image_, indexesOf(records), edit) == 0) return;
    list_->rebuild(image_);
    list_->selectRecords(records);
    history_->record(edit.name, records, records);
}

void MainEditorDialog::replaceInNames() {
    const QList<int> records = selectedRecords();
    if (records.isEmpty()) return;
    ReplaceNamesDialog dialog(image_, records, prompts_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (tovu::replaceInNames(image_, indexesOf(records), dialog.findText().toStdString(),
                             dialog.replacementText().toStdString()) == 0)
        return;
    list_->rebuild(image_);
    list_->selectRecords(records);
    history_->record(sharedText(kReplaceInNames), records, records);
}

void MainEditorDialog::showAbout() {
    AboutDialog about(this);
    about.exec();
}

void MainEditorDialog::showListContextMenu(const QPoint& viewportPos) {
    if (!list_->indexAt(viewportPos).isValid()) return;
    // The chosen item's own signal runs its command.
    editMenu_->exec(list_->viewport()->mapToGlobal(viewportPos));
}

bool MainEditorDialog::eventFilter(QObject* watched, QEvent* event) {
    // A double click anywhere in the list edits the selected service (not the row under the
    // pointer); the list's own handling of the click is left as it is.
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        runCommand(kCmdEditChannel);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tovu::ui
