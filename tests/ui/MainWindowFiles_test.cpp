// The main window's file commands: load, save and the three "Select File" buttons.
#include "WindowHarness.h"

#include "db/DbFileFormat.h"
#include "db/DbStore.h"
#include "support/TestSupport.h"
#include "ui/EditorTexts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <optional>

namespace tovu::ui {
namespace {

using test::WindowHarness;
using tovu::test::readFileBytes;
using tovu::test::TempDir;
using tovu::test::writeFileBytes;

QString q(const std::string& s) { return QString::fromStdString(s); }

struct LoadCase {
    const char* name;
    const char* file;     // nullptr: the chooser is cancelled
    const char* message;  // nullptr: none
};

class LoadCommand : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadCommand, ReplacesTheImageOrReportsWithoutOwnerAndChangesNothing) {
    const LoadCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.file(c.file != nullptr ? c.file : "none");
    if (path.ends_with("demo.kdat")) {
        const auto made = tovu::test::runCommand(test::binaryPath("kdattool") + " demo '" + path + "'");
        ASSERT_EQ(made.status, 0) << made.out;
    }
    if (path.ends_with("garbage.kdat")) writeFileBytes(path, std::vector<uint8_t>(kDbFileSize, 0x5A));
    if (path.ends_with("empty.kdat")) writeFileBytes(path, {});
    WindowHarness h(3);
    if (c.file != nullptr) h.prompts.fileAnswers.push_back(q(path));
    h.select({1});
    const auto before = h.image->bytes;
    test::click(h.window->button(kCmdLoadDb));

    ASSERT_EQ(h.prompts.fileRequests.size(), 1u);
    EXPECT_EQ(h.prompts.fileRequests[0].defaultName, "tovuChanDB.kdat");
    EXPECT_EQ(h.prompts.fileRequests[0].filters, "channel database(*.kdat) (*.kdat);;All Files (*.*) (*)");
    ASSERT_EQ(h.prompts.messages.size(), c.message ? 1u : 0u);
    if (c.message != nullptr) {
        EXPECT_EQ(h.prompts.messages[0].text, c.message);
        EXPECT_EQ(h.prompts.messages[0].caption, "Message");
        EXPECT_EQ(h.prompts.messages[0].owner, nullptr);
    }
    if (c.file == nullptr || c.message != nullptr) {
        EXPECT_EQ(h.image->bytes, before);
        EXPECT_EQ(h.rows(), 3);
        EXPECT_EQ(h.window->selectedRecords(), QList<int>({1}));
        EXPECT_TRUE(h.window->sourceLabel()->text().isEmpty());
        return;
    }
    auto expected = std::make_unique<ChannelDbImage>();
    ASSERT_EQ(loadDbFromPath(*expected, path), LoadResult::Loaded);
    EXPECT_EQ(h.image->bytes, expected->bytes);
    EXPECT_EQ(h.rows(), channelCount(*expected));
    EXPECT_EQ(h.window->sourceLabel()->text(), q(path));
    EXPECT_EQ(h.window->selectedRecords(), QList<int>({0}));
    // The chosen path goes into none of the path fields.
    EXPECT_EQ(h.window->saveFilePathEdit()->text() + h.window->uploadFilePathEdit()->text(), "");
}

INSTANTIATE_TEST_SUITE_P(Files, LoadCommand,
                         testing::Values(LoadCase{"Valid", "demo.kdat", nullptr},
                                         LoadCase{"Unopenable", "missing.kdat", "Fail to open DB!"},
                                         LoadCase{"Invalid", "garbage.kdat", "Invalid DB File!"},
                                         LoadCase{"Empty", "empty.kdat", "Invalid DB File!"},
                                         LoadCase{"Cancelled", nullptr, nullptr}),
                         [](const auto& row) { return std::string(row.param.name); });

struct SaveCase {
    const char* name;
    const char* file;
    size_t existing;      // bytes of 0x3C the file holds before, 0: no file
    bool diskFills;       // the file cannot grow beyond 0x20000 bytes
    const char* message;  // nullptr: none
};

class SaveCommand : public testing::TestWithParam<SaveCase> {};

TEST_P(SaveCommand, WritesTheImageOverTheFilesStartOrReportsWhyNot) {
    const SaveCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.file(c.file);
    const std::vector<uint8_t> before(c.existing, 0x3C);
    if (c.existing > 0) writeFileBytes(path, before);
    WindowHarness h(5);
    h.prompts.fileAnswers.push_back(q(path));
    {
        std::optional<tovu::test::FileSizeLimit> limit;
        if (c.diskFills) limit.emplace(0x20000);
        ASSERT_TRUE(!limit || limit->active());
        test::click(h.window->button(kCmdSaveDb));
    }
    EXPECT_TRUE(h.window->isVisible());
    if (c.message != nullptr) {
        ASSERT_EQ(h.prompts.messages.size(), 1u);
        EXPECT_EQ(h.prompts.messages[0].text, c.message);
        EXPECT_EQ(h.prompts.messages[0].caption, "Message");
        EXPECT_EQ(h.prompts.messages[0].owner, h.window.get());
        EXPECT_TRUE(h.window->sourceLabel()->text().isEmpty());
        EXPECT_EQ(std::filesystem::exists(path) ? readFileBytes(path) : before, before);
        return;
    }
    EXPECT_TRUE(h.prompts.messages.empty());
    EXPECT_EQ(h.window->sourceLabel()->text(), q(path));
    auto loaded = std::make_unique<ChannelDbImage>();
    ASSERT_EQ(loadDbFromPath(*loaded, path), LoadResult::Loaded);
    EXPECT_EQ(test::serviceIds(*loaded), test::serviceIds(*h.image));
    const auto after = readFileBytes(path);
    ASSERT_EQ(after.size(), std::max(c.existing, kDbFileSize));
    EXPECT_EQ(std::vector<uint8_t>(after.begin() + kDbFileSize, after.end()),
              std::vector<uint8_t>(after.size() - kDbFileSize, 0x3C));
}

INSTANTIATE_TEST_SUITE_P(
    Files, SaveCommand,
    testing::Values(SaveCase{"NewFile", "new.kdat", 0, false, nullptr},
                    SaveCase{"LongerFileKeepsItsTail", "long.kdat", kDbFileSize + 777, false, nullptr},
                    SaveCase{"FailedWrite", "keep.kdat", 1000, true, "Fail to write DB!"},
                    SaveCase{"Uncreatable", "no-such-folder/x.kdat", 0, false, "Fail to open DB!"}),
    [](const auto& row) { return std::string(row.param.name); });

struct ChooseCase {
    const char* name;
    int command;
    const char* defaultName;
    const char* filters;
    const char* pathFields;  // save|upload|provider afterwards
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
    EXPECT_EQ(h.prompts.fileRequests[0].filters, c.filters);
    EXPECT_EQ(h.window->saveFilePathEdit()->text() + "|" + h.window->uploadFilePathEdit()->text() + "|" +
                  h.window->providerFilePathEdit()->text(),
              c.pathFields);
}

const char* const kDbFilters = "channel database(*.kdat) (*.kdat);;All Files (*.*) (*)";
INSTANTIATE_TEST_SUITE_P(
    Buttons, ChoosePath,
    testing::Values(
        ChooseCase{"SavePath", kCmdChooseSavePath, "tovuChanDB.kdat", kDbFilters, "/tmp/first||"},
        ChooseCase{"UploadPath", kCmdChooseUploadPath, "tovuChanDB.kdat", kDbFilters, "|/tmp/first|"},
        ChooseCase{"ProviderPath", kCmdChooseProviderPath, "cable.xml",
                   "provider frequency list(*.xml) (*.xml);;All Files (*.*) (*)", "||/tmp/first"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu::ui
