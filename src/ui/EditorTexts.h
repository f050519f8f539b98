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

inline constexpr const char* kWindowTitle = "Tovu Cable Channel Editor";
inline constexpr const char* kMessageCaption = "Message";
inline constexpr const char* kSocketInitFailed = "Windows communicate port init failed.";
inline constexpr const char* kSelectToEdit = "Please select the channel want to Edit!";
inline constexpr const char* kSelectToDelete = "Please select the channel want to Del!";
inline constexpr const char* kNoChannelsLoaded = "There are not channels in list, Please Load DB First!";

// The caption of message boxes that name no caption of their own: the program's file name.
inline QString applicationCaption() { return QCoreApplication::applicationName(); }

// File chooser presets. The first pattern group of each filter is the text shown, the last
// parenthesised group the patterns matched (the dialog hides that last group).
inline FileChooserPreset databaseFilePreset() {
    return {QStringLiteral("tovuChanDB.kdat"),
            QStringLiteral("channel database(*.kdat) (*.kdat);;All Files (*.*) (*)"), QString(),
            QStringLiteral("database")};
}
inline FileChooserPreset providerFilePreset() {
    return {QStringLiteral("cable.xml"),
            QStringLiteral("provider frequency list(*.xml) (*.xml);;All Files (*.*) (*)"), QString(),
            QStringLiteral("providerList")};
}
// The backups of receivers, in the folder that keeps them.
inline FileChooserPreset backupFilePreset(const QString& folder) {
    return {QString(), QStringLiteral("receiver backup(*.kdat *.bin) (*.kdat *.bin);;All Files (*.*) (*)"),
            folder, QStringLiteral("backup")};
}

}  // namespace tovu::ui
