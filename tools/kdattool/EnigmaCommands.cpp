#include "Commands.h"

#include "db/DbStore.h"
#include "enigma/EnigmaImport.h"

#include <cstdio>
#include <memory>

namespace kdattool {

// import-enigma FOLDER OUT [BASE]: imports the folder into an all-zero image (or into BASE, loaded
// as the editor loads a .kdat) and saves it to OUT as the editor saves. The import's diagnostics
// go to standard output; the import itself never fails the command.
int runImportEnigma(const Args& args) {
    auto image = std::make_unique<tovu::ChannelDbImage>();
    if (args.size() > 2) {
        switch (tovu::loadDbFromPath(*image, args[2])) {
            case tovu::LoadResult::Loaded: break;
            case tovu::LoadResult::OpenFailed: return fail(tovu::kFailToOpenDb);
            case tovu::LoadResult::Invalid: return fail(tovu::kInvalidDbFile);
        }
    }
    tovu::ImportIntoImage(args[0].c_str(), *image);
    std::fflush(stdout);
    switch (tovu::saveDbToPath(*image, args[1])) {
        case tovu::SaveResult::Saved: return 0;
        case tovu::SaveResult::OpenFailed: return fail(tovu::kFailToOpenDb);
        case tovu::SaveResult::WriteFailed: return fail(tovu::kFailToWriteDb);
    }
    return 1;
}

}  // namespace kdattool
