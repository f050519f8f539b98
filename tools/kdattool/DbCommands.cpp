#include "Commands.h"

#include "db/ChannelRecord.h"
#include "db/DbFileFormat.h"
#include "db/DbStore.h"
#include "db/FavLists.h"
#include "db/FieldText.h"
#include "db/NameCodec.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace kdattool {
namespace {

using namespace tovu;

// Loads as the editor loads; prints the editor's message on failure.
int load(ChannelDbImage& image, const std::string& path) {
    switch (loadDbFromPath(image, path)) {
        case LoadResult::Loaded: return 0;
        case LoadResult::OpenFailed: return fail(kFailToOpenDb);
        case LoadResult::Invalid: return fail(kInvalidDbFile);
    }
    return 1;
}

int save(const ChannelDbImage& image, const std::string& path) {
    switch (saveDbToPath(image, path)) {
        case SaveResult::Saved: return 0;
        case SaveResult::OpenFailed: return fail(kFailToOpenDb);
        case SaveResult::WriteFailed: return fail(kFailToWriteDb);
    }
    return 1;
}

std::unique_ptr<ChannelDbImage> newImage() { return std::make_unique<ChannelDbImage>(); }

}  // namespace

std::string printable(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return text;
}

int runCheck(const Args& args) {
    PosixDbFile file;
    if (!file.open(args[0], PosixDbFile::Mode::ReadOnly)) return fail(kFailToOpenDb);
    if (!validateDbFile(file)) return fail(kInvalidDbFile);
    std::printf("OK\n");
    return 0;
}

int runList(const Args& args) {
    auto image = newImage();
    if (int status = load(*image, args[0])) return status;
    const int n = channelCount(*image);
    for (int i = 0; i < n; ++i) {
        ChannelRecord record;
        if (getChannel(*image, i, record) != 1) break;
        std::string line = std::to_string(i + 1);
        for (const ChannelListColumn& column : kChannelListColumns) {
            line += '\t';
            const std::string text = recordFieldText(record, column.field);
            line += column.field == kFieldName ? printable(nameToUtf8(text)) : text;
        }
        std::printf("%s\n", line.c_str());
    }
    return 0;
}

int runLists(const Args& args) {
    auto image = newImage();
    if (int status = load(*image, args[0])) return status;
    std::vector<int> ids = {kListTv, kListRadio, kListData, 3, 4, 5, 6, 7};
    int userIds[kUserFavCount];
    int userCount = static_cast<int>(kUserFavCount);
    listUserLists(*image, userIds, userCount);
    ids.insert(ids.end(), userIds, userIds + userCount);
    for (int id : ids) {
        uint8_t name[kListNameSize] = {};
        if (isExistingFavList(*image, id)) (void)getListName(*image, id, name, sizeof name);
        std::vector<uint16_t> entries(kTvCapacity);
        int count = static_cast<int>(entries.size());
        if (getListItems(*image, id, count, entries.data()) != 1) count = 0;
        std::string line = std::to_string(id) + '\t' + std::to_string(count) + '\t' +
                           printable(nameToUtf8(name, sizeof name)) + '\t';
        for (int i = 0; i < count; ++i) {
            if (i > 0) line += ',';
            line += std::to_string(entries[i]);
        }
        std::printf("%s\n", line.c_str());
    }
    return 0;
}

int runCopy(const Args& args) {
    auto image = newImage();
    if (int status = load(*image, args[0])) return status;
    return save(*image, args[1]);
}

namespace {

struct DemoService {
    const char* name;  // UTF-8
    uint32_t progType;
    uint16_t serviceId;
    uint32_t frequencyKHz;
    bool locked;
};

// A small cable line-up: TV and radio on seven transponders, two data services.
constexpr DemoService kDemoServices[] = {
    {"CCTV-1 综合", kProgTv, 101, 474000, false},     {"CCTV-2 财经", kProgTv, 102, 474000, false},
    {"CCTV-3 综艺", kProgTv, 103, 474000, false},     {"CCTV-4 中文国际", kProgTv, 104, 474000, false},
    {"CCTV-5 体育", kProgTv, 105, 482000, false},     {"CCTV-6 电影", kProgTv, 106, 482000, true},
    {"CCTV-7 军事农业", kProgTv, 107, 482000, false}, {"CCTV-8 电视剧", kProgTv, 108, 482000, false},
    {"CCTV-9 纪录", kProgTv, 109, 490000, false},     {"CCTV-10 科教", kProgTv, 110, 490000, false},
    {"CCTV-11 戏曲", kProgTv, 111, 490000, false},    {"CCTV-12 社会与法", kProgTv, 112, 490000, false},
    {"CCTV-13 新闻", kProgTv, 113, 498000, false},    {"CCTV-14 少儿", kProgTv, 114, 498000, false},
    {"CCTV-15 音乐", kProgTv, 115, 498000, false},    {"Beijing TV", kProgTv, 201, 506000, false},
    {"Dragon TV", kProgTv, 202, 506000, false},       {"Hunan TV", kProgTv, 203, 506000, false},
    {"Zhejiang TV", kProgTv, 204, 506000, false},     {"Jiangsu TV", kProgTv, 205, 514000, false},
    {"Shenzhen TV", kProgTv, 206, 514000, false},     {"Guangdong TV", kProgTv, 207, 514000, false},
    {"Movie Premiere", kProgTv, 301, 522000, true},   {"Late Night Cinema", kProgTv, 302, 522000, true},
    {"Kids Cartoon", kProgTv, 303, 522000, false},    {"Golf Channel", kProgTv, 304, 522000, false},
    {"Travel & Living", kProgTv, 305, 530000, false}, {"Home Shopping", kProgTv, 306, 530000, false},
    {"Weather", kProgTv, 307, 530000, false},         {"中国之声", kProgRadio, 401, 538000, false},
    {"经济之声", kProgRadio, 402, 538000, false},     {"音乐之声", kProgRadio, 403, 538000, false},
    {"Classic FM", kProgRadio, 404, 538000, false},   {"Jazz Radio", kProgRadio, 405, 538000, false},
    {"News Radio", kProgRadio, 406, 546000, false},   {"Traffic FM", kProgRadio, 407, 546000, false},
    {"Country Hits", kProgRadio, 408, 546000, false}, {"Sports Radio", kProgRadio, 409, 546000, false},
    {"EPG Data", kProgUnknown, 501, 554000, false},   {"Software Update", kProgUnknown, 502, 554000, false},
};

uint16_t transponderIdOf(uint32_t frequencyKHz) {
    return static_cast<uint16_t>((frequencyKHz - 474000) / 8000 + 1);
}

void nameList(ChannelDbImage& image, int listId, const char* utf8) {
    uint8_t name[kListNameSize] = {};
    const std::string bytes = utf8ToName(utf8);
    std::memcpy(name, bytes.data(), std::min(bytes.size(), sizeof name));
    (void)setListName(image, listId, name);
}

}  // namespace

int runDemo(const Args& args) {
    auto image = newImage();
    for (const DemoService& s : kDemoServices) {
        ChannelRecord r;
        r.serviceId = s.serviceId;
        r.transponderId = transponderIdOf(s.frequencyKHz);
        r.originalNetworkId = 1;
        r.flags =
            (s.progType << kProgTypeShift) | (kAudioStereo << kAudioShift) | (s.locked ? kFlagLocked : 0);
        if (s.serviceId == 106 || s.serviceId == 113) r.flags |= kFlagSubtitle;
        if (s.serviceId < 300) r.flags |= kFlagDescrambled;
        r.frequencyKHz = s.frequencyKHz;
        r.symbolRate = 6875;
        r.qam = s.frequencyKHz >= 522000 ? kQam256 : kQam64;
        const std::string name = utf8ToName(s.name);
        std::memcpy(r.name.data(), name.data(), std::min(name.size(), kNameSize));
        if (addChannel(*image, r) < 0) return fail("demo: could not add a service");
    }
    nameList(*image, 3, "News");
    for (int i : {0, 12, 3, 30}) (void)addToList(*image, i, 3);
    nameList(*image, 4, "电影 Movies");
    for (int i : {5, 22, 23}) (void)addToList(*image, i, 4);
    int userList = 0;
    (void)createUserList(*image, userList);
    nameList(*image, userList, "Kids");
    for (int i : {13, 24}) (void)addToList(*image, i, userList);
    return save(*image, args[0]);
}

}  // namespace kdattool
