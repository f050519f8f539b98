#include "ui/DreamBoxImport.h"

#include "enigma/EnigmaImport.h"
#include "enigma/ImportChoices.h"
#include "ui/ImportTexts.h"
#include "ui/UserPrompts.h"

#include <QApplication>
#include <QFile>

namespace tovu::ui {

DreamBoxImportOutcome importDreamBoxFolder(const QString& folder, ChannelDbImage& image, UserPrompts& prompts,
                                           QWidget* owner) {
    const QByteArray path = QFile::encodeName(folder);
    EnigmaImportResult result{};
    // A folder that cannot be read leaves an empty result, which empties the image as before.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    (void)ImportEnigmaFolder(path.constData(), &result);
    const ImportSurvey survey = SurveyImport(result);
    QApplication::restoreOverrideCursor();

    ImportChoices choices;
    if (ImportChoicesMatter(survey)) {
        const auto chosen = prompts.chooseImportChoices(owner, survey);
        if (!chosen) {
            ReleaseImport(&result);
            return {};
        }
        choices = *chosen;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ImportPreview imported = ImportResultIntoImage(&result, choices, image);
    QApplication::restoreOverrideCursor();
    return {true, importSummaryLine(imported)};
}

}  // namespace tovu::ui
