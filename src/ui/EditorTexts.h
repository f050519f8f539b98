// Texts, captions and command ids shared by the editor's window and its commands.
#pragma once

#include "ui/UserPrompts.h"

#include <QCoreApplication>
#include <QString>

namespace tovu::ui {

// Command ids of the main window's buttons and menu items; a button and a menu item with the
// same id run the same command.
enum CommandId : int {
    kCmdSaveDb = 1,
    kCmdQuit = 2,
    kCmdChooseSavePath = 4,
    kCmdLoadDb = 5,
    kCmdAddChannel = 6,
    kCmdChooseUploadPath = 7,
    kCmdDeleteChannels = 8,
    kCmdEditChannel = 9,
    kCmdResort = 10,
    kCmdChooseProviderPath = 11,
    kCmdImportDreamBox = 12,
    kCmdFavLists = 13,
    kCmdDownload = 1004,
    kCmdUpload = 1006,
    kCmdUploadProvider = 1010,
    kCmdAbout = 32771,
};

// Texts that several windows show are translated in one context, "Editor", so that a translator
// meets each once; the words of a service's fields (column titles, Channel Edit's labels and
// choices, the texts of the list) in the context "Channel". A source text is also the text shown
// where no translation is loaded.
inline QString sharedText(const char* source) { return QCoreApplication::translate("Editor", source); }
inline QString fieldWord(const char* source) { return QCoreApplication::translate("Channel", source); }

inline constexpr const char* kWindowTitle = QT_TRANSLATE_NOOP("Editor", "Tovu Cable Channel Editor");
inline constexpr const char* kMessageCaption = QT_TRANSLATE_NOOP("Editor", "Message");
inline constexpr const char* kSocketInitFailed =
    QT_TRANSLATE_NOOP("Editor", "Windows communicate port init failed.");
inline constexpr const char* kSelectToEdit =
    QT_TRANSLATE_NOOP("Editor", "Please select the channel want to Edit!");
inline constexpr const char* kSelectToDelete =
    QT_TRANSLATE_NOOP("Editor", "Please select the channel want to Del!");
inline constexpr const char* kNoChannelsLoaded =
    QT_TRANSLATE_NOOP("Editor", "There are not channels in list, Please Load DB First!");
inline constexpr const char* kSaveChange = QT_TRANSLATE_NOOP("Editor", "Save Change");
inline constexpr const char* kQuitWithoutSave = QT_TRANSLATE_NOOP("Editor", "Quit without Save");
inline constexpr const char* kChannelListLabel = QT_TRANSLATE_NOOP("Editor", "Channel List:");
inline constexpr const char* kCancel = QT_TRANSLATE_NOOP("Editor", "Cancel");
inline constexpr const char* kReplaceInNames = QT_TRANSLATE_NOOP("Editor", "Replace in names");

// The caption of message boxes that name no caption of their own: the program's file name.
inline QString applicationCaption() { return QCoreApplication::applicationName(); }

// A file chooser's filters: each kind's translated text, which shows, then its patterns (the
// dialog hides that last parenthesised group), and "All Files (*.*)".
inline QString chooserFilters(const char* kind, const char* patterns) {
    return sharedText(kind) + QStringLiteral(" (%1);;").arg(QLatin1String(patterns)) +
           sharedText(QT_TRANSLATE_NOOP("Editor", "All Files (*.*)")) + QStringLiteral(" (*)");
}

// File chooser presets.
inline FileChooserPreset databaseFilePreset() {
    return {QStringLiteral("tovuChanDB.kdat"),
            chooserFilters(QT_TRANSLATE_NOOP("Editor", "channel database(*.kdat)"), "*.kdat"), QString(),
            QStringLiteral("database")};
}
inline FileChooserPreset providerFilePreset() {
    return {QStringLiteral("cable.xml"),
            chooserFilters(QT_TRANSLATE_NOOP("Editor", "provider frequency list(*.xml)"), "*.xml"), QString(),
            QStringLiteral("providerList")};
}
// The backups of receivers, in the folder that keeps them.
inline FileChooserPreset backupFilePreset(const QString& folder) {
    return {QString(),
            chooserFilters(QT_TRANSLATE_NOOP("Editor", "receiver backup(*.kdat *.bin)"), "*.kdat *.bin"),
            folder, QStringLiteral("backup")};
}

}  // namespace tovu::ui
