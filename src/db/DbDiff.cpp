#include "db/DbDiff.h"

#include "db/ChannelRecord.h"
#include "db/FavLists.h"
#include "db/FieldText.h"

#include <map>

namespace tovu {
namespace {

// What entries are matched by: a service's ids, or the index of an entry that names no service.
using Token = uint64_t;
constexpr Token kServiceBit = Token{1} << 48;

Token serviceToken(const ChannelRecord& r) {
    return kServiceBit | (Token{r.serviceId} << 32) | (Token{r.transponderId} << 16) | r.originalNetworkId;
}

Token entryToken(const ChannelDbImage& image, uint16_t index) {
    ChannelRecord r;
    return getChannel(image, index, r) == 1 ? serviceToken(r) : Token{index};
}

// For each element of `a`, the position of its partner in `b` or -1: the k-th occurrence of a
// token in `a` pairs with its k-th occurrence in `b`.
std::vector<int> pairUp(const std::vector<Token>& a, const std::vector<Token>& b) {
    std::map<Token, std::vector<int>> unpaired;  // positions in b, latest first
    for (size_t j = b.size(); j-- > 0;) unpaired[b[j]].push_back(static_cast<int>(j));
    std::vector<int> partner(a.size(), -1);
    for (size_t i = 0; i < a.size(); ++i) {
        const auto it = unpaired.find(a[i]);
        if (it == unpaired.end() || it->second.empty()) continue;
        partner[i] = it->second.back();
        it->second.pop_back();
    }
    return partner;
}

std::vector<ChannelRecord> recordsOf(const ChannelDbImage& image) {
    std::vector<ChannelRecord> records(static_cast<size_t>(channelCount(image)));
    for (size_t i = 0; i < records.size(); ++i) (void)getChannel(image, static_cast<int>(i), records[i]);
    return records;
}

// The fields compared, in the order of the editor's columns; the ids that match services are left
// out, since they are equal in matched services.
std::vector<unsigned> comparedFields() {
    std::vector<unsigned> fields;
    for (const ChannelListColumn& column : kChannelListColumns)
        if (column.field != kFieldServiceId && column.field != kFieldTransponderId &&
            column.field != kFieldOriginalNetworkId)
            fields.push_back(column.field);
    fields.push_back(kFieldAnnex);
    return fields;
}

std::vector<FieldChange> fieldChanges(const ChannelRecord& a, const ChannelRecord& b) {
    std::vector<FieldChange> changes;
    if (a == b) return changes;
    static const std::vector<unsigned> kFields = comparedFields();
    for (const unsigned field : kFields) {
        std::string inA = recordFieldText(a, field);
        std::string inB = recordFieldText(b, field);
        if (inA != inB) changes.push_back({field, std::move(inA), std::move(inB)});
    }
    if (changes.empty()) changes.push_back({kFieldOtherBytes, {}, {}});
    return changes;
}

struct ListSide {
    bool exists = false;
    std::string name;
    std::vector<uint16_t> entries;
    std::vector<Token> tokens;
};

ListSide listSide(const ChannelDbImage& image, int listId) {
    ListSide side;
    side.exists = listId < kListFirstUser || isExistingFavList(image, listId);
    if (!side.exists) return side;
    if (listId >= kListFirstDefault) {
        uint8_t name[kListNameSize] = {};
        if (getListName(image, listId, name, sizeof name) == 1) {
            size_t length = 0;
            while (length < sizeof name && name[length] != 0) ++length;
            side.name.assign(reinterpret_cast<const char*>(name), length);
        }
    }
    side.entries.resize(kTvCapacity);
    int count = static_cast<int>(side.entries.size());
    if (getListItems(image, listId, count, side.entries.data()) != 1) count = 0;
    side.entries.resize(static_cast<size_t>(count));
    for (const uint16_t entry : side.entries) side.tokens.push_back(entryToken(image, entry));
    return side;
}

}  // namespace

DbDiff diffImages(const ChannelDbImage& a, const ChannelDbImage& b) {
    DbDiff diff;
    const std::vector<ChannelRecord> recordsA = recordsOf(a);
    const std::vector<ChannelRecord> recordsB = recordsOf(b);
    std::vector<Token> tokensA, tokensB;
    for (const ChannelRecord& r : recordsA) tokensA.push_back(serviceToken(r));
    for (const ChannelRecord& r : recordsB) tokensB.push_back(serviceToken(r));
    const std::vector<int> partner = pairUp(tokensA, tokensB);
    std::vector<bool> pairedB(recordsB.size(), false);
    for (size_t i = 0; i < recordsA.size(); ++i) {
        const int j = partner[i];
        if (j < 0) {
            diff.onlyInA.push_back(static_cast<int>(i));
            continue;
        }
        pairedB[static_cast<size_t>(j)] = true;
        auto fields = fieldChanges(recordsA[i], recordsB[static_cast<size_t>(j)]);
        if (!fields.empty()) diff.changed.push_back({static_cast<int>(i), j, std::move(fields)});
    }
    for (size_t j = 0; j < recordsB.size(); ++j)
        if (!pairedB[j]) diff.onlyInB.push_back(static_cast<int>(j));

    for (int listId = kListTv; listId <= kListLastUser; ++listId) {
        if (listId == kListNone) continue;
        const ListSide sideA = listSide(a, listId);
        const ListSide sideB = listSide(b, listId);
        if (!sideA.exists && !sideB.exists) continue;
        ListChange change{listId, sideA.exists, sideB.exists, sideA.name, sideB.name, {}, {}, false};
        const std::vector<int> entryPartner = pairUp(sideA.tokens, sideB.tokens);
        std::vector<bool> pairedEntry(sideB.entries.size(), false);
        int lastPartner = -1;
        for (size_t i = 0; i < sideA.entries.size(); ++i) {
            const int j = entryPartner[i];
            if (j < 0) {
                change.removed.push_back(sideA.entries[i]);
                continue;
            }
            pairedEntry[static_cast<size_t>(j)] = true;
            change.orderDiffers = change.orderDiffers || j < lastPartner;
            lastPartner = j;
        }
        for (size_t j = 0; j < sideB.entries.size(); ++j)
            if (!pairedEntry[j]) change.added.push_back(sideB.entries[j]);
        if (change.inA != change.inB || change.nameA != change.nameB || !change.added.empty() ||
            !change.removed.empty() || change.orderDiffers)
            diff.lists.push_back(std::move(change));
    }
    return diff;
}

}  // namespace tovu
