#include "EnigmaTestSupport.h"
#include "db/ChannelRecord.h"
#include "db/DbStore.h"
#include "db/FavLists.h"

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

// n cable services of the given type on one transponder, service ids 1..n.
std::string manyServices(int n, int type) {
    std::string services;
    for (int i = 1; i <= n; ++i) services += serviceText(static_cast<uint16_t>(i), 0xC00000, 1, 1, type, "S");
    return lamedbText(cableTransponder(0xC00000, 1, 1, 346000), services);
}

using ImportTest = EnigmaTest;

struct QamRow {
    const char* name;
    int modulation;
    uint32_t qam;
};
class QamTest : public EnigmaTest, public testing::WithParamInterface<QamRow> {};

TEST_P(QamTest, MapsEnigmaModulationToQamMode) {
    TempDir dir;
    writeText(dir, "lamedb",
              lamedbText(cableTransponder(0xC00000, 1, 1, 346000, 6875000, GetParam().modulation),
                         serviceText(1, 0xC00000, 1, 1, 1, "A")));
    auto image = newImage();
    importInto(dir, *image);
    ASSERT_EQ(channelCount(*image), 1);
    EXPECT_EQ(record(*image, 0).qam, GetParam().qam);
}

INSTANTIATE_TEST_SUITE_P(Modulations, QamTest,
                         testing::Values(QamRow{"Auto", 0, 0}, QamRow{"Qam16", 1, 0}, QamRow{"Qam32", 2, 1},
                                         QamRow{"Qam64", 3, 2}, QamRow{"Qam128", 4, 3},
                                         QamRow{"Qam256", 5, 4}, QamRow{"Unknown", 6, 0}),
                         RowName());

TEST_F(ImportTest, RecordsCarryTheServicesAndFixedValues) {
    TempDir dir;
    writeText(dir, "lamedb",
              lamedbText(cableTransponder(0xC00000, 0x437, 1, 346000, 6875000, 3) +
                             cableTransponder(0xC00000, 0x438, 2, 474000, 6900000, 5),
                         serviceText(0x6D66, 0xC00000, 0x437, 1, 25, "Locked TV " + std::string(40, 'x')) +
                             serviceText(0x0101, 0xC00000, 0x438, 2, 2, "Radio \xE4\xB8\xAD")));
    writeText(dir, "blacklist", "1:0:19:6D66:437:1:C00000:0:0:0:\n");
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
    EXPECT_EQ(tv.qam, uint32_t{kQam64});
    const std::string name(reinterpret_cast<const char*>(tv.name.data()), 32);
    EXPECT_EQ(name, ("Locked TV " + std::string(21, 'x')) + std::string(1, '\0'));  // 31 bytes and a NUL

    const ChannelRecord radio = record(*image, 1);
    EXPECT_EQ(radio.flags, 0x7Cu | (2u << 21));
    EXPECT_EQ(radio.frequencyKHz, 474000u);
    EXPECT_EQ(radio.qam, uint32_t{kQam256});
    EXPECT_STREQ(reinterpret_cast<const char*>(radio.name.data()), "Radio \xD6\xD0");
    EXPECT_EQ(listItems(*image, kListTv), std::vector<uint16_t>{0});
    EXPECT_EQ(listItems(*image, kListRadio), std::vector<uint16_t>{1});
    EXPECT_EQ(listCount(*image, kListData), 0);
}

TEST_F(ImportTest, LockListWithByteOrderMarkLocks) {
    TempDir dir;
    writeText(dir, "lamedb",
              lamedbText(cableTransponder(0xC00000, 1, 1, 346000), serviceText(5, 0xC00000, 1, 1, 1, "A")));
    writeText(dir, "blacklist",
              "\xEF\xBB\xBF"
              "1:0:1:5:1:1:C00000:0:0:0:\n");
    auto image = newImage();
    importInto(dir, *image);
    EXPECT_EQ(record(*image, 0).flags & kFlagLocked, kFlagLocked);
}

TEST_F(ImportTest, OnlyTheFirst1000ServicesAndTheirFavouritesAreImported) {
    TempDir dir;
    writeText(dir, "lamedb", manyServices(1200, 1));
    writeText(dir, "bouquets.tv", bouquetList({"userbouquet.a.tv"}));
    // Sorted by service id: service id s has index s - 1.
    writeText(dir, "userbouquet.a.tv",
              "#NAME A\n" + serviceRefLine(1000, 1) + serviceRefLine(1001, 1) + serviceRefLine(1200, 1) +
                  serviceRefLine(6, 1));
    auto image = newImage();
    const Captured c = importInto(dir, *image);
    EXPECT_NE(c.out.find("services      count: 1200\n"), std::string::npos);
    EXPECT_EQ(channelCount(*image), 1000);
    EXPECT_EQ(listCount(*image, kListTv), 1000);
    EXPECT_EQ(record(*image, 999).serviceId, 1000);
    EXPECT_EQ(listItems(*image, kListFirstDefault), (std::vector<uint16_t>{999, 5}));
}

TEST_F(ImportTest, RadioListHolds300) {
    TempDir dir;
    writeText(dir, "lamedb", manyServices(350, 2));
    auto image = newImage();
    importInto(dir, *image);
    EXPECT_EQ(channelCount(*image), 350);
    EXPECT_EQ(listCount(*image, kListRadio), 300);
    EXPECT_EQ(listCount(*image, kListTv), 0);
    EXPECT_EQ(record(*image, 349).progType(), uint32_t{kProgRadio});
}

TEST_F(ImportTest, TvBouquetsFillDefaultThenUserLists) {
    TempDir dir;
    writeText(dir, "lamedb", manyServices(10, 1));
    std::vector<std::string> files;
    for (int b = 0; b < 7; ++b) files.push_back(format("userbouquet.b%d.tv", b));
    writeText(dir, "bouquets.tv", bouquetList(files));
    writeText(dir, "bouquets.radio", bouquetList({"userbouquet.r.tv"}));
    writeText(dir, "userbouquet.r.tv", "#NAME Radio\n" + serviceRefLine(1, 1));
    for (int b = 0; b < 7; ++b) {
        if (b == 6) continue;  // the last bouquet file is missing
        std::string text = format("#NAME Bouquet %d with a long name\n", b);
        for (int s = 0; s <= b; ++s) text += serviceRefLine(static_cast<uint16_t>(s + 1), 1);
        if (b == 2) text += serviceRefLine(1, 1);  // named twice
        writeText(dir, files[static_cast<size_t>(b)], text);
    }
    auto image = newImage();
    const Captured c = importInto(dir, *image);
    EXPECT_NE(c.out.find("tv    bouquet count:   7\nradio bouquet count:   1\n"), std::string::npos);
    for (int b = 0; b < 5; ++b) {
        EXPECT_EQ(listName(*image, kListFirstDefault + b), format("Bouquet %d with a lo", b));
        EXPECT_EQ(listCount(*image, kListFirstDefault + b), b + 1 + (b == 2 ? 1 : 0));
    }
    EXPECT_EQ(listItems(*image, kListFirstDefault + 2), (std::vector<uint16_t>{0, 1, 2, 0}));
    int ids[16];
    int n = 16;
    listUserLists(*image, ids, n);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(ids[0], kListFirstUser);
    EXPECT_EQ(ids[1], kListFirstUser + 1);
    EXPECT_EQ(listName(*image, kListFirstUser), "Bouquet 5 with a lo");
    EXPECT_EQ(listCount(*image, kListFirstUser), 6);
    EXPECT_EQ(listName(*image, kListFirstUser + 1), "");  // missing file: in use, empty
    EXPECT_EQ(listCount(*image, kListFirstUser + 1), 0);
}

TEST_F(ImportTest, BouquetsAfterThe21stAreIgnored) {
    TempDir dir;
    writeText(dir, "lamedb", manyServices(3, 1));
    std::vector<std::string> files;
    for (int b = 0; b < 23; ++b) {
        files.push_back(format("userbouquet.b%d.tv", b));
        writeText(dir, files.back(), format("#NAME B%d\n", b) + serviceRefLine(2, 1));
    }
    writeText(dir, "bouquets.tv", bouquetList(files));
    auto image = newImage();
    importInto(dir, *image);
    EXPECT_EQ(listName(*image, kListLastUser), "B20");
    for (int id = kListFirstUser; id <= kListLastUser; ++id)
        EXPECT_EQ(listItems(*image, id), std::vector<uint16_t>{1});
}

TEST_F(ImportTest, FolderWithoutBouquetsKeepsServicesAndEmptyLists) {
    TempDir dir;
    writeText(dir, "lamedb", manyServices(2, 1));
    auto image = newImage(0xAB);
    const Captured c = importInto(dir, *image);
    const std::string folder = dir.path().string();
    EXPECT_EQ(c.out, "file open failed: PATH " + folder +
                         "/services MODE rb\n"
                         "can not open file \"" +
                         folder +
                         "/services\" try lamedb!\n"
                         "file open failed: PATH " +
                         folder +
                         "/blacklist MODE rb\n"
                         "can not open file \"" +
                         folder +
                         "/blacklist\" SKIP!\n"
                         "    namespace tpID netwID  freq  symbR  QAM  svID  T  L  len name\n"
                         "  1   C00000     1     1    346   6875   64     1  1  0   0  \n"
                         "  2   C00000     1     1    346   6875   64     2  1  0   0  \n"
                         "file open failed: PATH " +
                         folder +
                         "/userbouquets.tv.epl MODE rb\n"
                         "file open failed: PATH " +
                         folder +
                         "/bouquets.tv MODE rb\n"
                         "file open failed: PATH " +
                         folder +
                         "/userbouquets.radio.epl MODE rb\n"
                         "file open failed: PATH " +
                         folder +
                         "/bouquets.radio MODE rb\n"
                         "services      count:   2\n"
                         "tv    bouquet count:   0\n"
                         "radio bouquet count:   0\n"
                         "DM: no dynamic memory now\n\n");
    EXPECT_EQ(channelCount(*image), 2);
    for (int id = kListFirstDefault; id <= kListLastDefault; ++id) EXPECT_EQ(listCount(*image, id), 0);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(image->bytes[kListInUseOffset + k], 0);
}

TEST_F(ImportTest, EmptyFolderClearsOnlyTheImportedRegions) {
    TempDir dir;
    auto image = newImage(0xAB);
    const Captured c = importInto(dir, *image);
    const std::string folder = dir.path().string();
    EXPECT_EQ(c.out, "file open failed: PATH " + folder +
                         "/services MODE rb\n"
                         "can not open file \"" +
                         folder +
                         "/services\" try lamedb!\n"
                         "file open failed: PATH " +
                         folder +
                         "/lamedb MODE rb\n"
                         "can not open file \"" +
                         folder + "/lamedb\" SKIP!\n");
    for (size_t i = 0; i < kImageSize; ++i) {
        const bool cleared = (i >= 72 && i < 78000) || (i >= 83204 && i < 93268);
        ASSERT_EQ(image->bytes[i], cleared ? 0 : 0xAB) << "byte " << i;
    }
}

TEST_F(ImportTest, EachImportChoosesItsOwnLockListAndStartsClean) {
    TempDir lamedbFolder;
    writeText(lamedbFolder, "lamedb", manyServices(3, 1));
    TempDir servicesFolder;
    writeText(servicesFolder, "Services", manyServices(1, 2));  // found ignoring case
    auto image = newImage();
    Captured c = importInto(lamedbFolder, *image);
    EXPECT_EQ(settingsFormat, kSettingsLamedb);
    EXPECT_NE(c.out.find("/blacklist\" SKIP!"), std::string::npos);
    EXPECT_EQ(channelCount(*image), 3);
    c = importInto(servicesFolder, *image);
    EXPECT_EQ(settingsFormat, kSettingsServices);
    EXPECT_NE(
        c.out.find("can not open file \"" + servicesFolder.path().string() + "/services.locked\" SKIP!"),
        std::string::npos);
    EXPECT_EQ(c.out.find("try lamedb"), std::string::npos);
    EXPECT_EQ(channelCount(*image), 1);
    EXPECT_EQ(listCount(*image, kListTv), 0);
    EXPECT_EQ(listItems(*image, kListRadio), std::vector<uint16_t>{0});
}

TEST_F(ImportTest, NullFolderDoesNothing) {
    auto untouched = newImage(0x5A);
    ImportIntoImage(nullptr, *untouched);
    EXPECT_EQ(untouched->bytes, newImage(0x5A)->bytes);
    EnigmaImportResult result{};
    EXPECT_EQ(ImportEnigmaFolder(nullptr, &result), -1);
    EXPECT_EQ(ImportEnigmaFolder("x", nullptr), -1);
}

TEST_F(ImportTest, OutOfMemoryWhileTablesGrowEndsTheImportWithNothing) {
    TempDir dir;
    writeText(dir, "lamedb", manyServices(5, 1));
    auto image = newImage();
    DmFailAfter(3);  // the transponder table and the first two services
    const Captured c = importInto(dir, *image);
    EXPECT_NE(c.out.find("DM: realloc no change\nremalloc memory for service failed\n"), std::string::npos);
    EXPECT_EQ(c.out.find("services      count"), std::string::npos);
    EXPECT_EQ(channelCount(*image), 0);
    EXPECT_EQ(liveBlockCount, 0);
    DmFailAfter(-1);
    importInto(dir, *image);  // the next import starts clean
    EXPECT_EQ(channelCount(*image), 5);
}

TEST_F(ImportTest, OutOfMemoryForTheBouquetArrayEndsTheImportWithNothing) {
    TempDir dir;
    writeText(dir, "lamedb", manyServices(2, 1));
    writeText(dir, "bouquets.tv", bouquetList({"userbouquet.a.tv"}));
    writeText(dir, "userbouquet.a.tv", "#NAME A\n" + serviceRefLine(1, 1));
    auto image = newImage();
    DmFailAfter(3);  // transponder, two services
    const Captured c = importInto(dir, *image);
    EXPECT_NE(c.out.find("DM: malloc failed\nmalloc memory for TV bouquet failed\n"), std::string::npos);
    EXPECT_EQ(channelCount(*image), 0);
    EXPECT_EQ(listCount(*image, kListFirstDefault), 0);
    EXPECT_EQ(liveBlockCount, 0);
}

// Whichever allocation fails, the import ends without a leak and leaves a consistent image.
TEST_F(ImportTest, EveryAllocationFailureLeavesAConsistentImage) {
    TempDir dir;
    writeText(dir, "lamedb", manyServices(4, 1));
    writeText(dir, "bouquets.tv", bouquetList({"userbouquet.a.tv", "userbouquet.b.tv"}));
    writeText(dir, "bouquets.radio", bouquetList({"userbouquet.a.tv"}));
    writeText(dir, "userbouquet.a.tv", "#NAME A\n" + serviceRefLine(1, 1) + serviceRefLine(4, 1));
    writeText(dir, "userbouquet.b.tv", "#NAME B\n" + serviceRefLine(2, 1));
    auto image = newImage();
    for (int successes = 0; successes < 12; ++successes) {
        DmFailAfter(successes);
        importInto(dir, *image);
        DmFailAfter(-1);
        EXPECT_EQ(liveBlockCount, 0) << successes;
        const int n = channelCount(*image);
        EXPECT_TRUE(n == 0 || n == 4) << successes;
        for (int id = kListFirstDefault; id <= kListLastDefault; ++id)
            for (uint16_t item : listItems(*image, id)) EXPECT_LT(item, n) << successes;
    }
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
