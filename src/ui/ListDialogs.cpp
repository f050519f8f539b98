#include "ui/ListDialogs.h"

#include "ui/FavListEditorDialog.h"
#include "ui/ResortDialog.h"

namespace tovu::ui {

void runResortDialog(ChannelDbImage& image, UserPrompts& prompts, const StepReporter& saved) {
    ResortDialog dialog(image, prompts);
    dialog.reportSavesTo(saved);
    dialog.exec();
}

void runFavListEditor(ChannelDbImage& image, ChannelDbImage& snapshot, UserPrompts& prompts,
                      const StepReporter& saved) {
    // However the editor is closed, it puts back what was not saved, which is what the last
    // reported step left in the image.
    FavListEditorDialog dialog(image, snapshot, prompts);
    dialog.reportSavesTo(saved);
    dialog.exec();
}

}  // namespace tovu::ui
