#include "Commands.h"

namespace kdattool {

int runImportEnigma(const Args&) { return fail("import-enigma is not available yet"); }

}  // namespace kdattool
