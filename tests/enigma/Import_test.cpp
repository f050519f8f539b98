#include "EnigmaTestSupport.h"
#include "db/ChannelRecord.h"
#include "db/DbStore.h"
#include "db/FavLists.h"

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

std::vector<uint16_t> listItems(const ChannelDbImage& image, int listId) {
    std::vector<uint16_t> items(1000);
    int n = 1000;
    EXPECT_EQ(getListItems(image, listId, n, items.data()), 1);
    items.resize(static_cast<size_t>(n));
    return items;
}

std::string listName(const ChannelDbImage& image, int listId) {
    uint8_t name[20] = {};
    if (getListName(image, listId, name, 20) != 1) return "<none>";
    return std::string(reinterpret_cast<const char*>(name), strnlen(reinterpret_cast<const char*>(name), 20));
}

ChannelRecord record(const ChannelDbImage& image, int i) {
    ChannelRecord r;
    EXPECT_EQ(getChannel(image, i, r), 1);
    return r;
}

std::string bouquetList(const std::vector<std::string>& files) {
    std::string text = "#NAME User - bouquets (TV)\n";
    for (const std::string& f : files)
        text += "#SERVICE 1:7:1:0:0:0:0:0:0:0:FROM BOUQUET \"" + f + "\" ORDER BY bouquet\n";
    return text;
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

using ImportTest = EnigmaTest;

TEST_F(ImportTest, RecordsCarryTheServicesFixedValuesAndLocksOfAListWithAByteOrderMark) {
    TempDir dir;
    writeText(dir, "lamedb",
              lamedbText(cableTransponder(0xC00000, 0x437, 1, 346000, 6875000, 3) +
                             cableTransponder(0xC00000, 0x438, 2, 474000, 6900000, 5),
                         serviceText(0x6D66, 0xC00000, 0x437, 1, 25, "Locked TV " + std::string(40, 'x')) +
                             serviceText(0x0101, 0xC00000, 0x438, 2, 2, "Radio \xE4\xB8\xAD")));
    writeText(dir, "blacklist",
              "\xEF\xBB\xBF"
              "1:0:19:6D66:437:1:C00000:0:0:0:\n");
    auto image = newImage();
    importInto(dir, *image);
    ASSERT_EQ(channelCount(*image), 2);
    const ChannelRecord tv = record(*image, 0);
    EXPECT_EQ(tv.serviceId, 0x6D66);
    EXPECT_EQ(tv.transponderId, 0x437);
    EXPECT_EQ(tv.originalNetworkId, 1);
    EXPECT_EQ(tv.flags, 0x7Du | (1u << 21));
    EXPECT_EQ(tv.opaque1, 4u);
    EXPECT_EQ(tv.frequencyKHz, 346000u);
    EXPECT_EQ(tv.symbolRate, 6875u);
    EXPECT_EQ(tv.annex, 0);
    EXPECT_EQ(tv.opaque2, 8);
    const std::string name(reinterpret_cast<const char*>(tv.name.data()), 32);
    EXPECT_EQ(name, ("Locked TV " + std::string(21, 'x')) + std::string(1, '\0'));  // 31 bytes and a NUL

    const ChannelRecord radio = record(*image, 1);
    EXPECT_EQ(radio.flags, 0x7Cu | (2u << 21));
    EXPECT_EQ(radio.frequencyKHz, 474000u);
    EXPECT_STREQ(reinterpret_cast<const char*>(radio.name.data()), "Radio \xD6\xD0");
    EXPECT_EQ(listItems(*image, kListTv), std::vector<uint16_t>{0});
    EXPECT_EQ(listItems(*image, kListRadio), std::vector<uint16_t>{1});
    EXPECT_EQ(listCount(*image, kListData), 0);
}

TEST_F(ImportTest, MapsEnigmaModulationToQamMode) {
    std::string transponders, all;
    for (int m = 0; m < 7; ++m) {  // one service per transponder, in order of frequency
        transponders += cableTransponder(0xC00000, uint16_t(m + 1), 1, 300000 + 1000 * m, 6875000, m);
        all += serviceText(1, 0xC00000, uint16_t(m + 1), 1, 1, "S");
    }
    TempDir dir;
    writeText(dir, "lamedb", lamedbText(transponders, all));
    auto image = newImage();
    importInto(dir, *image);
    std::vector<uint32_t> qam;
    for (int i = 0; i < channelCount(*image); ++i) qam.push_back(record(*image, i).qam);
    EXPECT_EQ(qam, (std::vector<uint32_t>{kQam16, kQam16, kQam32, kQam64, kQam128, kQam256, kQam16}));
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
    EXPECT_EQ(record(*image, 349).progType(), uint32_t{kProgRadio});
    EXPECT_EQ(record(*image, 999).serviceId, 650);
    EXPECT_EQ(listItems(*image, kListFirstDefault), (std::vector<uint16_t>{999, 5}));
}

TEST_F(ImportTest, TvBouquetsFillDefaultThenUserListsUpToThe21st) {
    TempDir dir;
    writeText(dir, "lamedb", manyServices(10, 1));
    std::vector<std::string> files;
    for (int b = 0; b < 23; ++b) files.push_back(format("userbouquet.b%d.tv", b));
    writeText(dir, "BOUQUETS.TV", bouquetList(files));  // found ignoring case
    writeText(dir, "bouquets.radio", bouquetList({"userbouquet.r.tv"}));
    writeText(dir, "userbouquet.r.tv", "#NAME Radio\n" + serviceRefLine(1, 1));
    for (int b = 0; b < 23; ++b) {
        if (b == 6) continue;  // this bouquet file is missing
        std::string text = format("#NAME Bouquet %d with a long name\n", b);
        for (int s = 0; s <= b && s < 10; ++s) text += serviceRefLine(static_cast<uint16_t>(s + 1), 1);
        if (b == 2) text += serviceRefLine(1, 1);  // named twice
        writeText(dir, files[static_cast<size_t>(b)], text);
    }
    auto image = newImage(0xAB);
    const Captured c = importInto(dir, *image);
    EXPECT_NE(c.out.find("tv    bouquet count:  23\nradio bouquet count:   1\n"), std::string::npos);
    for (int b = 0; b < 5; ++b) {
        EXPECT_EQ(listName(*image, kListFirstDefault + b), format("Bouquet %d with a lo", b));
        EXPECT_EQ(listCount(*image, kListFirstDefault + b), b + 1 + (b == 2 ? 1 : 0));
    }
    EXPECT_EQ(listItems(*image, kListFirstDefault + 2), (std::vector<uint16_t>{0, 1, 2, 0}));
    int ids[16];
    int n = 16;
    listUserLists(*image, ids, n);
    EXPECT_EQ(n, 16);
    EXPECT_EQ(listName(*image, kListFirstUser), "Bouquet 5 with a lo");
    EXPECT_EQ(listCount(*image, kListFirstUser), 6);
    EXPECT_EQ(listName(*image, kListFirstUser + 1), "");  // missing file: in use, empty
    EXPECT_EQ(listCount(*image, kListFirstUser + 1), 0);
    EXPECT_EQ(listName(*image, kListLastUser), "Bouquet 20 with a l");
    EXPECT_EQ(listItems(*image, kListLastUser), (std::vector<uint16_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    // Bouquets after the 21st write nothing behind the last user list.
    EXPECT_TRUE(
        std::all_of(image->bytes.begin() + 93268, image->bytes.end(), [](uint8_t v) { return v == 0xAB; }));
}

// The lines FileOpen and the import print for a file of the folder that does not open.
std::string missing(const std::string& folder, const char* name, const char* then = nullptr) {
    std::string text = "file open failed: PATH " + folder + "/" + name + " MODE rb\n";
    if (then != nullptr) text += "can not open file \"" + folder + "/" + name + "\" " + then + "\n";
    return text;
}

// Each import chooses its lock list by the settings file it read and starts clean.
TEST_F(ImportTest, FolderWithoutBouquetsKeepsServicesAndEmptyListsThenAServicesFolderReplacesThem) {
    TempDir dir;
    writeText(dir, "lamedb", manyServices(2, 1));
    auto image = newImage(0xAB);
    Captured c = importInto(dir, *image);
    const std::string f = dir.path().string();
    EXPECT_EQ(c.out, missing(f, "services", "try lamedb!") + missing(f, "blacklist", "SKIP!") +
                         "    namespace tpID netwID  freq  symbR  QAM  svID  T  L  len name\n"
                         "  1   C00000     1     1    346   6875   64     1  1  0   0  \n"
                         "  2   C00000     1     1    346   6875   64     2  1  0   0  \n" +
                         missing(f, "userbouquets.tv.epl") + missing(f, "bouquets.tv") +
                         missing(f, "userbouquets.radio.epl") + missing(f, "bouquets.radio") +
                         "services      count:   2\n"
                         "tv    bouquet count:   0\n"
                         "radio bouquet count:   0\n"
                         "DM: no dynamic memory now\n\n");
    EXPECT_EQ(settingsFormat, kSettingsLamedb);
    EXPECT_EQ(channelCount(*image), 2);
    for (int id = kListFirstDefault; id <= kListLastDefault; ++id) EXPECT_EQ(listCount(*image, id), 0);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(image->bytes[kListInUseOffset + k], 0);

    TempDir servicesFolder;
    writeText(servicesFolder, "Services", manyServices(1, 2));  // found ignoring case
    c = importInto(servicesFolder, *image);
    EXPECT_EQ(settingsFormat, kSettingsServices);
    EXPECT_NE(c.out.find(missing(servicesFolder.path().string(), "services.locked", "SKIP!")),
              std::string::npos);
    EXPECT_EQ(c.out.find("try lamedb"), std::string::npos);
    EXPECT_EQ(channelCount(*image), 1);
    EXPECT_EQ(listCount(*image, kListTv), 0);
    EXPECT_EQ(listItems(*image, kListRadio), std::vector<uint16_t>{0});
}

// A folder or FIFO where the settings, lock list, bouquet list or a bouquet are looked for counts as
// a file that does not open: nothing waits for a writer.
TEST_F(ImportTest, FoldersAndFifosNamedLikeTheFilesDoNotOpen) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "services");
    const char* fifos[] = {"BlackList", "userbouquets.tv.epl", "userbouquet.b.tv"};
    for (const char* fifo : fifos) ASSERT_EQ(mkfifo(dir.file(fifo).c_str(), 0600), 0);
    writeText(dir, "LAMEDB", manyServices(2, 1));  // found ignoring case
    writeText(dir, "bouquets.tv", bouquetList({"userbouquet.a.tv", "userbouquet.b.tv"}));
    writeText(dir, "userbouquet.a.tv", "#NAME A\n" + serviceRefLine(2, 1));
    auto image = newImage();
    const Captured c = importInto(dir, *image);
    for (const char* file : {"services", "blacklist", "userbouquets.tv.epl", "userbouquet.b.tv"})
        EXPECT_NE(c.out.find(missing(dir.path().string(), file)), std::string::npos) << file;
    EXPECT_EQ(settingsFormat, kSettingsLamedb);
    EXPECT_EQ(channelCount(*image), 2);
    EXPECT_EQ(listItems(*image, kListFirstDefault), std::vector<uint16_t>{1});
    EXPECT_EQ(listCount(*image, kListFirstDefault + 1), 0);
}

TEST_F(ImportTest, EmptyFolderClearsOnlyTheImportedRegions) {
    TempDir dir;
    auto image = newImage(0xAB);
    const Captured c = importInto(dir, *image);
    const std::string f = dir.path().string();
    EXPECT_EQ(c.out, missing(f, "services", "try lamedb!") + missing(f, "lamedb", "SKIP!"));
    for (size_t i = 0; i < kImageSize; ++i) {
        const bool cleared = (i >= 72 && i < 78000) || (i >= 83204 && i < 93268);
        ASSERT_EQ(image->bytes[i], cleared ? 0 : 0xAB) << "byte " << i;
    }
}

TEST_F(ImportTest, NullFolderDoesNothing) {
    auto untouched = newImage(0x5A);
    ImportIntoImage(nullptr, *untouched);
    EXPECT_EQ(untouched->bytes, newImage(0x5A)->bytes);
    EnigmaImportResult result{};
    EXPECT_EQ(ImportEnigmaFolder(nullptr, &result), -1);
    EXPECT_EQ(ImportEnigmaFolder("x", nullptr), -1);
}

// Whichever allocation fails, the import prints the message of that allocation, ends without a
// leak or with nothing when a table or a bouquet array cannot be had, and the next one starts clean.
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
    // Allocations in order: transponders (and their growth), services waiting and their names (and
    // their growth), the sorted table, TV array, 2 index arrays, radio array, 1 index array.
    // After the first failure every allocation fails: an index array that cannot be had is followed
    // by the radio array that cannot be had either, except for the last index array.
    const std::string m = "DM: malloc failed\nmalloc memory for ";
    const std::string r = "DM: realloc no change\nremalloc memory for ";
    const std::string tpM = m + "transponder failed\n", tpR = r + "transponder failed\n";
    const std::string svM = m + "service failed\n", svR = r + "service failed\n";
    const std::string tv = m + "TV bouquet failed\n", radio = m + "RADIO bouquet failed\n";
    const std::string items = m + "bouquet failed\n", done = "radio bouquet count:   1\n";
    const std::string messages[] = {tpM, tpR, svM, svM, svR, svR, svM, tv, items, items, radio, items, done};
    auto image = newImage();
    for (int successes = 0; successes < 13; ++successes) {
        DmFailAfter(successes);
        const Captured c = importInto(dir, *image);
        DmFailAfter(-1);
        const int n = successes < 11 ? 0 : 17;
        EXPECT_NE(c.out.find(messages[successes]), std::string::npos) << successes;
        EXPECT_EQ(liveBlockCount, 0) << successes;
        ASSERT_EQ(channelCount(*image), n) << successes;
        for (int id = kListFirstDefault; id <= kListLastDefault; ++id)
            for (uint16_t item : listItems(*image, id)) EXPECT_LT(item, n) << successes;
    }
    EXPECT_EQ(listItems(*image, kListFirstDefault), (std::vector<uint16_t>{0, 16}));
}

TEST_F(ImportTest, KdattoolImportsAFolderIntoAValidFile) {
    TempDir dir;
    writeText(dir, "lamedb", manyServices(3, 1));
    writeText(dir, "bouquets.tv", bouquetList({"userbouquet.a.tv"}));
    writeText(dir, "userbouquet.a.tv", "#NAME A\n" + serviceRefLine(3, 1));
    auto expected = newImage();
    const Captured inProcess = importInto(dir, *expected);

    TempDir out;
    const std::string tool = std::string(TOVU_BINARY_DIR) + "/bin/kdattool";
    const std::string kdat = out.file("out.kdat");
    const CommandResult run = runCommand(tool + " import-enigma " + dir.path().string() + " " + kdat);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, inProcess.out);
    auto loaded = newImage();
    ASSERT_EQ(loadDbFromPath(*loaded, kdat), LoadResult::Loaded);
    EXPECT_EQ(loaded->bytes, expected->bytes);

    // With a base file: the receiver header and the regions the import does not own are kept.
    auto base = newImage();
    base->bytes[0] = 0x42;
    base->bytes[80000] = 0x43;
    writeLe32(base->bytes.data() + kChannelCountOffset, 1);
    const std::string basePath = out.file("base.kdat");
    ASSERT_EQ(saveDbToPath(*base, basePath), SaveResult::Saved);
    EXPECT_EQ(runCommand(tool + " import-enigma " + dir.path().string() + " " + kdat + " " + basePath).status,
              0);
    ASSERT_EQ(loadDbFromPath(*loaded, kdat), LoadResult::Loaded);
    EXPECT_EQ(loaded->bytes[0], 0x42);
    EXPECT_EQ(loaded->bytes[80000], 0x43);
    EXPECT_EQ(channelCount(*loaded), 3);

    const CommandResult failed = runCommand(tool + " import-enigma " + dir.path().string() + " " +
                                            out.file("no/such/dir.kdat") + " 2>&1 >/dev/null");
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, "Fail to open DB!\n");
}

}  // namespace
}  // namespace tovu::test

namespace tovu::test {
namespace {

// kdattool import-enigma as a process: options, and folders that give nothing, with and without a
// base file. A failure leaves OUT as it was.
struct ToolRow {
    const char* name;
    const char* lamedb;  // "fifo": a FIFO; null: none
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
    writeText(dir, "f/blacklist", "");
    if (row.lamedb != nullptr && std::string(row.lamedb) == "fifo")
        ASSERT_EQ(mkfifo(dir.file("f/lamedb").c_str(), 0600), 0);
    else if (row.lamedb != nullptr)
        writeText(dir, "f/lamedb", row.lamedb);
    writeText(dir, "f/bouquets.tv", bouquetList({"userbouquet.a.tv"}));
    writeText(dir, "f/userbouquet.a.tv", "#NAME A\n" + serviceRefLine(2, 1));
    auto base = newImage();
    ASSERT_EQ(saveDbToPath(*base, dir.file("base.kdat")), SaveResult::Saved);
    const std::string tool = std::string(TOVU_BINARY_DIR) + "/bin/kdattool import-enigma ";
    for (const std::string& baseArg : {std::string(), " " + dir.file("base.kdat")}) {
        writeText(dir, "out.kdat", "as it was");
        const CommandResult run = runCommand(tool + dir.file(row.folder) + " " + dir.file("out.kdat") +
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
                                         ToolRow{"SettingsFileIsAFifo", "fifo", "f", "", 1,
                                                 "/f: no settings file (services, lamedb or lamedb5)"},
                                         ToolRow{"NoService", "eDVB services /4/\ntransponders\nend\n", "f",
                                                 "--summary", 1, "/f: the settings file gives no service"},
                                         ToolRow{"NoSuchBouquet", kTwoServices.c_str(), "f", "--bouquets 1,2",
                                                 1, "--bouquets: no TV bouquet 2 (the folder has 1)"},
                                         ToolRow{"BadBouquetList", kTwoServices.c_str(), "f",
                                                 "--bouquets 1,x", 2, "kdattool --help | --version"}),
                         RowName());

}  // namespace
}  // namespace tovu::test
