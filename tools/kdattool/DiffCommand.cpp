// diff: what differs between two database files, in the editor's texts.
#include "Commands.h"

#include "db/ChannelRecord.h"
#include "db/DbDiff.h"
#include "db/DbStore.h"
#include "db/FavLists.h"
#include "db/FieldText.h"
#include "db/NameCodec.h"

#include <cstdio>
#include <memory>

namespace kdattool {
namespace {

using namespace tovu;

std::string fieldTitle(unsigned field) {
    for (const ChannelListColumn& column : kChannelListColumns)
        if (column.field == field) return column.title;
    return field == kFieldAnnex ? "Annex" : "Other record bytes";
}

// Names in quotes, as UTF-8.
std::string quotedName(const std::string& stored) {
    return std::string(1, '"').append(printable(nameToUtf8(stored))) + '"';
}

std::string fieldValue(unsigned field, const std::string& text) {
    return field == kFieldName ? quotedName(text) : text;
}

// "101/1/1 "Name"" for a service, "#7" for an entry that names none.
std::string service(const ChannelDbImage& image, int index) {
    ChannelRecord r;
    if (getChannel(image, index, r) != 1) return std::string(1, '#').append(std::to_string(index));
    return std::to_string(r.serviceId) + '/' + std::to_string(r.transponderId) + '/' +
           std::to_string(r.originalNetworkId) + ' ' + fieldValue(kFieldName, recordFieldText(r, kFieldName));
}

std::string listTitle(const ListChange& list) {
    static const char* const kTypeLists[] = {"TV List", "Radio List", "Data List"};
    const std::string name = list.listId < kListFirstDefault ? kTypeLists[list.listId]
                                                             : quotedName(list.inB ? list.nameB : list.nameA);
    return "list " + std::to_string(list.listId) + " " + name;
}

void printDetails(const DbDiff& diff, const ChannelDbImage& a, const ChannelDbImage& b) {
    for (const int i : diff.onlyInA) std::printf("only in A: %s\n", service(a, i).c_str());
    for (const int j : diff.onlyInB) std::printf("only in B: %s\n", service(b, j).c_str());
    for (const ServiceChange& change : diff.changed) {
        std::printf("changed: %s\n", service(a, change.indexA).c_str());
        for (const FieldChange& f : change.fields) {
            if (f.field == kFieldOtherBytes)
                std::printf("  %s differ\n", fieldTitle(f.field).c_str());
            else
                std::printf("  %s: %s -> %s\n", fieldTitle(f.field).c_str(),
                            fieldValue(f.field, f.inA).c_str(), fieldValue(f.field, f.inB).c_str());
        }
    }
    for (const ListChange& list : diff.lists) {
        const std::string title = listTitle(list);
        if (list.inA != list.inB) std::printf("%s: only in %s\n", title.c_str(), list.inA ? "A" : "B");
        if (list.inA && list.inB && list.nameA != list.nameB)
            std::printf("%s: name %s -> %s\n", title.c_str(), quotedName(list.nameA).c_str(),
                        quotedName(list.nameB).c_str());
        for (const uint16_t entry : list.added)
            std::printf("%s: added %s\n", title.c_str(), service(b, entry).c_str());
        for (const uint16_t entry : list.removed)
            std::printf("%s: removed %s\n", title.c_str(), service(a, entry).c_str());
        if (list.orderDiffers) std::printf("%s: order differs\n", title.c_str());
    }
}

}  // namespace

// A.kdat B.kdat [--brief]: 0 equal, 1 different, 2 a usage error or a file that does not load.
int runDiff(const Args& args) {
    const bool brief = args.size() == 3 && args[2] == "--brief";
    if (args.size() == 3 && !brief) return usageError("unknown option: " + args[2]);
    auto a = std::make_unique<ChannelDbImage>();
    auto b = std::make_unique<ChannelDbImage>();
    for (const auto& [image, path] : {std::pair{a.get(), args[0]}, std::pair{b.get(), args[1]}}) {
        const LoadResult loaded = loadDbFromPath(*image, path);
        if (loaded != LoadResult::Loaded)
            return usageError(path + ": " +
                              (loaded == LoadResult::OpenFailed ? kFailToOpenDb : kInvalidDbFile));
    }
    const DbDiff diff = diffImages(*a, *b);
    if (!brief) printDetails(diff, *a, *b);
    std::printf("%zu only in A, %zu only in B, %zu changed, %zu lists differ\n", diff.onlyInA.size(),
                diff.onlyInB.size(), diff.changed.size(), diff.lists.size());
    return diff.equal() ? 0 : 1;
}

}  // namespace kdattool
