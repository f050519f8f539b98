// The application: starts up, runs the main window modally and ends when it closes.
#pragma once

#include <QApplication>

namespace tovu::ui {

class EditorApp final : public QApplication {
    Q_OBJECT
public:
    EditorApp(int& argc, char** argv);
    // Start-up and the modal run of the main window; the process's exit status.
    [[nodiscard]] int run();
};

}  // namespace tovu::ui
