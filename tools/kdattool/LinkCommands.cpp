#include "Commands.h"

namespace kdattool {

int runDownload(const Args&) { return fail("download is not available yet"); }
int runUpload(const Args&) { return fail("upload is not available yet"); }
int runUploadFreq(const Args&) { return fail("upload-freq is not available yet"); }
int runCable2Bin(const Args&) { return fail("cable2bin is not available yet"); }

}  // namespace kdattool
