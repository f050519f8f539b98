// Answers the editor's questions in widget tests and records every message it shows.
#pragma once

#include "ui/UserPrompts.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <optional>
#include <vector>

namespace tovu::ui::test {

// The widget tests' one application object, created on first use unless one exists already.
// It is never destroyed: a QApplication destroyed among the process's exit handlers finds Qt's
// own globals gone already and crashes the test run at its very end. What the editor remembers
// goes to a folder of the test run's own, never to the user's settings.
inline QApplication& testApplication() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    static QTemporaryDir settings;
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (const auto scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, settings.path());
    return *app;
}

struct ShownMessage {
    QWidget* owner;
    QString text;
    QString caption;
    MessageIcon icon;
    bool confirmation;
};

class FakePrompts final : public UserPrompts {
public:
    // Scripted answers, taken in order; an empty queue answers Cancel / nothing.
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<std::optional<QString>> folderAnswers;
    std::deque<bool> confirmAnswers;
    std::deque<SaveChoice> saveAnswers;  // an empty queue answers Cancel
    std::deque<std::optional<ImportChoices>> choiceAnswers;

    std::vector<ShownMessage> messages;
    std::vector<FileChooserPreset> fileRequests;
    int folderRequests = 0;
    std::vector<ImportSurvey> choiceRequests;

    void showMessage(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon) override {
        messages.push_back({owner, text, caption, icon, false});
    }
    bool confirm(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon) override {
        messages.push_back({owner, text, caption, icon, true});
        if (confirmAnswers.empty()) return false;
        const bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    SaveChoice askSaveDiscardCancel(QWidget* owner, const QString& text, const QString& caption,
                                    MessageIcon icon) override {
        messages.push_back({owner, text, caption, icon, true});
        if (saveAnswers.empty()) return SaveChoice::Cancel;
        const SaveChoice answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    std::optional<QString> chooseFile(QWidget*, const FileChooserPreset& preset) override {
        fileRequests.push_back(preset);
        return take(fileAnswers);
    }
    std::optional<QString> chooseEnigmaFolder(QWidget*) override {
        ++folderRequests;
        return take(folderAnswers);
    }
    std::optional<ImportChoices> chooseImportChoices(QWidget*, const ImportSurvey& survey) override {
        choiceRequests.push_back(survey);
        if (choiceAnswers.empty()) return std::nullopt;
        auto answer = choiceAnswers.front();
        choiceAnswers.pop_front();
        return answer;
    }

    // The texts of the messages shown so far.
    QStringList texts() const {
        QStringList out;
        for (const auto& m : messages) out << m.text;
        return out;
    }

private:
    static std::optional<QString> take(std::deque<std::optional<QString>>& answers) {
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace tovu::ui::test
