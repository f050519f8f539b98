// The editor's real prompts: message boxes, the OK/Cancel confirmation, Qt's own file chooser
// and the DreamBox folder browser and the import choices.
#pragma once

#include "ui/UserPrompts.h"

namespace tovu::ui {

class DialogPrompts final : public UserPrompts {
public:
    void showMessage(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon) override;
    bool confirm(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon) override;
    SaveChoice askSaveDiscardCancel(QWidget* owner, const QString& text, const QString& caption,
                                    MessageIcon icon) override;
    std::optional<QString> chooseFile(QWidget* owner, const FileChooserPreset& preset) override;
    std::optional<QString> chooseEnigmaFolder(QWidget* owner) override;
    std::optional<ImportChoices> chooseImportChoices(QWidget* owner, const ImportSurvey& survey) override;
};

}  // namespace tovu::ui
