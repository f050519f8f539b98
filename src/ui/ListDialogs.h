// The two dialogs that reorder lists and edit favourite lists, as the main window opens them:
// modally, without a parent window.
#pragma once

#include "db/DbImage.h"

namespace tovu::ui {

class UserPrompts;

void runResortDialog(ChannelDbImage& image, UserPrompts& prompts);
void runFavListEditor(ChannelDbImage& image, ChannelDbImage& snapshot, UserPrompts& prompts);

}  // namespace tovu::ui
