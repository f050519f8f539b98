// The three transfer buttons against the receiver simulator: the address and paths are taken
// from the window, and every outcome is one message box owned by it.
#include "WindowHarness.h"

#include "db/DbFileFormat.h"
#include "support/TestSupport.h"
#include "ui/EditorTexts.h"
#include "ui/IpAddressEdit.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>

namespace tovu::ui {
namespace {

using test::SimReceiver;
using tovu::test::readFileBytes;
using tovu::test::writeFileBytes;

// The simulator's loopback addresses of these tests: 127.0.20.1 and up.
constexpr uint32_t simAddress(int k) { return (127u << 24) | (20u << 8) | static_cast<uint32_t>(k); }
QString dotted(int k) { return QStringLiteral("127.0.20.%1").arg(k); }

void writeText(const std::string& path, const std::string& text) {
    writeFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}
std::string cableXml(int transponders) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<cables>\n  <cable name=\"Town\">\n";
    for (int t = 0; t < transponders; ++t)
        xml += "    <transponder frequency=\"" + std::to_string(474000000 + 8000000 * t) +
               "\" symbol_rate=\"6875000\" modulation=\"3\" annex=\"0\"/>\n";
    return xml + "  </cable>\n</cables>\n";
}

struct TransferCase {
    const char* name;
    int command;
    const char* file;  // put into the command's path field
    int address;       // 0: blank, k: 127.0.20.k
    bool simulator;    // a simulator listens on the address
    const char* message;
    bool applicationCaption;
    const char* simLine;  // nullptr, or how one of the simulator's next lines starts
    int bytesAfter = -1;  // >= 0: the file then exists and holds this many 0x77 bytes
};

class TransferButton : public testing::TestWithParam<TransferCase> {};

TEST_P(TransferButton, TakesTheAddressAndItsPathFromTheWindowAndShowsItsOneOutcome) {
    const TransferCase& c = GetParam();
    if (c.simulator && !test::simulatorBuilt()) GTEST_SKIP() << "build/bin/stb-sim is not built";
    // Files to transfer: demo.kdat (valid), garbage.kdat (invalid), keep.kdat (100 bytes of 0x77),
    // cable3.xml (three transponders), cable0.xml (none).
    tovu::test::TempDir dir;
    const std::string demo = dir.file("demo.kdat");
    const auto made = tovu::test::runCommand(test::binaryPath("kdattool") + " demo '" + demo + "'");
    ASSERT_EQ(made.status, 0) << made.out;
    writeFileBytes(dir.file("garbage.kdat"), std::vector<uint8_t>(kDbFileSize, 0x5A));
    writeFileBytes(dir.file("keep.kdat"), std::vector<uint8_t>(100, 0x77));
    writeText(dir.file("cable3.xml"), cableXml(3));
    writeText(dir.file("cable0.xml"), cableXml(0));
    std::unique_ptr<SimReceiver> sim;
    if (c.simulator) {
        sim = std::make_unique<SimReceiver>(dotted(c.address),
                                            QStringList{"--db", QString::fromStdString(demo)});
        ASSERT_TRUE(sim->listening());
    }

    test::WindowHarness h(2);
    if (c.address > 0) h.window->addressEdit()->setAddress(simAddress(c.address));
    QLineEdit* path = c.command == kCmdDownload ? h.window->saveFilePathEdit()
                      : c.command == kCmdUpload ? h.window->uploadFilePathEdit()
                                                : h.window->providerFilePathEdit();
    QTest::keyClicks(path, QString::fromStdString(dir.file(c.file)).toLatin1());
    QTest::mouseClick(h.window->button(c.command), Qt::LeftButton);

    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, c.message);
    EXPECT_EQ(h.prompts.messages[0].caption,
              c.applicationCaption ? QCoreApplication::applicationName() : QStringLiteral("Message"));
    EXPECT_EQ(h.prompts.messages[0].owner, h.window.get());
    // Success shows the information icon, a failure the exclamation icon or none.
    const bool done = QString(c.message).contains("completed");
    EXPECT_EQ(h.prompts.messages[0].icon, done                   ? MessageIcon::Information
                                          : c.applicationCaption ? MessageIcon::Warning
                                                                 : MessageIcon::None);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the busy cursor is gone again
    EXPECT_EQ(h.rows(), 2);                              // the list is not rebuilt
    if (c.simLine != nullptr) {
        QByteArray line;
        while (!(line = sim->nextLine()).isEmpty() && !line.startsWith(c.simLine)) continue;
        EXPECT_TRUE(line.startsWith(c.simLine)) << c.simLine;
    }
    if (c.bytesAfter >= 0) {
        ASSERT_TRUE(std::filesystem::exists(dir.file(c.file)));
        EXPECT_EQ(readFileBytes(dir.file(c.file)), std::vector<uint8_t>(c.bytesAfter, 0x77));
    }
}

const char* const kBlank = "Please Fill Ip address of server!";
const char* const kSent = "Upload chan DB completed";
const char* const kNoFile = "Fail to open DB!";
const char* const kInvalid = "Invalid DB File!";
INSTANTIATE_TEST_SUITE_P(
    Outcomes, TransferButton,
    testing::Values(
        TransferCase{"DownloadDone", kCmdDownload, "down.kdat", 1, true,
                     "Download chan information completed!", true, "read address=0x6A0000 length=262144"},
        // A blank address is refused after the download's file was created.
        TransferCase{"DownloadBlankAddress", kCmdDownload, "new.kdat", 0, false, kBlank, false, nullptr, 0},
        // Nothing listens on 127.0.20.2: the connection is refused.
        TransferCase{"DownloadUnreachable", kCmdDownload, "keep.kdat", 2, false,
                     "Cannot connect to STB, Please check!", true, nullptr, 100},
        TransferCase{"UploadSent", kCmdUpload, "demo.kdat", 3, true, kSent, true,
                     "write address=0x6A0000 length=262144"},
        TransferCase{"UploadBlankAddress", kCmdUpload, "garbage.kdat", 0, false, kBlank, false, nullptr},
        TransferCase{"UploadMissingFile", kCmdUpload, "missing.kdat", 11, true, kNoFile, false, nullptr},
        TransferCase{"UploadInvalidFile", kCmdUpload, "garbage.kdat", 12, true, kInvalid, false, nullptr},
        TransferCase{"ProviderSent", kCmdUploadProvider, "cable3.xml", 20, true, kSent, true,
                     "write address=0x660000 length=65536"},
        TransferCase{"ProviderNoTransponder", kCmdUploadProvider, "cable0.xml", 21, true, kInvalid, false,
                     nullptr},
        TransferCase{"ProviderMissingFile", kCmdUploadProvider, "missing.xml", 22, true, kNoFile, false,
                     nullptr},
        TransferCase{"ProviderBlankAddress", kCmdUploadProvider, "cable3.xml", 0, false, kBlank, false,
                     nullptr}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu::ui
