// The language the editor speaks: the desktop's, from LANGUAGE, LC_ALL, LC_MESSAGES and LANG.
// The editor's own translations are built into the program (resource folder ":/i18n"); Qt's own
// dialogs and buttons take Qt's translations as the system installs them. Without a translation
// for the language, and under the C or POSIX locale, every text is its source text.
#pragma once

#include <QLocale>

namespace tovu::ui {

// The base name of the editor's translation files: tovu-chan-editor_zh_CN.qm.
inline constexpr const char* kTranslationFileBase = "tovu-chan-editor";

// The locale whose languages the desktop asks for. As gettext does, a messages locale (the first
// set of LC_ALL, LC_MESSAGES and LANG) of C or POSIX, or none at all, is the C locale whatever
// LANGUAGE says; otherwise the system locale, whose languages are LANGUAGE's list or else that
// messages locale.
[[nodiscard]] QLocale desktopMessagesLocale();

struct InstalledTranslations {
    bool editor = false;  // the editor's translation for the locale was found
    bool qt = false;      // Qt's own
};

// Installs the translations for the locale's languages into the application, replacing those a
// previous call installed (the C locale installs none).
InstalledTranslations installTranslations(const QLocale& locale);

}  // namespace tovu::ui
