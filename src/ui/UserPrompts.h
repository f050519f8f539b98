// Every question and message the editor puts to the user goes through this one interface:
// message boxes, the OK/Cancel confirmation, the Save/Discard/Cancel question, file choosers,
// the folder browser and the choices of a DreamBox import. The editor uses DialogPrompts (real
// dialogs); tests answer through a fake of their own.
#pragma once

#include "enigma/ImportChoices.h"

#include <QString>

#include <optional>

class QWidget;

namespace tovu::ui {

enum class MessageIcon { None, Information, Warning, Critical, Question };

// The answer to a question about changes not saved yet.
enum class SaveChoice { Save, Discard, Cancel };

// A file chooser's default file name, its filters in Qt's form ("text (pattern)" pairs
// separated by ";;"), the folder it starts in (empty: the folder it was last in, else the
// process's current folder) and the name under which it remembers the folder it was last in.
struct FileChooserPreset {
    QString defaultName;
    QString filters;
    QString startFolder = {};
    QString chooser = QStringLiteral("files");
};

class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // One message box with an OK button. A null owner gives a box without owner window.
    virtual void showMessage(QWidget* owner, const QString& text, const QString& caption,
                             MessageIcon icon) = 0;
    // The OK/Cancel confirmation; true when the user pressed OK.
    virtual bool confirm(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon) = 0;
    // A question about changes not saved yet, with Save, Discard and Cancel buttons.
    virtual SaveChoice askSaveDiscardCancel(QWidget* owner, const QString& text, const QString& caption,
                                            MessageIcon icon) = 0;
    // A file chooser as the preset says; nothing when cancelled.
    virtual std::optional<QString> chooseFile(QWidget* owner, const FileChooserPreset& preset) = 0;
    // The folder browser for an Enigma settings folder, starting where the last chosen one lies
    // (else in the current folder); nothing when cancelled.
    virtual std::optional<QString> chooseEnigmaFolder(QWidget* owner) = 0;
    // The choices of an import of a folder that holds what the survey says; nothing when cancelled.
    virtual std::optional<ImportChoices> chooseImportChoices(QWidget* owner, const ImportSurvey& survey) = 0;
};

}  // namespace tovu::ui
