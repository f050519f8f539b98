#include "db/FieldText.h"

#include <cstdio>
#include <cstring>

namespace tovu {

void formatRecordField(const ChannelRecord& r, char* out, unsigned field) {
    static const char* const kAudio[] = {"Left", "Right", "Stereo", "Mono"};
    static const char* const kQam[] = {"16QAM", "32QAM", "64QAM", "128QAM", "256QAM"};
    auto put = [out](const char* text) { std::snprintf(out, kFieldTextSize, "%s", text); };
    out[0] = '\0';
    switch (field) {
        case kFieldName:
            std::memcpy(out, r.name.data(), kNameSize);
            out[kNameSize] = '\0';
            break;
        case kFieldServiceId: std::snprintf(out, kFieldTextSize, "%d", int{r.serviceId}); break;
        case kFieldTransponderId: std::snprintf(out, kFieldTextSize, "%d", int{r.transponderId}); break;
        case kFieldOriginalNetworkId:
            std::snprintf(out, kFieldTextSize, "%d", int{r.originalNetworkId});
            break;
        case kFieldParentLock: put(r.flags & kFlagLocked ? "Locked" : "UnLocked"); break;
        case kFieldAudioTrack: put(kAudio[r.audioMode()]); break;
        case kFieldSubtitle: put(r.flags & kFlagSubtitle ? "On" : "Off"); break;
        case kFieldDescrambled: put(r.flags & kFlagDescrambled ? "Yes" : "No"); break;
        case kFieldProgType:
            put(r.progType() == kProgTv ? "TV" : r.progType() == kProgRadio ? "Radio" : "Unkownn");
            break;
        case kFieldFrequency:
            std::snprintf(out, kFieldTextSize, "%d KHz", static_cast<int>(r.frequencyKHz));
            break;
        case kFieldQam: put(r.qam < 5 ? kQam[r.qam] : "Unknown QAM"); break;
        case kFieldAnnex: put(r.annex == 0 ? "Annex A,C" : "Annex B"); break;
        case kFieldSymbolRate:
            std::snprintf(out, kFieldTextSize, "%d Kbs", static_cast<int>(r.symbolRate));
            break;
        default: break;  // 4, 5, 6 and anything above 15 have no text
    }
}

int formatChannelField(const ChannelDbImage& image, int index, char* out, unsigned field) {
    ChannelRecord record;
    if (getChannel(image, index, record) != 1) return 0;
    formatRecordField(record, out, field);
    return 1;
}

std::string recordFieldText(const ChannelRecord& record, unsigned field) {
    char text[kFieldTextSize];
    formatRecordField(record, text, field);
    return text;
}

}  // namespace tovu
