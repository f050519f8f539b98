#include "enigma/ImportChoices.h"

#include "db/NameCodec.h"

#include <algorithm>
#include <cstring>

namespace tovu {
namespace {

// Numbers of five digits and more in groups of three: 1000, 13,608.
std::string grouped(int64_t n) {
    const std::string digits = std::to_string(n);
    if (n < 10000) return digits;
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

std::string counted(int64_t n, const char* one, const char* many) {
    return grouped(n) + " " + (n == 1 ? one : many);
}

}  // namespace

ImportSurvey SurveyImport(const EnigmaImportResult& result) {
    ImportSurvey survey;
    survey.services = std::max(result.serviceCount, 0);
    survey.delivery.resize(static_cast<size_t>(survey.services));
    for (int32_t i = 0; i < survey.services; ++i) {
        const ServiceEntry& service = result.services[i];
        const uint8_t delivery = std::min<uint8_t>(service.delivery, kDeliveryOther);
        survey.delivery[static_cast<size_t>(i)] = delivery;
        ++survey.byDelivery[delivery];
        ++(service.serviceType == 2 ? survey.radio : survey.tv);
        if (service.locked != 0) ++survey.locked;
    }
    survey.radioBouquets = std::max(result.radioBouquetCount, 0);
    for (int32_t b = 0; b < result.tvBouquetCount; ++b) {
        const BouquetEntry& bouquet = result.tvBouquets[b];
        SurveyBouquet& out = survey.tvBouquets.emplace_back();
        out.name = nameToUtf8(reinterpret_cast<const uint8_t*>(bouquet.name), sizeof bouquet.name);
        if (bouquet.indexes == nullptr) continue;
        for (int k = 0; k < bouquet.count && k < kBouquetCapacity; ++k)
            if (bouquet.indexes[k] >= 0 && bouquet.indexes[k] < survey.services)
                out.entries.push_back(bouquet.indexes[k]);
    }
    return survey;
}

bool ImportChoicesMatter(const ImportSurvey& survey) {
    return survey.services > static_cast<int32_t>(kMaxChannels) ||
           survey.byDelivery[kDeliveryCable] < survey.services;
}

bool IsBouquetTicked(const ImportChoices& choices, size_t position) {
    return choices.tickedBouquets.empty() ||
           (position < choices.tickedBouquets.size() && choices.tickedBouquets[position]);
}

ChannelPlan PlanChannels(const ImportSurvey& survey, const ImportChoices& choices) {
    ChannelPlan plan;
    for (size_t b = 0; b < survey.tvBouquets.size() && plan.lists.size() < kFavouriteListCount; ++b)
        if (IsBouquetTicked(choices, b)) plan.lists.push_back(static_cast<int32_t>(b));
    const auto n = static_cast<size_t>(survey.services);
    std::vector<bool> taken(n);
    const auto take = [&](int32_t i) {
        const auto at = static_cast<size_t>(i);
        if (plan.services.size() >= kMaxChannels || i < 0 || at >= n || taken[at]) return;
        if (choices.cableOnly && survey.delivery[at] != kDeliveryCable) return;
        taken[at] = true;
        plan.services.push_back(i);
    };
    if (choices.bouquetsFirst)
        for (int32_t b : plan.lists)
            for (int32_t i : survey.tvBouquets[static_cast<size_t>(b)].entries) take(i);
    for (size_t i = 0; i < n && plan.services.size() < kMaxChannels; ++i) take(static_cast<int32_t>(i));
    return plan;
}

ImportPreview PreviewImport(const ImportSurvey& survey, const ImportChoices& choices) {
    const ChannelPlan plan = PlanChannels(survey, choices);
    ImportPreview preview;
    preview.services = static_cast<int32_t>(plan.services.size());
    preview.servicesTotal = survey.services;
    preview.favouriteLists = static_cast<int32_t>(plan.lists.size());
    int32_t ticked = 0;
    for (size_t b = 0; b < survey.tvBouquets.size(); ++b) ticked += IsBouquetTicked(choices, b) ? 1 : 0;
    preview.bouquetsLeftOut = ticked - preview.favouriteLists;
    std::vector<bool> imported(static_cast<size_t>(survey.services));
    for (int32_t i : plan.services) imported[static_cast<size_t>(i)] = true;
    for (int32_t b : plan.lists) {
        const std::vector<int32_t>& entries = survey.tvBouquets[static_cast<size_t>(b)].entries;
        if (std::any_of(entries.begin(), entries.end(),
                        [&](int32_t i) { return !imported[static_cast<size_t>(i)]; }))
            ++preview.listsLosingServices;
    }
    return preview;
}

std::string FormatImportPreview(const ImportPreview& preview) {
    std::string text = grouped(preview.services) + " of " +
                       counted(preview.servicesTotal, "service", "services") + "; " +
                       counted(preview.favouriteLists, "favourite list", "favourite lists");
    if (preview.listsLosingServices > 0)
        text += "; " + counted(preview.listsLosingServices, "list loses", "lists lose") +
                " services that do not fit";
    return text;
}

std::string FormatImportSummary(const ImportPreview& preview) {
    return grouped(preview.services) + " of " + counted(preview.servicesTotal, "service", "services") +
           " imported, " + counted(preview.favouriteLists, "list", "lists");
}

}  // namespace tovu
