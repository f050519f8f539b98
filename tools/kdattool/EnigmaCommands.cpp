#include "Commands.h"

#include "db/DbStore.h"
#include "enigma/ImportChoices.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

namespace kdattool {
namespace {

struct ImportArgs {
    std::vector<std::string> paths;  // FOLDER OUT [BASE]
    tovu::ImportChoices choices;
    std::vector<size_t> bouquets;  // --bouquets: 1-based positions
    bool bouquetsGiven = false;
    bool summary = false;
};

// "N,M,...": positions from 1; false when the list is not of that form.
bool parsePositions(const std::string& text, std::vector<size_t>& positions) {
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (item.empty() || item.size() > 9 || item.find_first_not_of("0123456789") != std::string::npos)
            return false;
        const size_t position = std::strtoul(item.c_str(), nullptr, 10);
        if (position == 0) return false;
        positions.push_back(position);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

std::optional<ImportArgs> parseImportArgs(const Args& args) {
    ImportArgs parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--cable-only") {
            parsed.choices.cableOnly = true;
        } else if (arg == "--bouquets-first") {
            parsed.choices.bouquetsFirst = true;
        } else if (arg == "--summary") {
            parsed.summary = true;
        } else if (arg == "--bouquets" || arg.rfind("--bouquets=", 0) == 0) {
            const bool separate = arg == "--bouquets";
            if (separate && i + 1 == args.size()) return std::nullopt;
            parsed.bouquetsGiven = true;
            if (!parsePositions(separate ? args[++i] : arg.substr(11), parsed.bouquets)) return std::nullopt;
        } else if (arg.rfind("--", 0) == 0) {
            return std::nullopt;
        } else {
            parsed.paths.push_back(arg);
        }
    }
    if (parsed.paths.size() < 2 || parsed.paths.size() > 3) return std::nullopt;
    return parsed;
}

// What the folder holds and what the import will give, on standard error.
void printSummary(const tovu::ImportSurvey& survey, const tovu::ImportChoices& choices) {
    const int32_t* d = survey.byDelivery;
    std::fprintf(stderr, "%d services: %d cable, %d satellite, %d terrestrial", survey.services,
                 d[tovu::kDeliveryCable], d[tovu::kDeliverySatellite], d[tovu::kDeliveryTerrestrial]);
    if (d[tovu::kDeliveryOther] > 0) std::fprintf(stderr, ", %d other", d[tovu::kDeliveryOther]);
    std::fprintf(stderr, "; %d TV, %d radio; %d locked\n", survey.tv, survey.radio, survey.locked);
    std::fprintf(stderr, "TV bouquets: %zu; radio bouquets: %d\n", survey.tvBouquets.size(),
                 survey.radioBouquets);
    for (size_t b = 0; b < survey.tvBouquets.size(); ++b)  // ticked ones marked *, with their services
        std::fprintf(stderr, "%4zu %c %s (%zu)\n", b + 1, tovu::IsBouquetTicked(choices, b) ? '*' : ' ',
                     survey.tvBouquets[b].name.c_str(), survey.tvBouquets[b].entries.size());
    std::fprintf(stderr, "%s\n", tovu::FormatImportPreview(tovu::PreviewImport(survey, choices)).c_str());
}

}  // namespace

// import-enigma FOLDER OUT [BASE] [--cable-only] [--bouquets-first] [--bouquets N,M,...] [--summary]:
// imports the folder into an all-zero image (or into BASE, loaded as the editor loads a .kdat) with
// the choices given and saves it to OUT as the editor saves. The import's diagnostics go to
// standard output. A folder that is missing, holds no settings file or gives no service fails the
// command and leaves OUT as it was.
int runImportEnigma(const Args& args) {
    std::optional<ImportArgs> parsed = parseImportArgs(args);
    if (!parsed) return 2;
    const std::string& folder = parsed->paths[0];
    auto image = std::make_unique<tovu::ChannelDbImage>();
    if (parsed->paths.size() > 2) {
        switch (tovu::loadDbFromPath(*image, parsed->paths[2])) {
            case tovu::LoadResult::Loaded: break;
            case tovu::LoadResult::OpenFailed: return fail(tovu::kFailToOpenDb);
            case tovu::LoadResult::Invalid: return fail(tovu::kInvalidDbFile);
        }
    }
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) return fail(folder + ": no such folder");
    if (!tovu::FolderHoldsEnigmaSettings(folder.c_str()))
        return fail(folder + ": no settings file (services, lamedb or lamedb5)");

    tovu::EnigmaImportResult& result = tovu::enigmaImportResult;
    (void)tovu::ImportEnigmaFolder(folder.c_str(), &result);
    const tovu::ImportSurvey survey = tovu::SurveyImport(result);
    std::string problem;
    if (survey.services == 0) problem = folder + ": the settings file gives no service";
    if (parsed->bouquetsGiven) {
        parsed->choices.tickedBouquets.assign(survey.tvBouquets.size(), false);
        for (size_t position : parsed->bouquets) {
            if (position > survey.tvBouquets.size()) {
                problem = "--bouquets: no TV bouquet " + std::to_string(position) + " (the folder has " +
                          std::to_string(survey.tvBouquets.size()) + ")";
                break;
            }
            parsed->choices.tickedBouquets[position - 1] = true;
        }
    }
    if (!problem.empty()) {
        tovu::ReleaseImport(&result);
        std::fflush(stdout);
        return fail(problem);
    }
    if (parsed->summary) printSummary(survey, parsed->choices);
    (void)tovu::ImportResultIntoImage(&result, parsed->choices, *image);
    std::fflush(stdout);
    switch (tovu::saveDbToPath(*image, parsed->paths[1])) {
        case tovu::SaveResult::Saved: return 0;
        case tovu::SaveResult::OpenFailed: return fail(tovu::kFailToOpenDb);
        case tovu::SaveResult::WriteFailed: return fail(tovu::kFailToWriteDb);
    }
    return 1;
}

}  // namespace kdattool
