#include "ui/MainEditorDialog.h"

#include "db/ChannelRecord.h"
#include "db/DbStore.h"
#include "link/Backups.h"
#include "link/Transactions.h"
#include "ui/AboutDialog.h"
#include "ui/AppIcon.h"
#include "ui/ChannelEditDialog.h"
#include "ui/ChannelListModel.h"
#include "ui/DreamBoxImport.h"
#include "ui/EditorTexts.h"
#include "ui/IpAddressEdit.h"
#include "ui/ListDialogs.h"
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
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

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
    prompts.showMessage(owner, QString::fromUtf8(text), QString::fromLatin1(kMessageCaption),
                        MessageIcon::None);
}
void showApplicationMessage(UserPrompts& prompts, QWidget* owner, const QString& text) {
    prompts.showMessage(owner, text, applicationCaption(), MessageIcon::Warning);
}

// A transfer that succeeded reports it with the information icon.
void showOutcome(UserPrompts& prompts, QWidget* owner, const TransferOutcome& outcome) {
    const QString text = QString::fromStdString(outcome.message);
    if (outcome.caption == OutcomeCaption::Message)
        prompts.showMessage(owner, text, QString::fromLatin1(kMessageCaption), MessageIcon::None);
    else if (outcome.success)
        prompts.showMessage(owner, text, applicationCaption(), MessageIcon::Information);
    else
        showApplicationMessage(prompts, owner, text);
}

std::string localPath(const QString& path) { return path.toLocal8Bit().toStdString(); }

}  // namespace

MainEditorDialog::MainEditorDialog(ChannelDbImage& image, ChannelDbImage& snapshot, UserPrompts& prompts,
                                   QWidget* parent)
    : QDialog(parent), image_(image), snapshot_(snapshot), prompts_(prompts) {
    setObjectName(QStringLiteral("MainEditorDialog"));
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    setWindowIcon(applicationIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    buildMenus();
    buildControls();
    fitColumns();
    resizeToDefault();
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
    editMenu_ = menuBar_->addMenu(QStringLiteral("&Edit"));
    addMenuItem(editMenu_, kCmdEditChannel, QStringLiteral("&Edit Channel"));
    addMenuItem(editMenu_, kCmdDeleteChannels, QStringLiteral("&Del Channel"));
    addMenuItem(editMenu_, kCmdAddChannel, QStringLiteral("&Add Channel"));
    addMenuItem(editMenu_, kCmdResort, QStringLiteral("&Resort Channel"));
    addMenuItem(editMenu_, kCmdFavLists, QStringLiteral("Edit &Fav List"));
    QMenu* receiver = menuBar_->addMenu(QStringLiteral("&Receiver"));
    verifyUploads_ = receiver->addAction(QStringLiteral("Verify uploads"));
    verifyUploads_->setCheckable(true);
    verifyUploads_->setChecked(true);
    connect(receiver->addAction(QStringLiteral("Restore Backup…")), &QAction::triggered, this,
            &MainEditorDialog::restoreFromBackup);
    QMenu* help = menuBar_->addMenu(QStringLiteral("&Help"));
    addMenuItem(help, kCmdAbout, QStringLiteral("&About"));
}

void MainEditorDialog::buildControls() {
    auto* top = new QVBoxLayout(this);
    top->setMenuBar(menuBar_);

    // Receiver address and the three paths, with the transfer buttons at the right.
    auto* paths = new QGridLayout;
    paths->addWidget(new QLabel(QStringLiteral("Stb Ip Address"), this), 0, 0);
    address_ = new IpAddressEdit(this);
    address_->setObjectName(QStringLiteral("receiverAddress"));
    paths->addWidget(address_, 0, 1, Qt::AlignLeft);
    const auto addPathRow = [&](int row, const QString& label, QLineEdit*& edit, int chooseId, int transferId,
                                const QString& transferText) {
        paths->addWidget(new QLabel(label, this), row, 0);
        edit = new QLineEdit(this);
        paths->addWidget(edit, row, 1);
        paths->addWidget(addButton(chooseId, QStringLiteral("Select File")), row, 2);
        paths->addWidget(addButton(transferId, transferText), row, 3);
    };
    addPathRow(1, QStringLiteral("File Path:"), saveEdit_, kCmdChooseSavePath, kCmdDownload,
               QStringLiteral("Download Channel DataBase From Stb"));
    addPathRow(2, QStringLiteral("File path to upload"), uploadEdit_, kCmdChooseUploadPath, kCmdUpload,
               QStringLiteral("Upload Channel DataBase to STB"));
    addPathRow(3, QStringLiteral("Provider Freq File:"), providerEdit_, kCmdChooseProviderPath,
               kCmdUploadProvider, QStringLiteral("Upload Provider Freq to STB"));
    saveEdit_->setObjectName(QStringLiteral("saveFilePath"));
    uploadEdit_->setObjectName(QStringLiteral("uploadFilePath"));
    providerEdit_->setObjectName(QStringLiteral("providerFilePath"));
    paths->setColumnStretch(1, 1);
    top->addLayout(paths);

    // The services: load buttons and source, the list, the editing buttons.
    auto* group = new QGroupBox(QStringLiteral("Channel Informations"), this);
    auto* groupLayout = new QVBoxLayout(group);
    auto* loadRow = new QHBoxLayout;
    loadRow->addWidget(addButton(kCmdLoadDb, QStringLiteral("&Load Channel Info DB")));
    loadRow->addWidget(addButton(kCmdImportDreamBox, QStringLiteral("Load &DreamBox Channel")));
    sourceLabel_ = new QLabel(group);
    sourceLabel_->setObjectName(QStringLiteral("sourceLabel"));
    sourceLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    loadRow->addWidget(sourceLabel_);
    importSummary_ = new QLabel(group);
    importSummary_->setObjectName(QStringLiteral("importSummary"));
    loadRow->addSpacing(12);
    loadRow->addWidget(importSummary_, 1);
    groupLayout->addLayout(loadRow);

    model_ = new ChannelListModel(this);
    list_ = new QTableView(group);
    list_->setObjectName(QStringLiteral("channelList"));
    list_->setModel(model_);
    list_->setShowGrid(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSortingEnabled(false);
    list_->setWordWrap(false);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    QHeaderView* header = list_->horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setMinimumSectionSize(8);
    // A width the user drags stays; the other columns keep fitting their texts.
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (applyingWidths_ || column < 0 || column >= kChannelListColumnCount) return;
        userSized_[static_cast<size_t>(column)] = true;
        widths_[static_cast<size_t>(column)] = width;
        applyColumnWidths();
    });
    // The selection stays visible while the list has no focus.
    QPalette palette = list_->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    list_->setPalette(palette);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, &MainEditorDialog::showListContextMenu);
    list_->viewport()->installEventFilter(this);
    groupLayout->addWidget(list_, 1);

    auto* editRow = new QHBoxLayout;
    QPushButton* save = addButton(kCmdSaveDb, QStringLiteral("&Save Change to DB"));
    save->setDefault(true);
    editRow->addWidget(save);
    editRow->addWidget(addButton(kCmdAddChannel, QStringLiteral("&Add Channel")));
    editRow->addWidget(addButton(kCmdEditChannel, QStringLiteral("&Edit Channel")));
    editRow->addWidget(addButton(kCmdDeleteChannels, QStringLiteral("&Del Channel")));
    editRow->addWidget(addButton(kCmdResort, QStringLiteral("&Resort Channel")));
    editRow->addWidget(addButton(kCmdFavLists, QStringLiteral("Edit &Fav List")));
    editRow->addStretch(1);
    groupLayout->addLayout(editRow);
    // "&Quit Editor" at the bottom right, beside the group box, so the list gets the height.
    auto* lower = new QHBoxLayout;
    lower->addWidget(group, 1);
    lower->addWidget(addButton(kCmdQuit, QStringLiteral("&Quit Editor")), 0, Qt::AlignBottom);
    top->addLayout(lower, 1);
}

QPushButton* MainEditorDialog::button(int id) const {
    const auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

QAction* MainEditorDialog::menuAction(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

int MainEditorDialog::cellWidth(int textWidth) const {
    // The cell's text margins on both sides, as the view draws them, and the grid line.
    return textWidth + 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1) + 1;
}

void MainEditorDialog::fitColumns() {
    // Each column is as wide as its widest text, and at least as wide as its standard width.
    const QHeaderView* header = list_->horizontalHeader();
    const QFontMetrics metrics = list_->fontMetrics();
    for (int c = 0; c < kChannelListColumnCount; ++c) {
        if (userSized_[static_cast<size_t>(c)]) continue;
        widths_[static_cast<size_t>(c)] =
            std::max({ChannelListModel::columnWidth(c), cellWidth(model_->widestText(c, metrics)),
                      header->sectionSizeHint(c)});
    }
    applyColumnWidths();
}

void MainEditorDialog::applyColumnWidths() {
    constexpr size_t kName = 1;
    // Width the list has beyond what the columns need goes to the Name column, until the user
    // sizes that column himself.
    int others = 0;
    for (size_t c = 0; c < widths_.size(); ++c)
        if (c != kName) others += widths_[c];
    int name = widths_[kName];
    if (!userSized_[kName]) name = std::max(name, list_->viewport()->width() - others);
    applyingWidths_ = true;
    for (size_t c = 0; c < widths_.size(); ++c)
        list_->setColumnWidth(static_cast<int>(c), c == kName ? name : widths_[c]);
    applyingWidths_ = false;
}

void MainEditorDialog::resizeToDefault() {
    // Wide enough for every column with the texts it commonly shows, and tall enough for
    // kDefaultRows rows (with room for a horizontal scroll bar), within the screen.
    constexpr int kDefaultRows = 20;
    static const char* const kTypicalTexts[kChannelListColumnCount] = {
        "1000",   "",         "65535",  "65535", "65535", "900000 KHz", "65535 Kbs",
        "128QAM", "UnLocked", "Stereo", "Off",   "Yes",   "Radio"};
    int columns = 0;
    for (int c = 0; c < kChannelListColumnCount; ++c)
        columns +=
            std::max(widths_[static_cast<size_t>(c)],
                     cellWidth(list_->fontMetrics().horizontalAdvance(QLatin1String(kTypicalTexts[c]))));
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
    model_->rebuild(image_);
    fitColumns();
    const int n = model_->rowCount();
    if (n <= 0) return;
    const int row = (rowToSelect >= 0 && rowToSelect < n) ? rowToSelect : n - 1;
    const QModelIndex index = model_->index(row, 0);
    list_->selectionModel()->setCurrentIndex(index,
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list_->scrollTo(index, QAbstractItemView::EnsureVisible);
}

QList<int> MainEditorDialog::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows()) rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
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
}

void MainEditorDialog::saveDatabase() {
    const auto path = prompts_.chooseFile(this, databaseFilePreset());
    if (!path) return;
    SaveResult result;
    {
        BusyCursor busy;
        result = saveDbToPath(image_, localPath(*path));
    }
    if (result == SaveResult::OpenFailed) return showPlainMessage(prompts_, this, kFailToOpenDb);
    if (result == SaveResult::WriteFailed) return showPlainMessage(prompts_, this, kFailToWriteDb);
    sourceLabel_->setText(*path);
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
    const auto folder = prompts_.chooseEnigmaFolder(this);
    if (!folder) return;
    const DreamBoxImportOutcome imported = importDreamBoxFolder(*folder, image_, prompts_, this);
    if (!imported.changed) return;
    sourceLabel_->setText(*folder);
    importSummary_->setText(imported.summary);
    fillChannelList(0);
}

void MainEditorDialog::addChannel() {
    ChannelEditDialog dialog(image_, prompts_);
    int index = -1;
    if (dialog.runForChannel(index) == QDialog::Accepted) fillChannelList(-1);
}

void MainEditorDialog::editChannel() {
    const QList<int> rows = selectedRows();
    if (rows.isEmpty()) return showApplicationMessage(prompts_, this, QString::fromLatin1(kSelectToEdit));
    int index = rows.first();
    ChannelEditDialog dialog(image_, prompts_);
    if (dialog.runForChannel(index) == QDialog::Accepted) fillChannelList(index);
}

void MainEditorDialog::deleteChannels() {
    const QList<int> rows = selectedRows();
    if (rows.isEmpty()) return showApplicationMessage(prompts_, this, QString::fromLatin1(kSelectToDelete));
    // Each deletion moves the later services up by one.
    int deleted = 0;
    for (const int row : rows)
        if (deleteChannel(image_, row - deleted)) ++deleted;
    fillChannelList(rows.first());
}

void MainEditorDialog::resort() {
    if (channelCount(image_) <= 0) return showPlainMessage(prompts_, this, kNoChannelsLoaded);
    runResortDialog(image_, prompts_);
}

void MainEditorDialog::editFavLists() {
    if (channelCount(image_) <= 0) return showPlainMessage(prompts_, this, kNoChannelsLoaded);
    runFavListEditor(image_, snapshot_, prompts_);
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
    if (watched == list_->viewport() && event->type() == QEvent::Resize) applyColumnWidths();
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
