#include "ui/EditorApp.h"

#include "db/DbImage.h"
#include "ui/AppIcon.h"
#include "ui/DialogPrompts.h"
#include "ui/EditorLanguage.h"
#include "ui/EditorTexts.h"
#include "ui/MainEditorDialog.h"

namespace tovu::ui {
namespace {

// The socket library needs no start-up on this system.
bool startSockets() { return true; }

}  // namespace

EditorApp::EditorApp(int& argc, char** argv) : QApplication(argc, argv) {
    // The application name (the caption of most message boxes) stays the program's file name.
    setWindowIcon(applicationIcon());
    setDesktopFileName(QStringLiteral("org.tovu.ChanEditor"));
    (void)installTranslations(desktopMessagesLocale());
}

int EditorApp::run() {
    DialogPrompts prompts;
    if (!startSockets()) {
        prompts.showMessage(nullptr, sharedText(kSocketInitFailed), applicationCaption(),
                            MessageIcon::Warning);
        return 1;
    }
    MainEditorDialog window(editorImage(), editorSnapshot(), prompts);
    (void)window.exec();
    return 0;
}

}  // namespace tovu::ui
