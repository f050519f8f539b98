#include "ui/ListDialogs.h"

#include "ui/ResortDialog.h"

namespace tovu::ui {

void runResortDialog(ChannelDbImage& image, UserPrompts& prompts) {
    ResortDialog dialog(image, prompts);
    dialog.exec();
}

// Placeholder until the Fav List Editor exists.
void runFavListEditor(ChannelDbImage&, ChannelDbImage&, UserPrompts&) {}

}  // namespace tovu::ui
