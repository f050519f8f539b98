// What a settings folder holds and what an import of it will give, for the choices a user makes
// before the import: cable services only, the services of the ticked bouquets first, and which TV
// bouquets become favourite lists. With every choice at its default the import is the plain one.
//
// Reading happens once: ImportEnigmaFolder reads the folder into a result, SurveyImport tells what
// it holds, PreviewImport what a set of choices would give (cheap: no file is read), and
// ImportResultIntoImage fills the image with the choices and releases the result.
#pragma once

#include "db/DbImage.h"
#include "enigma/EnigmaImport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tovu {

inline constexpr int kFavouriteListCount = 21;  // 5 default and 16 user favourite lists

struct ImportChoices {
    bool cableOnly = false;      // only services on cable transponders
    bool bouquetsFirst = false;  // the services of the lists first, in list order, each once
    // Ticked TV bouquets by their position in the TV bouquet list. Empty: every bouquet is ticked;
    // otherwise a position beyond the end is not ticked. The first 21 ticked bouquets become the
    // favourite lists, in their order.
    std::vector<bool> tickedBouquets;
};

struct SurveyBouquet {
    std::string name;              // UTF-8; empty when the bouquet file has no name or did not open
    std::vector<int32_t> entries;  // the services it names, as positions in the service table, in order
};

struct ImportSurvey {
    int32_t services = 0;                   // TV and radio services the folder holds
    int32_t byDelivery[4] = {};             // of them, by Delivery: cable, satellite, terrestrial, other
    int32_t tv = 0;                         // television services
    int32_t radio = 0;                      // radio services
    int32_t locked = 0;                     // services on the lock list
    int32_t radioBouquets = 0;              // radio bouquets (never imported)
    std::vector<SurveyBouquet> tvBouquets;  // in the order of the TV bouquet list
    std::vector<uint8_t> delivery;          // the Delivery of each service of the table
};

struct ImportPreview {
    int32_t services = 0;             // channels the image will hold (at most 1000)
    int32_t servicesTotal = 0;        // services the folder holds
    int32_t favouriteLists = 0;       // favourite lists the ticked bouquets become (at most 21)
    int32_t listsLosingServices = 0;  // of those, lists that name services not imported
    int32_t bouquetsLeftOut = 0;      // ticked bouquets beyond the 21st, not imported
};

// What the result of ImportEnigmaFolder holds.
[[nodiscard]] ImportSurvey SurveyImport(const EnigmaImportResult& result);

// Whether the choices can change anything: more than 1000 services, or any service not on cable.
[[nodiscard]] bool ImportChoicesMatter(const ImportSurvey& survey);

[[nodiscard]] bool IsBouquetTicked(const ImportChoices& choices, size_t position);

// The channels and favourite lists an import with the choices makes.
struct ChannelPlan {
    std::vector<int32_t> services;  // the service (position in the table) of each channel, in order
    std::vector<int32_t> lists;     // the TV bouquet (position) of each favourite list, in order
};
[[nodiscard]] ChannelPlan PlanChannels(const ImportSurvey& survey, const ImportChoices& choices);

[[nodiscard]] ImportPreview PreviewImport(const ImportSurvey& survey, const ImportChoices& choices);

// "1000 of 13,608 services; 21 favourite lists; 3 lists lose services that do not fit" (the last
// part only when a list does).
[[nodiscard]] std::string FormatImportPreview(const ImportPreview& preview);
// "1000 of 13,608 services imported, 21 lists"
[[nodiscard]] std::string FormatImportSummary(const ImportPreview& preview);

// Replaces the services, type lists and favourite lists of the image with the result, as the
// choices say, and releases the result. Gives what was imported. A null result changes nothing.
ImportPreview ImportResultIntoImage(EnigmaImportResult* result, const ImportChoices& choices,
                                    ChannelDbImage& image);

// ImportEnigmaFolder then ImportResultIntoImage. A null folder does nothing.
ImportPreview ImportIntoImageWith(const char* folder, const ImportChoices& choices, ChannelDbImage& image);

}  // namespace tovu
