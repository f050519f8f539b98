// Replaces the services, type lists and favourite lists of an image with an imported folder.
#include "db/ChannelRecord.h"
#include "enigma/EnigmaImport.h"

#include <algorithm>
#include <cstring>

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

// A favourite list from a bouquet: its name cut to 19 bytes and its services in order, duplicates
// kept; services that were not imported (channel index not below channelCount) are left out.
void fillFavList(uint8_t* list, const BouquetEntry& bouquet, uint32_t channelCount) {
    std::memset(list, 0, kListNameSize);
    std::memcpy(list, bouquet.name, strnlen(bouquet.name, kListNameSize - 1));
    uint32_t stored = 0;
    if (bouquet.items != nullptr) {
        const uint32_t count = std::min<uint32_t>(bouquet.count, kFavCapacity);
        for (uint32_t i = 0; i < count; ++i) {
            if (bouquet.items[i] >= channelCount) continue;
            writeLe16(list + kListEntriesField + 2 * size_t{stored}, bouquet.items[i]);
            ++stored;
        }
    }
    writeLe32(list + kListCountField, stored);
}

}  // namespace

void ImportIntoImage(const char* folder, ChannelDbImage& image) {
    if (folder == nullptr) return;
    EnigmaImportResult& result = enigmaImportResult;
    (void)ImportEnigmaFolder(folder, &result);

    uint8_t* bytes = image.bytes.data();
    std::memset(bytes + kChannelCountOffset, 0, kListsEnd - kChannelCountOffset);
    std::memset(bytes + kListInUseOffset, 0, kUsedImageSize - kListInUseOffset);

    const uint32_t n = static_cast<uint32_t>(std::clamp<int32_t>(result.serviceCount, 0, kMaxChannels));
    writeLe32(bytes + kChannelCountOffset, n);
    for (uint32_t i = 0; i < n; ++i) {
        const ChannelRecord record = recordOf(result.services[i]);
        encodeRecord(record, bytes + kRecordsOffset + kRecordSize * i);
        if (record.progType() == kProgRadio)
            appendToTypeList(bytes + kRadioListOffset, kRadioCapacity, static_cast<uint16_t>(i));
        else
            appendToTypeList(bytes + kTvListOffset, kTvCapacity, static_cast<uint16_t>(i));
    }

    // TV bouquets 1..5 fill the default favourite lists, 6..21 the user lists.
    const int32_t bouquets = std::clamp<int32_t>(result.tvBouquetCount, 0, kDefaultFavCount + kUserFavCount);
    for (int32_t b = 0; b < bouquets; ++b) {
        const BouquetEntry& bouquet = result.tvBouquets[b];
        if (b < static_cast<int32_t>(kDefaultFavCount)) {
            fillFavList(bytes + kDefaultFavOffset + kFavListSize * static_cast<size_t>(b), bouquet, n);
        } else {
            const size_t k = static_cast<size_t>(b) - kDefaultFavCount;
            bytes[kListInUseOffset + k] = 1;
            fillFavList(bytes + kUserFavOffset + kFavListSize * k, bouquet, n);
        }
    }
    ReleaseImport(&result);
}

}  // namespace tovu
