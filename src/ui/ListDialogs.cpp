#include "ui/ListDialogs.h"

namespace tovu::ui {

// Placeholders until the Resort dialog and the Fav List Editor exist.
void runResortDialog(ChannelDbImage&, UserPrompts&) {}
void runFavListEditor(ChannelDbImage&, ChannelDbImage&, UserPrompts&) {}

}  // namespace tovu::ui
