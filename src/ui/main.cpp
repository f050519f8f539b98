// The channel editor: one window over the in-memory channel database image.
#include "ui/EditorApp.h"

int main(int argc, char** argv) {
    tovu::ui::EditorApp app(argc, argv);
    return app.run();
}
