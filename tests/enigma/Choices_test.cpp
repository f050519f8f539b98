// Import choices on a mixed folder, read from "lamedb" and from its "lamedb5" twin.
#include "EnigmaTestSupport.h"
#include "db/ChannelRecord.h"
#include "enigma/ImportChoices.h"

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>

namespace tovu::test {
namespace {

// 100 terrestrial, 500 cable (every fifth a radio) and 600 satellite services, sorted in that order.
struct Transponder {
    uint32_t ns;
    uint16_t ts;
    const char* letter;
    const char* data;
    int services;
};
const Transponder kTransponders[] = {{0xEEEE0000, 3, "t", "474000000:0:5:5:3:2:4:4:2:0:0:0", 100},
                                     {0xFFFF0000, 1, "c", "346000:6875000:2:3:0:0:0", 500},
                                     {0x00C00000, 2, "s", "11000000:22000000:0:2:192:2:0", 600}};

// Bouquet A: satellite 550..600; B: cable 1..10; C: terrestrial 1..5, then satellite 1..5. A
// service is its transponder (index) and id.
std::vector<std::pair<int, int>> bouquet(int b) {
    std::vector<std::pair<int, int>> refs;
    for (int sid = b == 0 ? 550 : 1; sid <= (b == 0 ? 600 : 10); ++sid)
        refs.push_back(b == 0   ? std::pair{2, sid}
                       : b == 1 ? std::pair{1, sid}
                                : std::pair{sid <= 5 ? 0 : 2, (sid - 1) % 5 + 1});
    return refs;
}

std::string refLine(std::pair<int, int> ref) {
    return serviceRefLine(uint16_t(ref.second), kTransponders[ref.first].ts, kTransponders[ref.first].ns);
}

void writeFolder(const TempDir& dir, bool lamedb5) {
    std::string tps = lamedb5 ? "eDVB services /5/\n" : "", svs;
    for (const Transponder& t : kTransponders) {
        tps += lamedb5 ? format("t:%08x:%04x:0001,%s:%s\n", t.ns, t.ts, t.letter, t.data)
                       : format("%08x:%04x:0001\n\t%s %s\n/\n", t.ns, t.ts, t.letter, t.data);
        for (int sid = 1; sid <= t.services; ++sid) {
            const int type = t.ts == 1 && sid % 5 == 0 ? 2 : 1;
            svs += lamedb5 ? format("s:%04x:%08x:%04x:0001:%d:0:0,\"S%d\",p:P\n", sid, t.ns, t.ts, type, sid)
                           : serviceText(uint16_t(sid), t.ns, t.ts, 1, type, format("S%d", sid));
        }
    }
    writeText(dir, lamedb5 ? "lamedb5" : "lamedb", lamedb5 ? tps + svs : lamedbText(tps, svs));
    writeText(dir, "blacklist", refLine({1, 3}).substr(9) + refLine({2, 7}).substr(9));
    std::string list;
    for (int b = 0; b < 3; ++b) {
        std::string text = format("#NAME %c\n", 'A' + b);
        for (const auto& ref : bouquet(b)) text += refLine(ref);
        writeText(dir, format("userbouquet.%c.tv", 'a' + b), text);
        list += format("#SERVICE 1:7:1:0:0:0:0:0:0:0:/etc/enigma2/userbouquet.%c.tv\n", 'a' + b);
    }
    writeText(dir, "bouquets.tv", list);
}

struct ChoiceRow {
    const char* name;
    bool cableOnly, bouquetsFirst;
    const char* ticked;  // "1" ticked, "0" not, by position; "": every bouquet
    const char* lists;   // each list: its bouquet (A, B or C) and how many channels it holds
    std::string preview;
};

class ChoicesTest : public EnigmaTest, public testing::WithParamInterface<ChoiceRow> {};

TEST_P(ChoicesTest, ImportGivesWhatThePreviewSaysFromLamedbAndLamedb5Alike) {
    const ChoiceRow& row = GetParam();
    ImportChoices choices{row.cableOnly, row.bouquetsFirst, {}};
    for (const char* t = row.ticked; *t != '\0'; ++t) choices.tickedBouquets.push_back(*t == '1');
    std::vector<std::unique_ptr<ChannelDbImage>> images;
    for (bool lamedb5 : {false, true}) {
        TempDir dir;
        writeFolder(dir, lamedb5);
        EnigmaImportResult result{};
        capture([&] { EXPECT_EQ(ImportEnigmaFolder(dir.path().string().c_str(), &result), 0); });
        const ImportSurvey s = SurveyImport(result);
        EXPECT_EQ(std::vector<int32_t>({s.services, s.byDelivery[0], s.byDelivery[1], s.byDelivery[2],
                                        s.byDelivery[3], s.tv, s.radio, s.locked}),
                  (std::vector<int32_t>{1200, 500, 600, 100, 0, 1100, 100, 2}));
        const ImportPreview preview = PreviewImport(s, choices);
        EXPECT_EQ(FormatImportPreview(preview), row.preview);
        images.push_back(std::make_unique<ChannelDbImage>());
        capture([&] { ImportResultIntoImage(&result, choices, *images.back()); });
        EXPECT_EQ(channelCount(*images.back()), preview.services);
    }
    EXPECT_EQ(images[0]->bytes, images[1]->bytes);

    // Each list holds, in order, the channels of its bouquet's services that were imported.
    const ChannelDbImage& image = *images[0];
    std::map<std::pair<int, int>, int> channelOf;  // transport stream and service id
    for (int i = 0; i < channelCount(image); ++i) {
        ChannelRecord r;
        ASSERT_EQ(getChannel(image, i, r), 1);
        channelOf[{r.transponderId, r.serviceId}] = i;
        EXPECT_TRUE(!choices.cableOnly || r.frequencyKHz == 346000u) << i;
    }
    std::istringstream lists(row.lists);
    std::vector<uint16_t> firstChannels;
    int id = kListFirstDefault;
    for (std::string list; lists >> list; ++id) {
        std::vector<uint16_t> expected;
        for (const auto& [t, sid] : bouquet(list[0] - 'A'))
            if (channelOf.count({kTransponders[t].ts, sid}))
                expected.push_back(uint16_t(channelOf[{kTransponders[t].ts, sid}]));
        const std::vector<uint16_t> items = listItems(image, id);
        EXPECT_EQ(items, expected) << list;
        EXPECT_EQ(items.size(), std::stoul(list.substr(1))) << list;
        for (uint16_t item : items)
            if (std::find(firstChannels.begin(), firstChannels.end(), item) == firstChannels.end())
                firstChannels.push_back(item);
    }
    EXPECT_EQ(listCount(image, id), 0);
    // Bouquets first: the services of the lists are the first channels, in list order.
    for (size_t i = 0; choices.bouquetsFirst && i < firstChannels.size(); ++i) EXPECT_EQ(firstChannels[i], i);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ChoicesTest,
    testing::Values(
        ChoiceRow{"Default", false, false, "", "A0 B10 C10",
                  "1000 of 1200 services; 3 favourite lists; 1 list loses services that do not fit"},
        ChoiceRow{"CableOnly", true, false, "", "A0 B10 C0",
                  "500 of 1200 services; 3 favourite lists; 2 lists lose services that do not fit"},
        ChoiceRow{"BouquetsFirst", false, true, "", "A51 B10 C10",
                  "1000 of 1200 services; 3 favourite lists"},
        ChoiceRow{"TickedBAndC", false, false, "011", "B10 C10", "1000 of 1200 services; 2 favourite lists"},
        ChoiceRow{"CableFirstTickedC", true, true, "001", "C0",
                  "500 of 1200 services; 1 favourite list; 1 list loses services that do not fit"}),
    RowName());

}  // namespace
}  // namespace tovu::test
