// The main window's file commands: load, save, the three "Select File" buttons, the DreamBox
// import and its folder browser.
#include "WindowHarness.h"

#include "db/DbFileFormat.h"
#include "db/DbStore.h"
#include "support/TestSupport.h"
#include "ui/EditorTexts.h"
#include "ui/EnigmaFolderDialog.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>

namespace tovu::ui {
namespace {

using test::WindowHarness;
using tovu::test::readFileBytes;
using tovu::test::TempDir;
using tovu::test::writeFileBytes;

QString q(const std::string& s) { return QString::fromStdString(s); }

std::string demoDatabase(const TempDir& dir) {
    const std::string path = dir.file("demo.kdat");
    const auto made = tovu::test::runCommand(test::binaryPath("kdattool") + " demo '" + path + "'");
    EXPECT_EQ(made.status, 0) << made.out;
    return path;
}

TEST(LoadCommand, ValidFileFillsTheListAndNamesTheSource) {
    TempDir dir;
    const std::string path = demoDatabase(dir);
    WindowHarness h;
    h.prompts.fileAnswers.push_back(q(path));
    h.window->button(kCmdLoadDb)->click();
    ASSERT_EQ(h.prompts.fileRequests.size(), 1u);
    EXPECT_EQ(h.prompts.fileRequests[0].defaultName, "tovuChanDB.kdat");
    EXPECT_EQ(h.prompts.fileRequests[0].filters, "channel database(*.kdat) (*.kdat);;All Files (*.*) (*)");
    EXPECT_TRUE(h.prompts.messages.empty());
    auto expected = std::make_unique<ChannelDbImage>();
    ASSERT_EQ(loadDbFromPath(*expected, path), LoadResult::Loaded);
    EXPECT_EQ(h.image->bytes, expected->bytes);
    EXPECT_GT(h.rows(), 0);
    EXPECT_EQ(h.rows(), channelCount(*expected));
    EXPECT_EQ(h.window->sourceLabel()->text(), q(path));
    EXPECT_EQ(h.window->selectedRows(), QList<int>({0}));
    // The chosen path goes into none of the path fields.
    EXPECT_TRUE(h.window->saveFilePathEdit()->text().isEmpty());
    EXPECT_TRUE(h.window->uploadFilePathEdit()->text().isEmpty());
}

struct LoadFailure {
    const char* name;
    const char* file;  // missing, garbage (0x50000 bytes of 0x5A) or empty
    const char* message;
};

class LoadCommandFailure : public testing::TestWithParam<LoadFailure> {};

TEST_P(LoadCommandFailure, IsReportedWithoutOwnerAndChangesNothing) {
    const LoadFailure& c = GetParam();
    TempDir dir;
    const std::string path = dir.file(c.file);
    const std::string kind = c.file;
    if (kind == "garbage.kdat") writeFileBytes(path, std::vector<uint8_t>(kDbFileSize, 0x5A));
    if (kind == "empty.kdat") writeFileBytes(path, {});
    WindowHarness h(3);
    h.select({1});
    const auto before = h.image->bytes;
    h.prompts.fileAnswers.push_back(q(path));
    h.window->button(kCmdLoadDb)->click();
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, c.message);
    EXPECT_EQ(h.prompts.messages[0].caption, "Message");
    EXPECT_EQ(h.prompts.messages[0].owner, nullptr);
    EXPECT_EQ(h.image->bytes, before);
    EXPECT_EQ(h.rows(), 3);
    EXPECT_EQ(h.window->selectedRows(), QList<int>({1}));
    EXPECT_TRUE(h.window->sourceLabel()->text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Files, LoadCommandFailure,
                         testing::Values(LoadFailure{"Unopenable", "missing.kdat", "Fail to open DB!"},
                                         LoadFailure{"Invalid", "garbage.kdat", "Invalid DB File!"},
                                         LoadFailure{"Empty", "empty.kdat", "Invalid DB File!"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(LoadCommand, CancelledChooserChangesNothing) {
    WindowHarness h(2);
    h.window->button(kCmdLoadDb)->click();
    EXPECT_EQ(h.prompts.fileRequests.size(), 1u);
    EXPECT_TRUE(h.prompts.messages.empty());
    EXPECT_EQ(h.rows(), 2);
}

TEST(SaveCommand, NewFileHoldsTheImageAndNoMessageIsShown) {
    TempDir dir;
    const std::string path = dir.file("new.kdat");
    WindowHarness h(5);
    h.prompts.fileAnswers.push_back(q(path));
    h.window->button(kCmdSaveDb)->click();
    EXPECT_TRUE(h.prompts.messages.empty());
    EXPECT_EQ(readFileBytes(path).size(), kDbFileSize);
    auto loaded = std::make_unique<ChannelDbImage>();
    ASSERT_EQ(loadDbFromPath(*loaded, path), LoadResult::Loaded);
    EXPECT_EQ(test::serviceIds(*loaded), test::serviceIds(*h.image));
    EXPECT_EQ(h.window->sourceLabel()->text(), q(path));
    EXPECT_TRUE(h.window->isVisible());
}

TEST(SaveCommand, ExistingLongerFileKeepsItsLengthAndTail) {
    TempDir dir;
    const std::string path = dir.file("long.kdat");
    writeFileBytes(path, std::vector<uint8_t>(kDbFileSize + 777, 0x3C));
    WindowHarness h(2);
    h.prompts.fileAnswers.push_back(q(path));
    h.window->button(kCmdSaveDb)->click();
    EXPECT_TRUE(h.prompts.messages.empty());
    const auto bytes = readFileBytes(path);
    ASSERT_EQ(bytes.size(), kDbFileSize + 777);
    EXPECT_TRUE(std::all_of(bytes.begin() + kDbFileSize, bytes.end(), [](uint8_t b) { return b == 0x3C; }));
    auto loaded = std::make_unique<ChannelDbImage>();
    ASSERT_EQ(loadDbFromPath(*loaded, path), LoadResult::Loaded);
    EXPECT_EQ(test::serviceIds(*loaded), std::vector<int>({101, 102}));
}

TEST(SaveCommand, FailedWriteIsReportedAndTheFileKept) {
    TempDir dir;
    const std::string path = dir.file("keep.kdat");
    const std::vector<uint8_t> original(1000, 0x11);
    writeFileBytes(path, original);
    WindowHarness h(2);
    h.prompts.fileAnswers.push_back(q(path));

    // A file size limit below the file's size makes the write fail.
    {
        tovu::test::FileSizeLimit limit(0x20000);
        ASSERT_TRUE(limit.active());
        h.window->button(kCmdSaveDb)->click();
    }

    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, "Fail to write DB!");
    EXPECT_EQ(h.prompts.messages[0].caption, "Message");
    EXPECT_EQ(h.prompts.messages[0].owner, h.window.get());
    EXPECT_EQ(readFileBytes(path), original);
    EXPECT_TRUE(h.window->sourceLabel()->text().isEmpty());
}

TEST(SaveCommand, UncreatableFileIsReportedAsNotOpened) {
    TempDir dir;
    WindowHarness h(1);
    h.prompts.fileAnswers.push_back(q(dir.file("no-such-folder/x.kdat")));
    h.window->button(kCmdSaveDb)->click();
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, "Fail to open DB!");
    EXPECT_EQ(h.prompts.messages[0].caption, "Message");
    EXPECT_EQ(h.prompts.messages[0].owner, h.window.get());
}

struct ChooseCase {
    const char* name;
    int command;
    const char* defaultName;
    const char* filterText;
};

class ChoosePath : public testing::TestWithParam<ChooseCase> {};

TEST_P(ChoosePath, StoresTheChosenPathAndACancelKeepsIt) {
    const ChooseCase& c = GetParam();
    WindowHarness h;
    h.prompts.fileAnswers.push_back(QStringLiteral("/tmp/first"));
    h.window->button(c.command)->click();
    h.window->button(c.command)->click();  // cancelled
    ASSERT_EQ(h.prompts.fileRequests.size(), 2u);
    EXPECT_EQ(h.prompts.fileRequests[0].defaultName, c.defaultName);
    EXPECT_TRUE(h.prompts.fileRequests[0].filters.startsWith(c.filterText));
    QLineEdit* edits[] = {h.window->saveFilePathEdit(), h.window->uploadFilePathEdit(),
                          h.window->providerFilePathEdit()};
    for (QLineEdit* edit : edits) {
        const bool mine = (edit == h.window->saveFilePathEdit() && c.command == kCmdChooseSavePath) ||
                          (edit == h.window->uploadFilePathEdit() && c.command == kCmdChooseUploadPath) ||
                          (edit == h.window->providerFilePathEdit() && c.command == kCmdChooseProviderPath);
        EXPECT_EQ(edit->text(), mine ? "/tmp/first" : "") << edit->objectName().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Buttons, ChoosePath,
                         testing::Values(ChooseCase{"SavePath", kCmdChooseSavePath, "tovuChanDB.kdat",
                                                    "channel database(*.kdat)"},
                                         ChooseCase{"UploadPath", kCmdChooseUploadPath, "tovuChanDB.kdat",
                                                    "channel database(*.kdat)"},
                                         ChooseCase{"ProviderPath", kCmdChooseProviderPath, "cable.xml",
                                                    "provider frequency list(*.xml)"}),
                         [](const auto& row) { return std::string(row.param.name); });

void writeText(const std::string& path, const std::string& text) {
    writeFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

TEST(ImportCommand, SmallFolderReplacesTheServices) {
    TempDir dir;
    writeText(dir.file("lamedb"),
              "eDVB services /4/\ntransponders\n"
              "00c00000:0437:0001\n\tc 346000:6875000:2:3:0:0:0\n/\n"
              "end\nservices\n"
              "6d66:00c00000:0437:0001:1:0\nFirst TV\np:Provider\n"
              "0101:00c00000:0437:0001:2:0\nSome Radio\np:Provider\n"
              "end\n");
    WindowHarness h(5);
    h.prompts.folderAnswers.push_back(q(dir.path().string()));
    h.window->button(kCmdImportDreamBox)->click();
    EXPECT_EQ(h.prompts.folderRequests, 1);
    EXPECT_TRUE(h.prompts.messages.empty());
    ASSERT_EQ(h.rows(), 2);
    const int tv = h.cell(0, 1) == "First TV" ? 0 : 1;
    EXPECT_EQ(h.cell(tv, 1), "First TV");
    EXPECT_EQ(h.cell(tv, 12), "TV");
    EXPECT_EQ(h.cell(1 - tv, 1), "Some Radio");
    EXPECT_EQ(h.cell(1 - tv, 12), "Radio");
    EXPECT_EQ(h.window->sourceLabel()->text(), q(dir.path().string()));
    EXPECT_EQ(h.window->selectedRows(), QList<int>({0}));
}

TEST(ImportCommand, CancelledBrowserChangesNothing) {
    WindowHarness h(3);
    h.window->button(kCmdImportDreamBox)->click();
    EXPECT_EQ(h.prompts.folderRequests, 1);
    EXPECT_EQ(channelCount(*h.image), 3);
    EXPECT_TRUE(h.window->sourceLabel()->text().isEmpty());
}

TEST(EnigmaFolderBrowser, AcceptsOnlyAFolderHoldingSettings) {
    test::uiApplication();
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "plain");
    std::filesystem::create_directory(dir.path() / "old");
    std::filesystem::create_directory(dir.path() / "new");
    writeText(dir.file("old/services"), "");
    writeText(dir.file("new/lamedb"), "");
    EnigmaFolderDialog dialog(nullptr, q(dir.path().string()));
    EXPECT_EQ(dialog.windowTitle(), "Select folder ...");
    EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    dialog.show();
    QPushButton* ok = dialog.acceptButton();
    ASSERT_NE(ok, nullptr);
    EXPECT_FALSE(ok->isEnabled());  // nothing highlighted at first

    const struct {
        const char* folder;
        bool enabled;
    } steps[] = {{"plain", false}, {"old", true}, {"plain", false}, {"new", true}, {"missing", false}};
    for (const auto& step : steps) {
        emit dialog.currentChanged(q(dir.file(step.folder)));
        EXPECT_EQ(ok->isEnabled(), step.enabled) << step.folder;
        // The file dialog's own rules enable the button often; the folder rule still holds.
        ok->setEnabled(true);
        EXPECT_EQ(ok->isEnabled(), step.enabled) << step.folder;
    }

    emit dialog.currentChanged(q(dir.file("plain")));
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    emit dialog.currentChanged(q(dir.file("old")));
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.highlightedFolder(), q(dir.file("old")));
}

}  // namespace
}  // namespace tovu::ui
