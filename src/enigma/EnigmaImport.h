// Import of an Enigma settings folder into the database image.
#pragma once

#include "db/DbImage.h"

namespace tovu {

// Reads the folder (lamedb or services, the lock list, the bouquets) and replaces the services,
// type lists and favourite lists of the image with what it holds. Diagnostics go to standard
// output. A null folder does nothing.
void ImportIntoImage(const char* folder, ChannelDbImage& image);

}  // namespace tovu
