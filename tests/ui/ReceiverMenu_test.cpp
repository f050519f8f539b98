// The "&Receiver" menu, used with the mouse and the keyboard: uploads are read back unless
// "Verify uploads" is unchecked, and "Restore Backup…" uploads a backup chosen in the backups folder.
#include "WindowHarness.h"

#include "support/TestSupport.h"
#include "ui/EditorTexts.h"
#include "ui/IpAddressEdit.h"

#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <filesystem>

namespace tovu::ui {
namespace {

TEST(ReceiverMenu, VerifyUploadsDecidesOnTheReadBackAndRestoreBackupUploadsTheChosenBackup) {
    if (!test::simulatorBuilt()) GTEST_SKIP() << "build/bin/stb-sim is not built";
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
    test::WindowHarness h;
    h.window->addressEdit()->setAddress((127u << 24) | (60u << 8) | 40u);
    h.window->uploadFilePathEdit()->setText(QString::fromStdString(demo));
    QMenuBar* bar = h.window->menuBar();
    QMenu* menu = bar->actions()[1]->menu();
    ASSERT_EQ(bar->actions()[1]->text(), "&Receiver");
    const auto upload = [&h] { QTest::mouseClick(h.window->button(kCmdUpload), Qt::LeftButton); };

    upload();
    const QString kept = QDir(backups).entryList(QDir::Files).value(0);
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text,
              "The receiver holds different data than was sent. Your previous channel list is saved in " +
                  backups + "/" + kept + ".");
    EXPECT_EQ(h.prompts.messages[0].caption, QCoreApplication::applicationName());
    EXPECT_EQ(h.prompts.messages[0].icon, MessageIcon::Warning);

    // Unchecked with the mouse, the next upload is not read back.
    const auto openMenu = [bar, menu] {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[1]).center());
        return menu->isVisible();
    };
    ASSERT_TRUE(openMenu());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions()[0]).center());
    EXPECT_FALSE(menu->actions()[0]->isChecked());
    upload();
    ASSERT_EQ(h.prompts.messages.size(), 2u);
    EXPECT_EQ(h.prompts.messages[1].text, "Upload chan DB completed");

    // Restored from the keyboard: the chooser opens in the backups folder, and the restore takes a
    // backup of its own.
    h.prompts.fileAnswers.push_back(backups + "/" + kept);
    ASSERT_TRUE(openMenu());
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Down);
    ASSERT_EQ(menu->activeAction(), menu->actions()[1]);
    QTest::keyClick(menu, Qt::Key_Return);
    ASSERT_EQ(h.prompts.fileRequests.size(), 1u);
    EXPECT_EQ(h.prompts.fileRequests[0].startFolder, backups);
    ASSERT_EQ(h.prompts.messages.size(), 3u);
    EXPECT_EQ(h.prompts.messages[2].text, "Upload chan DB completed");
    EXPECT_EQ(QDir(backups).entryList(QDir::Files).size(), 3);
}

}  // namespace
}  // namespace tovu::ui
