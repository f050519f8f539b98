#include "ui/EditorLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdlib>
#include <cstring>

// The translations are resources of a static library: registered before the first use.
static void registerTranslationResources() { Q_INIT_RESOURCE(tovu_translations); }

namespace tovu::ui {
namespace {

// The application's translator of that name, made on first use; the application owns it.
QTranslator* applicationTranslator(const QString& name) {
    QCoreApplication* app = QCoreApplication::instance();
    auto* translator = app->findChild<QTranslator*>(name, Qt::FindDirectChildrenOnly);
    if (translator == nullptr) {
        translator = new QTranslator(app);
        translator->setObjectName(name);
    }
    return translator;
}

}  // namespace

QLocale desktopMessagesLocale() {
    const char* messages = nullptr;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        messages = std::getenv(variable);
        if (messages != nullptr && messages[0] != '\0') break;
    }
    if (messages == nullptr || messages[0] == '\0' || std::strcmp(messages, "C") == 0 ||
        std::strncmp(messages, "C.", 2) == 0 || std::strcmp(messages, "POSIX") == 0)
        return QLocale::c();
    return QLocale::system();
}

InstalledTranslations installTranslations(const QLocale& locale) {
    static const bool registered = (registerTranslationResources(), true);
    (void)registered;
    QTranslator* editor = applicationTranslator(QStringLiteral("editorTranslator"));
    QTranslator* qt = applicationTranslator(QStringLiteral("qtTranslator"));
    QCoreApplication::removeTranslator(editor);
    QCoreApplication::removeTranslator(qt);
    InstalledTranslations installed;
    if (locale.language() == QLocale::C) return installed;
    installed.editor = editor->load(locale, QLatin1String(kTranslationFileBase), QStringLiteral("_"),
                                    QStringLiteral(":/i18n")) &&
                       QCoreApplication::installTranslator(editor);
    installed.qt = qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
                   QCoreApplication::installTranslator(qt);
    return installed;
}

}  // namespace tovu::ui
