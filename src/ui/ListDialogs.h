// The two dialogs that reorder lists and edit favourite lists, as the main window opens them:
// modally, without a parent window.
#pragma once

#include "db/DbImage.h"

#include <QString>

#include <functional>

namespace tovu::ui {

class UserPrompts;

// Told of every "Save Change" that changed the image, with a name for that step.
using StepReporter = std::function<void(const QString& what)>;

void runResortDialog(ChannelDbImage& image, UserPrompts& prompts, const StepReporter& saved = {});
void runFavListEditor(ChannelDbImage& image, ChannelDbImage& snapshot, UserPrompts& prompts,
                      const StepReporter& saved = {});

}  // namespace tovu::ui
