// The choices of a DreamBox import: the real "Import Choices" dialog driven by clicks and keys, and
// the import command given its answer.
#include "UiTestSupport.h"

#include "db/DbStore.h"
#include "enigma/EnigmaTestSupport.h"
#include "ui/DialogPrompts.h"
#include "ui/EditorTexts.h"
#include "ui/ImportChoicesDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QTreeWidget>

namespace tovu::ui {
namespace {

using namespace tovu::test;

// A "lamedb5" folder: services 1.. on a cable and on a satellite transponder; TV bouquet "Sat"
// names the last five satellite services, "Cable" the first five cable ones.
void writeFolder(const TempDir& dir, int cable, int satellite) {
    std::string text =
        "eDVB services /5/\nt:ffff0000:0001:0001,c:346000:6875000:2:3:0:0:0\n"
        "t:00c00000:0002:0001,s:11000000:22000000:0:2:192:2:0\n";
    for (int sid = 1; sid <= cable + satellite; ++sid)
        text += sid <= cable ? format("s:%04x:ffff0000:0001:0001:1:0:0,\"C%d\",p:P\n", sid, sid)
                             : format("s:%04x:00c00000:0002:0001:1:0:0,\"S\",p:P\n", sid - cable);
    std::string sat = "#NAME Sat\n", cab = "#NAME Cable\n";
    for (int sid = 1; sid <= 5; ++sid)
        sat += serviceRefLine(uint16_t(std::max(satellite, 5) - 5 + sid), 2),
            cab += serviceRefLine(uint16_t(sid), 1, 0xFFFF0000);
    writeText(dir, "lamedb5", text);
    writeText(dir, "userbouquet.sat.tv", sat);
    writeText(dir, "userbouquet.cable.tv", cab);
    writeText(dir, "bouquets.tv",
              "#SERVICE 1:7:1:0:0:0:0:0:0:0:/userbouquet.sat.tv\n#SERVICE "
              "1:7:1:0:0:0:0:0:0:0:/userbouquet.cable.tv\n");
}

struct ChoiceRow {
    const char* name;
    int cable, satellite;  // services of the synthetic folder
    const char* corpus;    // else this folder of the shared corpus
    // c, f: click "Cable services only", "Services of the ticked bouquets first"; 0, 1: click a
    // bouquet's row; x, y: click the check box of row 0, 1; k: Space on the list.
    const char* steps;
    bool pressImport;  // else Cancel
    const char* preview;
    bool asked;           // the window asks for the choices
    const char* summary;  // empty: the image stays as it was
};

void PrintTo(const ChoiceRow& c, std::ostream* out) { *out << c.name; }

class ImportChoicesTest : public testing::TestWithParam<ChoiceRow> {};

TEST_P(ImportChoicesTest, TheDialogTellsWhatItGivesAndTheWindowImportsThatOrNothing) {
    const ChoiceRow& c = GetParam();
    TempDir dir;
    std::string folder = dir.path().string();
    if (c.corpus != nullptr && sharedCorpus().empty()) GTEST_SKIP() << "shared corpus absent";
    if (c.corpus != nullptr) folder = (sharedCorpus() / c.corpus).string();
    if (c.corpus == nullptr) writeFolder(dir, c.cable, c.satellite);
    EnigmaImportResult result{};
    capture([&] { EXPECT_EQ(ImportEnigmaFolder(folder.c_str(), &result), 0); });
    const ImportSurvey survey = SurveyImport(result);
    capture([&] { ReleaseImport(&result); });

    test::whenModal<ImportChoicesDialog>([&](ImportChoicesDialog& d) {
        QTreeWidget* list = d.bouquetList();
        for (const char* s = c.steps; *s != '\0'; ++s) {
            if (*s == 'c' || *s == 'f') test::click(*s == 'c' ? d.cableOnlyBox() : d.bouquetsFirstBox());
            if (*s == 'k') QTest::keyClick(list, Qt::Key_Space);
            if (std::strchr("01xy", *s) == nullptr) continue;
            QStyleOptionViewItem option;
            option.initFrom(list->viewport());
            option.rect = list->visualItemRect(list->topLevelItem(*s >= 'x' ? *s - 'x' : *s - '0'));
            option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
            const QRect box =
                list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, (*s >= 'x' ? box : option.rect).center());
        }
        EXPECT_EQ(d.previewLine()->text().toStdString(), c.preview);
        test::click(c.pressImport ? d.importButton() : d.cancelButton());
        if (d.isVisible()) QTest::keyClick(&d, Qt::Key_Escape);  // Import refused
    });
    DialogPrompts dialogs;
    const std::optional<ImportChoices> chosen = dialogs.chooseImportChoices(nullptr, survey);

    test::WindowHarness h(test::imageWithServices(3));
    h.prompts.answers = {QString::fromStdString(folder)};
    h.prompts.importChoices = chosen;
    const auto before = h.image->bytes;
    const Captured printed = capture([&] { test::click(h.window->button(kCmdImportDreamBox)); });
    EXPECT_EQ(h.prompts.importChoiceRequests, c.asked ? 1 : 0);
    EXPECT_EQ(liveBlockCount, 0);
    EXPECT_EQ(h.window->importSummaryLabel()->text().toStdString(), c.summary);
    if (!chosen || !c.summary[0]) {
        EXPECT_TRUE(h.image->bytes == before && h.shown() == "1 2 3");
        return;
    }

    auto planned = std::make_unique<ChannelDbImage>();
    EXPECT_EQ(capture([&] { (void)ImportIntoImageWith(folder.c_str(), *chosen, *planned); }).out,
              printed.out);
    EXPECT_TRUE(h.image->bytes == planned->bytes);
    // A database file loaded later clears the summary.
    ASSERT_EQ(saveDbToPath(*planned, dir.file("saved.kdat")), SaveResult::Saved);
    h.prompts.answers = {QString::fromStdString(dir.file("saved.kdat"))};
    test::click(h.window->button(kCmdLoadDb));
    EXPECT_EQ(h.window->importSummaryLabel()->text(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ImportChoicesTest,
    testing::Values(
        ChoiceRow{"Defaults", 600, 600, nullptr, "", true,
                  "1000 of 1200 services; 2 favourite lists; 1 list loses services that do not fit", true,
                  "1000 of 1200 services imported, 2 lists"},
        ChoiceRow{"CableOnlyUntickSat", 600, 600, nullptr, "c0", true,
                  "600 of 1200 services; 1 favourite list", true, "600 of 1200 services imported, 1 list"},
        ChoiceRow{"FirstSpaceAndCheckBoxTickOnce", 600, 600, nullptr, "fkxy", true,
                  "1000 of 1200 services; 1 favourite list", true, "1000 of 1200 services imported, 1 list"},
        ChoiceRow{"Cancel", 600, 600, nullptr, "c", false,
                  "600 of 1200 services; 2 favourite lists; 1 list loses services that do not fit", true, ""},
        ChoiceRow{"NoCableCannotBeImported", 0, 1200, nullptr, "c", true,
                  "0 of 1200 services; 2 favourite lists; 1 list loses services that do not fit", true, ""},
        ChoiceRow{"AllCableImportsWithoutAsking", 3, 0, nullptr, "", true,
                  "3 of 3 services; 2 favourite lists", false, "3 of 3 services imported, 2 lists"},
        ChoiceRow{"SpanishCorpus", 0, 0, "e1-dreamboxedit-spain", "", true,
                  "1000 of 2003 services; 1 favourite list; 1 list loses services that do not fit", true,
                  "1000 of 2003 services imported, 1 list"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu::ui
