#include "ui/ListDialogs.h"

#include "ui/FavListEditorDialog.h"
#include "ui/ResortDialog.h"

namespace tovu::ui {

void runResortDialog(ChannelDbImage& image, UserPrompts& prompts) {
    ResortDialog dialog(image, prompts);
    dialog.exec();
}

void runFavListEditor(ChannelDbImage& image, ChannelDbImage& snapshot, UserPrompts& prompts) {
    // However the editor is closed, it puts back what was not saved.
    FavListEditorDialog dialog(image, snapshot, prompts);
    dialog.exec();
}

}  // namespace tovu::ui
