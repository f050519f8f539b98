// Replaces the services, type lists and favourite lists of an image with an imported folder.
#include "db/ChannelRecord.h"
#include "enigma/EnigmaImport.h"
#include "enigma/ImportChoices.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tovu {
namespace {

// Enigma cable modulation 0..5 to the receiver's QamMode; anything else counts as 16QAM.
uint32_t qamOf(uint8_t modulation) {
    static constexpr uint32_t kQam[] = {kQam16, kQam16, kQam32, kQam64, kQam128, kQam256};
    return modulation < 6 ? kQam[modulation] : kQam16;
}

ChannelRecord recordOf(const ServiceEntry& service) {
    ChannelRecord r;
    const uint32_t progType = service.serviceType == 2 ? kProgRadio : kProgTv;
    r.serviceId = service.serviceId;
    r.transponderId = service.transportStreamId;
    r.flags = 0x7Cu | (service.locked ? kFlagLocked : 0u) | (progType << kProgTypeShift);
    r.opaque1 = 4;
    r.frequencyKHz = uint32_t{service.frequencyMHz} * 1000u;
    r.symbolRate = service.symbolRateKs;
    r.annex = 0;
    r.opaque2 = 8;
    r.qam = qamOf(service.modulation);
    r.originalNetworkId = service.originalNetworkId;
    // At most 31 name bytes, so the record's last name byte is always 0.
    const size_t length = strnlen(service.name, kNameSize - 1);
    std::memcpy(r.name.data(), service.name, length);
    return r;
}

// Appends to a type list while it has room.
void appendToTypeList(uint8_t* list, uint32_t capacity, uint16_t index) {
    const uint32_t count = readLe32(list + kListCountField);
    if (count >= capacity) return;
    writeLe16(list + kListEntriesField + 2 * size_t{count}, index);
    writeLe32(list + kListCountField, count + 1);
}

// A favourite list from a bouquet: its name cut to 19 bytes and its services in order as channels,
// duplicates kept; services that were not imported (no channel) are left out.
void fillFavList(uint8_t* list, const BouquetEntry& bouquet, const std::vector<int32_t>& entries,
                 const std::vector<int32_t>& channelOf) {
    std::memset(list, 0, kListNameSize);
    std::memcpy(list, bouquet.name, strnlen(bouquet.name, kListNameSize - 1));
    uint32_t stored = 0;
    for (int32_t service : entries) {
        const int32_t channel = channelOf[static_cast<size_t>(service)];
        if (channel < 0 || stored >= kFavCapacity) continue;
        writeLe16(list + kListEntriesField + 2 * size_t{stored}, static_cast<uint16_t>(channel));
        ++stored;
    }
    writeLe32(list + kListCountField, stored);
}

}  // namespace

ImportPreview ImportResultIntoImage(EnigmaImportResult* result, const ImportChoices& choices,
                                    ChannelDbImage& image) {
    if (result == nullptr) return {};
    const ImportSurvey survey = SurveyImport(*result);
    const ChannelPlan plan = PlanChannels(survey, choices);
    const ImportPreview imported = PreviewImport(survey, choices);

    uint8_t* bytes = image.bytes.data();
    std::memset(bytes + kChannelCountOffset, 0, kListsEnd - kChannelCountOffset);
    std::memset(bytes + kListInUseOffset, 0, kUsedImageSize - kListInUseOffset);

    const auto n = static_cast<uint32_t>(plan.services.size());
    writeLe32(bytes + kChannelCountOffset, n);
    std::vector<int32_t> channelOf(static_cast<size_t>(survey.services), -1);
    for (uint32_t i = 0; i < n; ++i) {
        const int32_t service = plan.services[i];
        channelOf[static_cast<size_t>(service)] = static_cast<int32_t>(i);
        const ChannelRecord record = recordOf(result->services[service]);
        encodeRecord(record, bytes + kRecordsOffset + kRecordSize * i);
        if (record.progType() == kProgRadio)
            appendToTypeList(bytes + kRadioListOffset, kRadioCapacity, static_cast<uint16_t>(i));
        else
            appendToTypeList(bytes + kTvListOffset, kTvCapacity, static_cast<uint16_t>(i));
    }

    // The first five lists are the default favourite lists, the others the user lists.
    for (size_t k = 0; k < plan.lists.size(); ++k) {
        const auto b = static_cast<size_t>(plan.lists[k]);
        uint8_t* list;
        if (k < kDefaultFavCount) {
            list = bytes + kDefaultFavOffset + kFavListSize * k;
        } else {
            bytes[kListInUseOffset + k - kDefaultFavCount] = 1;
            list = bytes + kUserFavOffset + kFavListSize * (k - kDefaultFavCount);
        }
        fillFavList(list, result->tvBouquets[b], survey.tvBouquets[b].entries, channelOf);
    }
    ReleaseImport(result);
    return imported;
}

ImportPreview ImportIntoImageWith(const char* folder, const ImportChoices& choices, ChannelDbImage& image) {
    if (folder == nullptr) return {};
    EnigmaImportResult& result = enigmaImportResult;
    (void)ImportEnigmaFolder(folder, &result);
    return ImportResultIntoImage(&result, choices, image);
}

void ImportIntoImage(const char* folder, ChannelDbImage& image) {
    (void)ImportIntoImageWith(folder, {}, image);
}

}  // namespace tovu
