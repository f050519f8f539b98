// The transfer buttons and the Receiver menu against the receiver simulator: the address and the
// paths are typed into the window, and every outcome is one message box owned by it.
#include "UiTestSupport.h"

#include "db/DbFileFormat.h"
#include "support/TestSupport.h"

#include <QDir>

namespace tovu::ui {
namespace {

using tovu::test::readFileBytes;
using tovu::test::writeFileBytes;

std::string cableXml(int transponders) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<cables>\n  <cable name=\"Town\">\n";
    for (int t = 0; t < transponders; ++t)
        xml += "    <transponder frequency=\"" + std::to_string(474000000 + 8000000 * t) +
               "\" symbol_rate=\"6875000\" modulation=\"3\" annex=\"0\"/>\n";
    return xml + "  </cable>\n</cables>\n";
}

struct TransferCase {
    const char* name;
    const char* input;  // "@" stands for the test's folder
    int simulator;      // k: a simulator listens on 127.0.20.k; 0: none
    const char* message;
    MessageIcon icon;
    const char* simLine = nullptr;    // how one of the simulator's next lines starts
    const char* fileAfter = nullptr;  // a file that then holds bytesAfter bytes of 0x77
    int bytesAfter = 0;
};

void PrintTo(const TransferCase& c, std::ostream* out) { *out << c.name; }

class TransferButton : public testing::TestWithParam<TransferCase> {};

TEST_P(TransferButton, TakesTheAddressAndItsPathFromTheWindowAndShowsItsOneOutcome) {
    const TransferCase& c = GetParam();
    // Files to transfer: demo.kdat (valid), garbage.kdat (invalid), keep.kdat (100 bytes of 0x77),
    // cable3.xml (three transponders), cable0.xml (none).
    tovu::test::TempDir dir;
    const std::string demo = dir.file("demo.kdat");
    ASSERT_EQ(tovu::test::runCommand(test::binaryPath("kdattool") + " demo '" + demo + "'").status, 0);
    writeFileBytes(dir.file("garbage.kdat"), std::vector<uint8_t>(kDbFileSize, 0x5A));
    writeFileBytes(dir.file("keep.kdat"), std::vector<uint8_t>(100, 0x77));
    for (const int n : {0, 3}) {
        const std::string xml = cableXml(n);
        writeFileBytes(dir.file("cable" + std::to_string(n) + ".xml"), {xml.begin(), xml.end()});
    }
    std::unique_ptr<test::SimReceiver> sim;
    if (c.simulator > 0) {
        sim = std::make_unique<test::SimReceiver>(QStringLiteral("127.0.20.%1").arg(c.simulator),
                                                  QStringList{"--db", QString::fromStdString(demo)});
        ASSERT_TRUE(sim->listening());
    }

    test::WindowHarness h(test::imageWithServices(2));
    h.play(QString(c.input).replace('@', QString::fromStdString(dir.path().string() + "/")));
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, c.message);
    EXPECT_EQ(h.prompts.messages[0].caption,
              c.icon == MessageIcon::None ? QStringLiteral("Message") : QCoreApplication::applicationName());
    EXPECT_EQ(h.prompts.messages[0].icon, c.icon);
    EXPECT_EQ(h.prompts.messages[0].owner, h.window.get());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the busy cursor is gone again
    if (c.simLine != nullptr) {
        QByteArray line;
        while (!(line = sim->nextLine()).isEmpty() && !line.startsWith(c.simLine)) continue;
        EXPECT_TRUE(line.startsWith(c.simLine)) << c.simLine;
    }
    if (c.fileAfter == nullptr) return;
    EXPECT_EQ(readFileBytes(dir.file(c.fileAfter)), std::vector<uint8_t>(c.bytesAfter, 0x77));
}

const char* const kDownload =
    "focus:saveFilePath, type:@down.kdat, button:Download Channel DataBase From Stb";
const char* const kSent = "Upload chan DB completed";
const char* const kInvalid = "Invalid DB File!";
INSTANTIATE_TEST_SUITE_P(
    Outcomes, TransferButton,
    testing::Values(TransferCase{"DownloadDone",
                                 "focus:ipField0, type:127.0.20.1, focus:saveFilePath, type:@down.kdat, "
                                 "button:Download Channel DataBase From Stb",
                                 1, "Download chan information completed!", MessageIcon::Information,
                                 "read address=0x6A0000 length=262144"},
                    // A blank address is refused after the download's file was created.
                    TransferCase{"DownloadBlankAddress", kDownload, 0, "Please Fill Ip address of server!",
                                 MessageIcon::None, nullptr, "down.kdat"},
                    // Nothing listens on 127.0.20.2: the connection is refused and the file keeps its bytes.
                    TransferCase{"DownloadUnreachable",
                                 "focus:ipField0, type:127.0.20.2, focus:saveFilePath, type:@keep.kdat, "
                                 "button:Download Channel DataBase From Stb",
                                 0, "Cannot connect to STB, Please check!", MessageIcon::Warning, nullptr,
                                 "keep.kdat", 100},
                    TransferCase{"UploadSent",
                                 "focus:ipField0, type:127.0.20.3, focus:uploadFilePath, type:@demo.kdat, "
                                 "button:Upload Channel DataBase to STB",
                                 3, kSent, MessageIcon::Information, "write address=0x6A0000 length=262144"},
                    TransferCase{"UploadInvalidFile",
                                 "focus:ipField0, type:127.0.20.4, focus:uploadFilePath, "
                                 "type:@garbage.kdat, button:Upload Channel DataBase to STB",
                                 4, kInvalid, MessageIcon::None},
                    TransferCase{"ProviderSent",
                                 "focus:ipField0, type:127.0.20.5, focus:providerFilePath, type:@cable3.xml, "
                                 "button:Upload Provider Freq to STB",
                                 5, kSent, MessageIcon::Information, "write address=0x660000 length=65536"},
                    TransferCase{"ProviderWithoutTransponders",
                                 "focus:ipField0, type:127.0.20.6, focus:providerFilePath, "
                                 "type:@cable0.xml, button:Upload Provider Freq to STB",
                                 6, kInvalid, MessageIcon::None}),
    [](const auto& row) { return std::string(row.param.name); });

// Uploads are read back unless "Verify uploads" is unchecked, and "Restore Backup…" uploads a
// backup chosen in the backups folder, taking a backup of its own first.
TEST(ReceiverMenu, VerifyUploadsDecidesOnTheReadBackAndRestoreBackupUploadsTheChosenBackup) {
    // The backups go to a data folder of this test's own.
    const std::string home = TOVU_BINARY_DIR "/test-data-home/receiver-menu";
    std::filesystem::remove_all(home);
    ASSERT_EQ(setenv("XDG_DATA_HOME", home.c_str(), 1), 0);
    const QString backups = QString::fromStdString(home + "/TovuChanEditor/backups");
    tovu::test::TempDir dir;
    const std::string demo = dir.file("demo.kdat");
    ASSERT_EQ(tovu::test::runCommand(test::binaryPath("kdattool") + " demo '" + demo + "'").status, 0);
    // A receiver that changes one byte of everything written to it.
    test::SimReceiver sim(QStringLiteral("127.0.60.40"),
                          {"--db", QString::fromStdString(demo), QStringLiteral("--corrupt-writes")});
    ASSERT_TRUE(sim.listening());
    test::WindowHarness h(test::imageWithServices(0));
    h.play("focus:ipField0, type:127.0.60.40, focus:uploadFilePath, type:" + QString::fromStdString(demo) +
           ", button:Upload Channel DataBase to STB");
    const QString kept = backups + "/" + QDir(backups).entryList(QDir::Files).value(0);
    EXPECT_EQ(h.prompts.texts(),
              "The receiver holds different data than was sent. Your previous channel list is saved in " +
                  kept + ".");
    EXPECT_EQ(h.prompts.messages.at(0).icon, MessageIcon::Warning);

    h.play("bar:Receiver>Verify uploads, button:Upload Channel DataBase to STB");
    EXPECT_EQ(h.prompts.messages.at(1).text, "Upload chan DB completed");
    h.prompts.answers = {kept};
    h.play("bar:Receiver>Restore Backup…");
    ASSERT_EQ(h.prompts.fileRequests.size(), 1u);
    EXPECT_EQ(h.prompts.fileRequests[0].startFolder, backups);
    EXPECT_EQ(h.prompts.messages.at(2).text, "Upload chan DB completed");
    EXPECT_EQ(QDir(backups).entryList(QDir::Files).size(), 3);
}

}  // namespace
}  // namespace tovu::ui
