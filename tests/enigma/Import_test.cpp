#include "EnigmaTestSupport.h"
#include "db/ChannelRecord.h"
#include "db/DbStore.h"

#include <sys/stat.h>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

namespace tovu::test {
namespace {

std::unique_ptr<ChannelDbImage> newImage(uint8_t fill = 0) {
    auto image = std::make_unique<ChannelDbImage>();
    image->bytes.fill(fill);
    return image;
}

Captured importInto(const TempDir& dir, ChannelDbImage& image) {
    return capture([&] { ImportIntoImage(dir.path().string().c_str(), image); });
}

std::string listName(const ChannelDbImage& image, int listId) {
    uint8_t name[20] = {};
    EXPECT_EQ(getListName(image, listId, name, 20), 1);
    return std::string(reinterpret_cast<const char*>(name), strnlen(reinterpret_cast<const char*>(name), 20));
}

ChannelRecord record(const ChannelDbImage& image, int i) {
    ChannelRecord r;
    EXPECT_EQ(getChannel(image, i, r), 1);
    return r;
}

// n services of the given type on transport stream `ts` (namespace C00000, network 1), ids 1..n.
std::string services(int n, int type, uint16_t ts = 1) {
    std::string text;
    for (int i = 1; i <= n; ++i) text += serviceText(static_cast<uint16_t>(i), 0xC00000, ts, 1, type, "S");
    return text;
}
std::string manyServices(int n, int type) {
    return lamedbText(cableTransponder(0xC00000, 1, 1, 346000), services(n, type));
}

// The lines FileOpen and the import print for a file of the folder that does not open.
std::string missing(const TempDir& dir, const char* name, const char* then = nullptr) {
    const std::string path = dir.file(name);
    return "file open failed: PATH " + path + " MODE rb\n" +
           (then != nullptr ? "can not open file \"" + path + "\" " + then + "\n" : "");
}

using ImportTest = EnigmaTest;

// An HD service (type 25) locked by a list that starts with a byte order mark, a radio service and
// a service of another type, which is left out.
TEST_F(ImportTest, RecordsCarryTheServicesTuningTypeLockAndName) {
    TempDir dir;
    writeText(dir, "lamedb",
              lamedbText(cableTransponder(0xC00000, 0x437, 1, 346000, 6875000, 3) +
                             cableTransponder(0xC00000, 0x438, 2, 474000, 6900000, 1),
                         serviceText(0x6D66, 0xC00000, 0x437, 1, 25, "Locked TV " + std::string(40, 'x')) +
                             serviceText(0x0101, 0xC00000, 0x438, 2, 2, "Radio \xE4\xB8\xAD") +
                             serviceText(0x0102, 0xC00000, 0x438, 2, 22, "Dropped: not TV or radio")));
    writeText(dir, "blacklist",
              "\xEF\xBB\xBF"
              "1:0:19:6D66:437:1:C00000:0:0:0:\n");
    auto image = newImage();
    importInto(dir, *image);
    ASSERT_EQ(channelCount(*image), 2);
    const ChannelRecord tv = record(*image, 0), radio = record(*image, 1);
    EXPECT_EQ(std::vector<uint32_t>({tv.serviceId, tv.transponderId, tv.originalNetworkId, tv.flags,
                                     tv.frequencyKHz, tv.symbolRate, tv.qam}),
              std::vector<uint32_t>({0x6D66, 0x437, 1, 0x7Du | kProgTv << 21, 346000, 6875, kQam64}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(tv.name.data()), 32),
              "Locked TV " + std::string(21, 'x') + '\0');  // 31 bytes and a NUL
    EXPECT_EQ(std::vector<uint32_t>({radio.serviceId, radio.transponderId, radio.originalNetworkId,
                                     radio.flags, radio.frequencyKHz, radio.symbolRate, radio.qam}),
              std::vector<uint32_t>({0x101, 0x438, 2, 0x7Cu | kProgRadio << 21, 474000, 6900, kQam16}));
    EXPECT_STREQ(reinterpret_cast<const char*>(radio.name.data()), "Radio \xD6\xD0");
    EXPECT_EQ(listItems(*image, kListTv), std::vector<uint16_t>{0});
    EXPECT_EQ(listItems(*image, kListRadio), std::vector<uint16_t>{1});
}

TEST_F(ImportTest, OnlyTheFirst1000ServicesAnd300RadiosAndTheirFavouritesAreImported) {
    TempDir dir;
    // 350 radio services at 300 MHz come first, then 1200 television services at 346 MHz.
    writeText(dir, "lamedb",
              lamedbText(cableTransponder(0xC00000, 1, 1, 346000) + cableTransponder(0xC00000, 2, 1, 300000),
                         services(1200, 1) + services(350, 2, 2)));
    writeText(dir, "bouquets.tv", bouquetList({"userbouquet.a.tv"}));
    writeText(dir, "userbouquet.a.tv",
              "#NAME A\n" + serviceRefLine(650, 1) + serviceRefLine(651, 1) + serviceRefLine(1200, 1) +
                  serviceRefLine(6, 2));
    auto image = newImage();
    const Captured c = importInto(dir, *image);
    EXPECT_NE(c.out.find("services      count: 1550\n"), std::string::npos);
    EXPECT_EQ(channelCount(*image), 1000);
    EXPECT_EQ(listCount(*image, kListRadio), 300);
    EXPECT_EQ(listCount(*image, kListTv), 650);
    EXPECT_EQ(listCount(*image, kListData), 0);  // the radio list does not run over into it
    EXPECT_EQ(record(*image, 999).serviceId, 650);
    EXPECT_EQ(listItems(*image, kListFirstDefault), (std::vector<uint16_t>{999, 5}));
}

// 23 TV bouquets: the first five fill the default lists, the next 16 the user lists, the rest nothing.
TEST_F(ImportTest, TvBouquetsFillDefaultThenUserListsUpToThe21st) {
    TempDir dir;
    writeText(dir, "lamedb", manyServices(10, 1));
    std::vector<std::string> files;
    for (int b = 0; b < 23; ++b) files.push_back(format("userbouquet.b%d.tv", b));
    writeText(dir, "BOUQUETS.TV", bouquetList(files));  // found ignoring case
    for (int b = 0; b < 23; ++b) {
        if (b == 6) continue;  // this bouquet file is missing
        std::string text = format("#NAME Bouquet %d with a long name\n", b);
        for (int s = 0; s <= b && s < 10; ++s) text += serviceRefLine(static_cast<uint16_t>(s + 1), 1);
        if (b == 2) text += serviceRefLine(1, 1);  // named twice
        writeText(dir, files[static_cast<size_t>(b)], text);
    }
    auto image = newImage(0xAB);
    const Captured c = importInto(dir, *image);
    EXPECT_NE(c.out.find("tv    bouquet count:  23\n"), std::string::npos);
    EXPECT_EQ(listName(*image, kListFirstDefault), "Bouquet 0 with a lo");  // 19 bytes and a NUL
    EXPECT_EQ(listItems(*image, kListFirstDefault + 2), (std::vector<uint16_t>{0, 1, 2, 0}));
    EXPECT_EQ(listName(*image, kListFirstUser), "Bouquet 5 with a lo");
    EXPECT_EQ(listCount(*image, kListFirstUser), 6);
    EXPECT_EQ(listName(*image, kListFirstUser + 1), "");  // missing file: in use, empty
    EXPECT_EQ(listCount(*image, kListFirstUser + 1), 0);
    EXPECT_EQ(listName(*image, kListLastUser), "Bouquet 20 with a l");
    EXPECT_EQ(listItems(*image, kListLastUser), (std::vector<uint16_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    int ids[16], n = 16;
    listUserLists(*image, ids, n);
    EXPECT_EQ(n, 16);
    // Bouquets after the 21st write nothing behind the last user list.
    EXPECT_TRUE(std::all_of(image->bytes.begin() + kUsedImageSize, image->bytes.end(),
                            [](uint8_t v) { return v == 0xAB; }));
}

// A folder or FIFO where the settings, lock list, bouquet list or a bouquet are looked for counts as
// a file that does not open: nothing waits for a writer.
TEST_F(ImportTest, FoldersAndFifosNamedLikeTheFilesDoNotOpen) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "services");
    for (const char* fifo : {"BlackList", "userbouquets.tv.epl", "userbouquet.b.tv"})
        ASSERT_EQ(mkfifo(dir.file(fifo).c_str(), 0600), 0);
    writeText(dir, "LAMEDB", manyServices(2, 1));  // found ignoring case
    writeText(dir, "bouquets.tv", bouquetList({"userbouquet.a.tv", "userbouquet.b.tv"}));
    writeText(dir, "userbouquet.a.tv", "#NAME A\n" + serviceRefLine(2, 1));
    auto image = newImage();
    const Captured c = importInto(dir, *image);
    for (const char* file : {"services", "blacklist", "userbouquets.tv.epl", "userbouquet.b.tv"})
        EXPECT_NE(c.out.find(missing(dir, file)), std::string::npos) << file;
    EXPECT_EQ(settingsFormat, kSettingsLamedb);
    EXPECT_EQ(channelCount(*image), 2);
    EXPECT_EQ(listItems(*image, kListFirstDefault), std::vector<uint16_t>{1});
    EXPECT_EQ(listCount(*image, kListFirstDefault + 1), 0);
}

// Whichever allocation fails, the import says so and ends without a leak, with all its services
// or none, and the next one starts clean.
TEST_F(ImportTest, EachAllocationFailureEndsTheImportCleanly) {
    TempDir dir;
    std::string transponders;  // 17: the table grows once
    for (uint16_t t = 1; t <= 17; ++t)
        transponders += cableTransponder(0xC00000, t, 1, t == 2 ? 474000 : 346000);
    writeText(dir, "lamedb",
              lamedbText(transponders, services(16, 1) + serviceText(4, 0xC00000, 2, 1, 1, "S")));
    writeText(dir, "bouquets.tv", bouquetList({"userbouquet.a.tv", "userbouquet.b.tv"}));
    writeText(dir, "bouquets.radio", bouquetList({"userbouquet.a.tv"}));
    writeText(dir, "userbouquet.a.tv", "#NAME A\n" + serviceRefLine(1, 1) + serviceRefLine(4, 2));
    writeText(dir, "userbouquet.b.tv", "#NAME B\n" + serviceRefLine(2, 1));
    auto image = newImage();
    for (int successes = 0; successes <= 12; ++successes) {  // the import takes 12 allocations
        DmFailAfter(successes);
        const Captured c = importInto(dir, *image);
        DmFailAfter(-1);
        EXPECT_EQ(c.out.find(" failed\n") != std::string::npos, successes < 12) << successes;
        EXPECT_EQ(liveBlockCount, 0) << successes;
        const int n = channelCount(*image);
        EXPECT_TRUE(n == 0 || n == 17) << successes;
        for (int id = kListFirstDefault; id <= kListLastDefault; ++id)
            for (uint16_t item : listItems(*image, id)) EXPECT_LT(item, n) << successes;
    }
    EXPECT_EQ(listItems(*image, kListFirstDefault), (std::vector<uint16_t>{0, 16}));
}

const std::string kKdattool = std::string(TOVU_BINARY_DIR) + "/bin/kdattool import-enigma ";

// kdattool import-enigma gives the editor's import into its base file: the receiver header and the
// regions the import does not own are kept.
TEST_F(ImportTest, KdattoolImportsAFolderAsTheEditorDoes) {
    TempDir dir, out;
    writeText(dir, "lamedb", manyServices(3, 1));
    writeText(dir, "bouquets.tv", bouquetList({"userbouquet.a.tv"}));
    writeText(dir, "userbouquet.a.tv", "#NAME A\n" + serviceRefLine(3, 1));
    auto expected = newImage();
    expected->bytes[0] = 0x42;
    expected->bytes[80000] = 0x43;
    ASSERT_EQ(saveDbToPath(*expected, out.file("base.kdat")), SaveResult::Saved);
    const Captured inProcess = importInto(dir, *expected);
    const CommandResult run = runCommand(kKdattool + dir.path().string() + " " + out.file("out.kdat") + " " +
                                         out.file("base.kdat"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, inProcess.out);
    auto loaded = newImage();
    ASSERT_EQ(loadDbFromPath(*loaded, out.file("out.kdat")), LoadResult::Loaded);
    EXPECT_EQ(loaded->bytes, expected->bytes);
    EXPECT_EQ(loaded->bytes[80000], 0x43);
}

// kdattool import-enigma with options, and with folders that give nothing, with and without a
// base file. A failure leaves OUT as it was.
struct ToolRow {
    const char* name;
    const char* lamedb;  // null: none
    std::string folder;  // under the temporary folder
    std::string options;
    int status;
    std::string lastError;  // how standard error ends
};

class KdattoolImportTest : public EnigmaTest, public testing::WithParamInterface<ToolRow> {};

TEST_P(KdattoolImportTest, EndsWithItsMessageAndWritesOutOnlyOnSuccess) {
    const ToolRow& row = GetParam();
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "f");
    if (row.lamedb != nullptr) writeText(dir, "f/lamedb", row.lamedb);
    writeText(dir, "f/bouquets.tv", bouquetList({"userbouquet.a.tv"}));
    writeText(dir, "f/userbouquet.a.tv", "#NAME A\n" + serviceRefLine(2, 1));
    ASSERT_EQ(saveDbToPath(*newImage(), dir.file("base.kdat")), SaveResult::Saved);
    for (const std::string& baseArg : {std::string(), " " + dir.file("base.kdat")}) {
        writeText(dir, "out.kdat", "as it was");
        const CommandResult run = runCommand(kKdattool + dir.file(row.folder) + " " + dir.file("out.kdat") +
                                             baseArg + " " + row.options + " 2>&1 >/dev/null");
        EXPECT_EQ(run.status, row.status) << baseArg;
        EXPECT_TRUE(run.out.ends_with(row.lastError + "\n")) << run.out;
        const std::vector<uint8_t> out = readFileBytes(dir.file("out.kdat"));
        EXPECT_EQ(std::string(out.begin(), out.end()) == "as it was", row.status != 0) << baseArg;
    }
}

const std::string kTwoServices = manyServices(2, 1);

INSTANTIATE_TEST_SUITE_P(Rows, KdattoolImportTest,
                         testing::Values(ToolRow{"OptionsWithSummary", kTwoServices.c_str(), "f",
                                                 "--cable-only --bouquets-first --bouquets=1 --summary", 0,
                                                 "2 of 2 services; 1 favourite list"},
                                         ToolRow{"MissingFolder", nullptr, "nowhere", "", 1,
                                                 "/nowhere: no such folder"},
                                         ToolRow{"NoSettingsFile", nullptr, "f", "", 1,
                                                 "/f: no settings file (services, lamedb or lamedb5)"},
                                         ToolRow{"NoService", "eDVB services /4/\ntransponders\nend\n", "f",
                                                 "--summary", 1, "/f: the settings file gives no service"},
                                         ToolRow{"NoSuchBouquet", kTwoServices.c_str(), "f", "--bouquets 1,2",
                                                 1, "--bouquets: no TV bouquet 2 (the folder has 1)"}),
                         RowName());

}  // namespace
}  // namespace tovu::test
