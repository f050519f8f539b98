// The real prompts: message boxes, the confirmation, Qt's file chooser and the folder browser.
#include "UiTestSupport.h"

#include "support/TestSupport.h"
#include "ui/DialogPrompts.h"
#include "ui/EditorTexts.h"
#include "ui/EnigmaFolderDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace tovu::ui {
namespace {

using tovu::test::TempDir;

// Runs in a folder of its own as the process's current folder.
struct InTempFolder {
    InTempFolder() : previous(QDir::currentPath()) {
        test::uiApplication();
        QDir::setCurrent(QString::fromStdString(dir.path().string()));
    }
    ~InTempFolder() { QDir::setCurrent(previous); }
    QString here() const { return QString::fromStdString(dir.path().string()); }
    TempDir dir;
    QString previous;
};

TEST(DialogPrompts, MessageBoxAndConfirmationShowTextCaptionIconButtonsAndOwner) {
    test::uiApplication();
    QWidget owner;
    DialogPrompts prompts;
    int seen = 0;
    test::whenModal<QMessageBox>(
        [&owner](QMessageBox& box) {
            EXPECT_EQ(box.text(), "Fail to open DB!");
            EXPECT_EQ(box.windowTitle(), "Message");
            EXPECT_EQ(box.icon(), QMessageBox::Warning);
            EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
            EXPECT_EQ(box.parentWidget(), &owner);
            box.button(QMessageBox::Ok)->click();
        },
        &seen);
    prompts.showMessage(&owner, "Fail to open DB!", "Message", MessageIcon::Warning);
    EXPECT_EQ(seen, 1);

    for (const auto answer : {QMessageBox::Ok, QMessageBox::Cancel}) {
        test::whenModal<QMessageBox>([answer](QMessageBox& box) {
            EXPECT_EQ(box.standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
            EXPECT_EQ(box.parentWidget(), nullptr);
            box.button(answer)->click();
        });
        EXPECT_EQ(prompts.confirm(nullptr, "Sure?", "Message", MessageIcon::Question),
                  answer == QMessageBox::Ok);
    }
}

TEST(DialogPrompts, FileChooserStartsHereWithTheDefaultNameAndFiltersOrIsCancelled) {
    InTempFolder folder;
    DialogPrompts prompts;
    test::whenModal<QFileDialog>([](QFileDialog& d) { d.reject(); });
    EXPECT_FALSE(prompts.chooseFile(nullptr, providerFilePreset()).has_value());
    int seen = 0;
    test::whenModal<QFileDialog>(
        [&folder](QFileDialog& d) {
            EXPECT_TRUE(d.testOption(QFileDialog::DontUseNativeDialog));
            EXPECT_EQ(QDir(d.directory()).canonicalPath(), QDir(folder.here()).canonicalPath());
            auto* name = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            EXPECT_EQ(name->text(), "tovuChanDB.kdat");
            auto* types = d.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            ASSERT_NE(types, nullptr);
            ASSERT_EQ(types->count(), 2);
            EXPECT_EQ(types->itemText(0), "channel database(*.kdat)");
            EXPECT_EQ(types->itemText(1), "All Files (*.*)");
            name->setText(QStringLiteral("fresh.kdat"));  // a file that does not exist yet
            d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
        },
        &seen);
    const auto chosen = prompts.chooseFile(nullptr, databaseFilePreset());
    EXPECT_EQ(seen, 1);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QFileInfo(*chosen).fileName(), "fresh.kdat");
    EXPECT_EQ(QFileInfo(QFileInfo(*chosen).path()).canonicalFilePath(), QDir(folder.here()).canonicalPath());
}

TEST(DialogPrompts, FolderBrowserAcceptsOnlyAFolderHoldingSettingsOrIsCancelled) {
    InTempFolder folder;
    DialogPrompts prompts;
    test::whenModal<EnigmaFolderDialog>([](EnigmaFolderDialog& d) { d.reject(); });
    EXPECT_FALSE(prompts.chooseEnigmaFolder(nullptr).has_value());
    for (const char* sub : {"plain", "old", "new"}) QDir(folder.here()).mkdir(sub);
    tovu::test::writeFileBytes(folder.dir.file("old/services"), {});
    tovu::test::writeFileBytes(folder.dir.file("new/lamedb"), {});
    const auto at = [&folder](const char* sub) { return QDir(folder.here()).filePath(sub); };
    QWidget owner;
    test::whenModal<EnigmaFolderDialog>([&](EnigmaFolderDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Select folder ...");
        EXPECT_EQ(d.parentWidget(), &owner);
        QPushButton* ok = d.acceptButton();
        EXPECT_FALSE(ok->isEnabled());  // nothing highlighted at first
        const std::pair<const char*, bool> steps[] = {{"plain", false}, {"old", true},      {"plain", false},
                                                      {"new", true},    {"missing", false}, {"plain", false}};
        for (const auto& [sub, enabled] : steps) {
            emit d.currentChanged(at(sub));
            EXPECT_EQ(ok->isEnabled(), enabled) << sub;
            // The file dialog's own rules enable the button often; the folder rule still holds.
            ok->setEnabled(true);
            EXPECT_EQ(ok->isEnabled(), enabled) << sub;
        }
        d.accept();  // refused on "plain"
        EXPECT_TRUE(d.isVisible());
        emit d.currentChanged(at("old"));
        ok->click();
    });
    EXPECT_EQ(prompts.chooseEnigmaFolder(&owner), std::optional<QString>(at("old")));
}

}  // namespace
}  // namespace tovu::ui
