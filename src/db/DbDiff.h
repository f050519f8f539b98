// The differences between two channel database images, A and B: services only in one of them,
// services in both whose fields differ, and per list the services added and removed and whether
// the order of the others changed. Services are matched by service id, transponder id and
// original network id; a key that occurs several times pairs its occurrences in record order.
#pragma once

#include "db/DbImage.h"

#include <string>
#include <vector>

namespace tovu {

// A record difference that no field text shows (bytes the editor keeps but does not interpret).
inline constexpr unsigned kFieldOtherBytes = 100;

// One field of a service with its text in A and in B, as the editor shows it (names as their
// stored code-page bytes).
struct FieldChange {
    unsigned field;  // ChannelField, or kFieldOtherBytes with empty texts
    std::string inA;
    std::string inB;
};

// A service in both images whose record differs: its record index in each and the fields.
struct ServiceChange {
    int indexA;
    int indexB;
    std::vector<FieldChange> fields;
};

// A list that differs. Entries are given as channel indexes of their own image; an entry that
// names no service of its image is matched by its index.
struct ListChange {
    int listId;
    bool inA;  // the list exists in A (always for ids 0..7; user lists while in use)
    bool inB;
    std::string nameA;  // stored name bytes of a favourite list, empty for the type lists
    std::string nameB;
    std::vector<uint16_t> added;    // entries of B that A's list lacks, in B's order
    std::vector<uint16_t> removed;  // entries of A that B's list lacks, in A's order
    bool orderDiffers = false;      // the entries in both stand in another order
};

struct DbDiff {
    std::vector<int> onlyInA;  // record indexes in A, in record order
    std::vector<int> onlyInB;  // record indexes in B
    std::vector<ServiceChange> changed;
    std::vector<ListChange> lists;  // in ListId order: 0..7, then user lists in use in either

    [[nodiscard]] bool equal() const {
        return onlyInA.empty() && onlyInB.empty() && changed.empty() && lists.empty();
    }
};

[[nodiscard]] DbDiff diffImages(const ChannelDbImage& a, const ChannelDbImage& b);

}  // namespace tovu
