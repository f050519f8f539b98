// The texts the main list shows for the fields of a record.
#pragma once

#include "db/ChannelRecord.h"

#include <string>

namespace tovu {

// ChannelField ids.
enum ChannelField : unsigned {
    kFieldName = 0,
    kFieldServiceId = 1,
    kFieldTransponderId = 2,
    kFieldOriginalNetworkId = 3,
    kFieldParentLock = 7,
    kFieldAudioTrack = 8,
    kFieldSubtitle = 9,
    kFieldDescrambled = 10,
    kFieldProgType = 11,
    kFieldFrequency = 12,
    kFieldQam = 13,
    kFieldAnnex = 14,
    kFieldSymbolRate = 15,
};

inline constexpr size_t kFieldTextSize = 33;

// The columns of the editor's service list after column 0 ("No.", width 40, the row number from 1):
// title, width in pixels and the field shown.
struct ChannelListColumn {
    const char* title;
    int width;
    unsigned field;
};
inline constexpr ChannelListColumn kNumberColumn = {"No.", 40, ~0u};
inline constexpr ChannelListColumn kChannelListColumns[12] = {
    {"Name", 120, kFieldName},
    {"Service Id", 80, kFieldServiceId},
    {"Transponder Id", 100, kFieldTransponderId},
    {"Original Net Id", 90, kFieldOriginalNetworkId},
    {"Frequency", 80, kFieldFrequency},
    {"SymRate", 80, kFieldSymbolRate},
    {"Qam", 50, kFieldQam},
    {"Parent Lock", 80, kFieldParentLock},
    {"Audio Track", 80, kFieldAudioTrack},
    {"Subtitle", 70, kFieldSubtitle},
    {"Descrambled", 90, kFieldDescrambled},
    {"Prog type", 80, kFieldProgType},
};  // the longest text is a 32-byte name + NUL

// Writes the field's NUL-terminated text into out, which holds at least kFieldTextSize bytes.
// The name comes out as its stored code-page bytes.
void formatRecordField(const ChannelRecord& record, char* out, unsigned field);
// 1, or 0 when the index is not valid (out unchanged).
[[nodiscard]] int formatChannelField(const ChannelDbImage& image, int index, char* out, unsigned field);

// The same text as a string.
std::string recordFieldText(const ChannelRecord& record, unsigned field);

}  // namespace tovu
