// Arbitrary bytes as a .kdat file: validate, load and sanitize, then every record and list
// operation and every field text on the image; the image must always save to a valid file.
#include "db/ChannelRecord.h"
#include "db/DbFileFormat.h"
#include "db/FavLists.h"
#include "db/FieldText.h"
#include "db/NameCodec.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

using namespace tovu;

namespace {

void exerciseImage(ChannelDbImage& image, const uint8_t* data, size_t size) {
    const int n = channelCount(image);
    if (n < 0 || n > 1000) std::abort();
    char text[kFieldTextSize];
    // The edges of the record array and a few records in between.
    for (int i : {-1, 0, 1, n / 2, n - 1, n, 1000})
        for (unsigned field = 0; field <= 17; ++field)
            if (formatChannelField(image, i, text, field) == 1) (void)nameToUtf8(std::string_view(text));
    std::vector<uint16_t> items(1000);
    for (int id = -1; id <= 26; ++id) {
        int count = static_cast<int>(items.size());
        if (getListItems(image, id, count, items.data()) == 1) {
            if (count < 0 || count > 1000) std::abort();
            (void)setListItems(image, id, count, items.data());
        }
        uint8_t name[kListNameSize];
        if (getListName(image, id, name, sizeof name) == 1) (void)setListName(image, id, name);
        (void)isInList(image, 0, id);
    }
    int ids[16];
    int userCount = 16;
    listUserLists(image, ids, userCount);

    // Operations chosen by the input's bytes.
    for (size_t i = 0; i + 3 < size && i < 256; i += 4) {
        const int index = (data[i + 1] | (data[i + 2] << 8)) % 1002 - 1;
        const int listId = data[i + 3] % 27 - 1;
        ChannelRecord r;
        switch (data[i] % 8) {
            case 0: (void)addToList(image, index, listId); break;
            case 1: (void)removeFromList(image, index, listId); break;
            case 2: {
                int created = 0;
                (void)createUserList(image, created);
                break;
            }
            case 3: (void)deleteUserList(image, listId); break;
            case 4:
                r.serviceId = static_cast<uint16_t>(index);
                r.flags = static_cast<uint32_t>(listId) << kProgTypeShift;
                (void)addChannel(image, r);
                break;
            case 5:
                if (getChannel(image, index, r) == 1) {
                    r.flags ^= static_cast<uint32_t>(data[i + 3]) << kProgTypeShift;
                    (void)setChannel(image, index, r);
                }
                break;
            case 6: (void)deleteChannel(image, index); break;
            case 7: (void)findChannel(image, r); break;
        }
    }
    static MemoryDbFile out;  // reused: large buffers are costly to map and unmap per run
    out.bytes().clear();
    if (writeDbFile(image, out) != 1 || !validateDbFile(out)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto image = std::make_unique<ChannelDbImage>();
    static MemoryDbFile file;
    file.bytes().assign(data, data + size);
    const bool valid = validateDbFile(file);
    image->bytes.fill(0);
    if (valid) {
        if (readDbFile(*image, file) != 1) std::abort();
    } else {
        // An image that was never sanitized: every operation must still stay in bounds.
        std::memcpy(image->bytes.data(), data, std::min(size, kImageSize));
    }
    exerciseImage(*image, data, size);
    return 0;
}
