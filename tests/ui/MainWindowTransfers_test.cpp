// The three transfer buttons against the receiver simulator: the address and paths are taken
// from the window, and every outcome is one message box owned by it.
#include "WindowHarness.h"

#include "db/DbFileFormat.h"
#include "db/DbStore.h"
#include "support/TestSupport.h"
#include "ui/EditorTexts.h"
#include "ui/IpAddressEdit.h"

#include <QLineEdit>
#include <QPushButton>

#include <filesystem>

namespace tovu::ui {
namespace {

using test::SimReceiver;
using test::WindowHarness;
using tovu::test::readFileBytes;
using tovu::test::TempDir;
using tovu::test::writeFileBytes;

// The simulator's loopback addresses of these tests: 127.0.20.1 and up.
constexpr uint32_t simAddress(int k) { return (127u << 24) | (20u << 8) | static_cast<uint32_t>(k); }
QString dotted(uint32_t a) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(a >> 24)
        .arg((a >> 16) & 0xFF)
        .arg((a >> 8) & 0xFF)
        .arg(a & 0xFF);
}

#define SKIP_WITHOUT_SIMULATOR() \
    if (!test::simulatorBuilt()) GTEST_SKIP() << "build/bin/stb-sim is not built"

struct TransferHarness : WindowHarness {
    TransferHarness() : WindowHarness(2) {
        demo = dir.file("demo.kdat");
        const auto made = tovu::test::runCommand(test::binaryPath("kdattool") + " demo '" + demo + "'");
        EXPECT_EQ(made.status, 0) << made.out;
    }
    void setAddress(uint32_t address) { window->addressEdit()->setAddress(address); }
    void expectOneMessage(const char* text, bool applicationCaption) {
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, text);
        EXPECT_EQ(prompts.messages[0].caption,
                  applicationCaption ? QCoreApplication::applicationName() : QStringLiteral("Message"));
        EXPECT_EQ(prompts.messages[0].owner, window.get());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the busy cursor is gone again
        EXPECT_EQ(rows(), 2);                                // the list is not rebuilt
        EXPECT_EQ(channelCount(*image), 2);
    }

    TempDir dir;
    std::string demo;
};

TEST(DownloadButton, WritesTheReceiversDatabaseIntoTheFile) {
    SKIP_WITHOUT_SIMULATOR();
    TransferHarness h;
    SimReceiver sim(dotted(simAddress(1)), {"--db", QString::fromStdString(h.demo)});
    ASSERT_TRUE(sim.listening());
    const std::string target = h.dir.file("down.kdat");
    h.setAddress(simAddress(1));
    h.window->saveFilePathEdit()->setText(QString::fromStdString(target));
    h.window->button(kCmdDownload)->click();
    h.expectOneMessage("Download chan information completed!", true);
    const auto down = readFileBytes(target);
    const auto demo = readFileBytes(h.demo);
    ASSERT_EQ(down.size(), kDbFileSize);
    EXPECT_TRUE(std::equal(down.begin() + kDbAreaOffset, down.end(), demo.begin() + kDbAreaOffset));
    auto loaded = std::make_unique<ChannelDbImage>();
    EXPECT_EQ(loadDbFromPath(*loaded, target), LoadResult::Loaded);
}

TEST(DownloadButton, PartlyFilledAddressCountsEmptyFieldsAsZero) {
    SKIP_WITHOUT_SIMULATOR();
    TransferHarness h;
    SimReceiver sim(QStringLiteral("127.0.21.3"), {"--db", QString::fromStdString(h.demo)});
    ASSERT_TRUE(sim.listening());
    h.window->addressEdit()->field(0)->setText("127");
    h.window->addressEdit()->field(2)->setText("21");
    h.window->addressEdit()->field(3)->setText("3");
    h.window->saveFilePathEdit()->setText(QString::fromStdString(h.dir.file("partial.kdat")));
    h.window->button(kCmdDownload)->click();
    h.expectOneMessage("Download chan information completed!", true);
}

TEST(DownloadButton, BlankAddressIsRefusedAfterTheFileWasCreated) {
    TransferHarness h;
    const std::string target = h.dir.file("blank.kdat");
    h.window->saveFilePathEdit()->setText(QString::fromStdString(target));
    h.window->button(kCmdDownload)->click();
    h.expectOneMessage("Please Fill Ip address of server!", false);
    EXPECT_TRUE(std::filesystem::exists(target));
    EXPECT_EQ(std::filesystem::file_size(target), 0u);
}

TEST(DownloadButton, UnreachableReceiverIsReportedAndTheFileKept) {
    // Nothing listens on this address: the connection is refused.
    TransferHarness h;
    const std::string target = h.dir.file("keep.kdat");
    writeFileBytes(target, std::vector<uint8_t>(100, 0x77));
    h.setAddress(simAddress(2));
    h.window->saveFilePathEdit()->setText(QString::fromStdString(target));
    h.window->button(kCmdDownload)->click();
    h.expectOneMessage("Cannot connect to STB, Please check!", true);
    EXPECT_EQ(readFileBytes(target), std::vector<uint8_t>(100, 0x77));
}

TEST(UploadButton, SendsTheFileAndKeepsTheReceiversHeader) {
    SKIP_WITHOUT_SIMULATOR();
    TransferHarness h;
    const QString saved = QString::fromStdString(h.dir.file("saved.kdat"));
    SimReceiver sim(dotted(simAddress(3)), {"--db", QString::fromStdString(h.demo), "--save", saved});
    ASSERT_TRUE(sim.listening());
    h.setAddress(simAddress(3));
    h.window->uploadFilePathEdit()->setText(QString::fromStdString(h.demo));
    h.window->button(kCmdUpload)->click();
    h.expectOneMessage("Upload chan DB completed", true);
    EXPECT_TRUE(sim.nextLine().startsWith("read address=0x6D0000"));
    EXPECT_TRUE(sim.nextLine().startsWith("write address=0x6A0000 length=262144"));
}

struct UploadFailure {
    const char* name;
    const char* file;  // "missing", "invalid"
    bool receiver;
    const char* message;
    bool applicationCaption;
    int address;
};

class UploadButtonFailure : public testing::TestWithParam<UploadFailure> {};

TEST_P(UploadButtonFailure, IsReportedWithItsCaption) {
    const UploadFailure& c = GetParam();
    if (c.receiver) SKIP_WITHOUT_SIMULATOR();
    TransferHarness h;
    std::unique_ptr<SimReceiver> sim;
    const uint32_t address = simAddress(c.address);
    if (c.receiver) {
        sim = std::make_unique<SimReceiver>(dotted(address), QStringList{});
        ASSERT_TRUE(sim->listening());
        h.setAddress(address);
    }
    const std::string path = h.dir.file("upload.kdat");
    if (std::string(c.file) == "invalid") writeFileBytes(path, std::vector<uint8_t>(kDbFileSize, 0x5A));
    h.window->uploadFilePathEdit()->setText(QString::fromStdString(path));
    h.window->button(kCmdUpload)->click();
    h.expectOneMessage(c.message, c.applicationCaption);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, UploadButtonFailure,
    testing::Values(UploadFailure{"BlankAddress", "invalid", false, "Please Fill Ip address of server!",
                                  false, 0},
                    UploadFailure{"MissingFile", "missing", true, "Fail to open DB!", false, 11},
                    UploadFailure{"InvalidFile", "invalid", true, "Invalid DB File!", false, 12}),
    [](const auto& row) { return std::string(row.param.name); });

std::string cableXml(int transponders) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<cables>\n  <cable name=\"Town\">\n";
    for (int t = 0; t < transponders; ++t)
        xml += "    <transponder frequency=\"" + std::to_string(474000000 + 8000000 * t) +
               "\" symbol_rate=\"6875000\" modulation=\"3\" annex=\"0\"/>\n";
    return xml + "  </cable>\n</cables>\n";
}

struct ProviderCase {
    const char* name;
    int transponders;  // -1: no file
    const char* message;
    bool applicationCaption;
    int address;
};

class ProviderButton : public testing::TestWithParam<ProviderCase> {};

TEST_P(ProviderButton, SendsTheListOrReportsWhyNot) {
    SKIP_WITHOUT_SIMULATOR();
    const ProviderCase& c = GetParam();
    TransferHarness h;
    SimReceiver sim(dotted(simAddress(c.address)), {});
    ASSERT_TRUE(sim.listening());
    const std::string path = h.dir.file("cable.xml");
    if (c.transponders >= 0) {
        const std::string xml = cableXml(c.transponders);
        writeFileBytes(path, std::vector<uint8_t>(xml.begin(), xml.end()));
    }
    h.setAddress(simAddress(c.address));
    h.window->providerFilePathEdit()->setText(QString::fromStdString(path));
    h.window->button(kCmdUploadProvider)->click();
    h.expectOneMessage(c.message, c.applicationCaption);
    if (c.applicationCaption) {
        EXPECT_TRUE(sim.nextLine().startsWith("write address=0x660000 length=65536"));
    }
}

INSTANTIATE_TEST_SUITE_P(Outcomes, ProviderButton,
                         testing::Values(ProviderCase{"Sent", 3, "Upload chan DB completed", true, 20},
                                         ProviderCase{"NoTransponder", 0, "Invalid DB File!", false, 21},
                                         ProviderCase{"MissingFile", -1, "Fail to open DB!", false, 22}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(ProviderButtonBlank, BlankAddressIsRefused) {
    TransferHarness h;
    h.window->providerFilePathEdit()->setText(QString::fromStdString(h.dir.file("cable.xml")));
    h.window->button(kCmdUploadProvider)->click();
    h.expectOneMessage("Please Fill Ip address of server!", false);
}

}  // namespace
}  // namespace tovu::ui
