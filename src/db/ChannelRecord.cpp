#include "db/ChannelRecord.h"

#include "db/ListStore.h"

#include <cstring>

namespace tovu {

using namespace detail;

namespace {

uint8_t* recordAt(ChannelDbImage& image, int index) {
    return image.bytes.data() + kRecordsOffset + kRecordSize * static_cast<size_t>(index);
}
const uint8_t* recordAt(const ChannelDbImage& image, int index) {
    return image.bytes.data() + kRecordsOffset + kRecordSize * static_cast<size_t>(index);
}
bool isValidIndex(const ChannelDbImage& image, int index) {
    return index >= 0 && index < channelCount(image);
}
void setStoredCount(ChannelDbImage& image, uint32_t n) {
    writeLe32(image.bytes.data() + kChannelCountOffset, n);
}

}  // namespace

ChannelRecord decodeRecord(const uint8_t* b) {
    ChannelRecord r;
    r.serviceId = readLe16(b + 0);
    r.transponderId = readLe16(b + 2);
    r.flags = readLe32(b + 4);
    r.opaque1 = readLe32(b + 8);
    r.frequencyKHz = readLe32(b + 12);
    r.symbolRate = readLe32(b + 16);
    r.annex = b[20];
    r.opaque2 = b[21];
    r.opaque3 = b[22];
    r.opaque4 = b[23];
    r.qam = readLe32(b + 24);
    r.opaque5 = readLe32(b + 28);
    r.opaque6 = readLe32(b + 32);
    r.originalNetworkId = readLe16(b + 36);
    r.opaque7 = readLe16(b + 38);
    std::memcpy(r.name.data(), b + 40, kNameSize);
    return r;
}

void encodeRecord(const ChannelRecord& r, uint8_t* b) {
    writeLe16(b + 0, r.serviceId);
    writeLe16(b + 2, r.transponderId);
    writeLe32(b + 4, r.flags);
    writeLe32(b + 8, r.opaque1);
    writeLe32(b + 12, r.frequencyKHz);
    writeLe32(b + 16, r.symbolRate);
    b[20] = r.annex;
    b[21] = r.opaque2;
    b[22] = r.opaque3;
    b[23] = r.opaque4;
    writeLe32(b + 24, r.qam);
    writeLe32(b + 28, r.opaque5);
    writeLe32(b + 32, r.opaque6);
    writeLe16(b + 36, r.originalNetworkId);
    writeLe16(b + 38, r.opaque7);
    std::memcpy(b + 40, r.name.data(), kNameSize);
}

int typeListOf(uint32_t progType) {
    if (progType == kProgTv) return kTypeListTv;
    if (progType == kProgRadio) return kTypeListRadio;
    return kTypeListData;
}

int channelCount(const ChannelDbImage& image) {
    const uint32_t n = readLe32(image.bytes.data() + kChannelCountOffset);
    return static_cast<int>(n < kMaxChannels ? n : kMaxChannels);
}

int getChannel(const ChannelDbImage& image, int index, ChannelRecord& out) {
    if (!isValidIndex(image, index)) return 0;
    out = decodeRecord(recordAt(image, index));
    return 1;
}

int setChannel(ChannelDbImage& image, int index, const ChannelRecord& record) {
    if (!isValidIndex(image, index)) return 0;
    const uint32_t oldType = decodeRecord(recordAt(image, index)).progType();
    const uint32_t newType = record.progType();
    if (oldType != newType) {
        // A change of type moves the channel to the end of its new list, even within the Data list.
        (void)removeFromTypeList(image, index, typeListOf(oldType));
        (void)addToTypeList(image, index, typeListOf(newType));
    }
    encodeRecord(record, recordAt(image, index));
    return 1;
}

int findChannel(const ChannelDbImage& image, const ChannelRecord& record) {
    const int n = channelCount(image);
    for (int i = 0; i < n; ++i) {
        const uint8_t* b = recordAt(image, i);
        if (readLe16(b) == record.serviceId && readLe16(b + 2) == record.transponderId) return i;
    }
    return -1;
}

int addChannel(ChannelDbImage& image, const ChannelRecord& record) {
    if (findChannel(image, record) >= 0) return -1;
    if (readLe32(image.bytes.data() + kChannelCountOffset) >= kMaxChannels) return -1;
    const int n = channelCount(image);
    encodeRecord(record, recordAt(image, n));
    (void)addToTypeList(image, n, typeListOf(record.progType()));  // a full list leaves it in none
    setStoredCount(image, static_cast<uint32_t>(n + 1));
    return n;
}

int deleteChannel(ChannelDbImage& image, int index) {
    if (!isValidIndex(image, index)) return 0;
    const int n = channelCount(image);
    for (size_t k = 0; k < kDefaultFavCount; ++k) (void)removeFirst(image, defaultFavSlot(k), index);
    for (size_t k = 0; k < kUserFavCount; ++k)
        if (image.bytes[kListInUseOffset + k] == 1) (void)removeFirst(image, userFavSlot(k), index);
    (void)removeFromTypeList(image, index, typeListOf(decodeRecord(recordAt(image, index)).progType()));
    if (index < n - 1)
        std::memmove(recordAt(image, index), recordAt(image, index + 1), kRecordSize * size_t(n - 1 - index));
    setStoredCount(image, static_cast<uint32_t>(n - 1));
    for (size_t k = 0; k < kDefaultFavCount; ++k) renumberAbove(image, defaultFavSlot(k), index);
    for (size_t k = 0; k < kUserFavCount; ++k)
        if (image.bytes[kListInUseOffset + k] == 1) renumberAbove(image, userFavSlot(k), index);
    for (int list : {kTypeListTv, kTypeListRadio, kTypeListData}) shiftTypeList(image, index, list);
    return 1;
}

int addToTypeList(ChannelDbImage& image, int index, int typeList) {
    return appendUnique(image, typeListSlot(typeList), index);
}

int removeFromTypeList(ChannelDbImage& image, int index, int typeList) {
    return removeFirst(image, typeListSlot(typeList), index);
}

void shiftTypeList(ChannelDbImage& image, int deletedIndex, int typeList) {
    renumberAbove(image, typeListSlot(typeList), deletedIndex);
}

}  // namespace tovu
