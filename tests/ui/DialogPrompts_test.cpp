// The real prompts: message boxes, the two questions, Qt's file chooser and the folder browser,
// answered by clicks and keys.
#include "UiTestSupport.h"

#include "support/TestSupport.h"
#include "ui/DialogPrompts.h"
#include "ui/EditorTexts.h"
#include "ui/EnigmaFolderDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>

namespace tovu::ui {
namespace {

using tovu::test::TempDir;

// Runs in a folder of its own as the process's current folder.
struct InTempFolder {
    InTempFolder() : previous(QDir::currentPath()) {
        test::uiApplication();
        openEditorSettings()->clear();  // no folder remembered
        QDir::setCurrent(QString::fromStdString(dir.path().string()));
    }
    ~InTempFolder() { QDir::setCurrent(previous); }
    QString here() const { return QString::fromStdString(dir.path().string()); }
    TempDir dir;
    QString previous;
};

// A message box shows the text, caption, icon and owner it is given; the questions' buttons
// give their answers, Save being the default one.
TEST(DialogPrompts, MessageBoxesShowWhatTheyAreGivenAndTheirButtonsAnswer) {
    test::uiApplication();
    QWidget owner;
    DialogPrompts prompts;
    test::whenModal<QMessageBox>([&owner](QMessageBox& box) {
        EXPECT_EQ(box.text() + "|" + box.windowTitle(), "Fail to open DB!|Message");
        EXPECT_EQ(box.icon(), QMessageBox::Warning);
        EXPECT_EQ(box.parentWidget(), &owner);
        test::click(box.button(QMessageBox::Ok));
    });
    prompts.showMessage(&owner, "Fail to open DB!", "Message", MessageIcon::Warning);
    for (const auto answer : {QMessageBox::Ok, QMessageBox::Cancel}) {
        test::whenModal<QMessageBox>([answer](QMessageBox& box) { test::click(box.button(answer)); });
        EXPECT_EQ(prompts.confirm(nullptr, "Sure?", "Message", MessageIcon::Question),
                  answer == QMessageBox::Ok);
    }
    const std::pair<QMessageBox::StandardButton, SaveChoice> answers[] = {
        {QMessageBox::Save, SaveChoice::Save},
        {QMessageBox::Discard, SaveChoice::Discard},
        {QMessageBox::Cancel, SaveChoice::Cancel}};
    for (const auto& [button, choice] : answers) {
        test::whenModal<QMessageBox>([button](QMessageBox& box) {
            EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Save));
            test::click(box.button(button));
        });
        EXPECT_EQ(prompts.askSaveDiscardCancel(&owner, "Unsaved", "Message", MessageIcon::Warning), choice);
    }
}

// Qt's own chooser starts in the present folder with the default name, takes a name that does
// not exist yet, and the next database chooser starts in the folder chosen.
TEST(DialogPrompts, FileChooserStartsHereThenInTheFolderChosenLast) {
    InTempFolder folder;
    DialogPrompts prompts;
    const QString here = QDir(folder.here()).canonicalPath();
    test::whenModal<QFileDialog>([&here](QFileDialog& d) {
        EXPECT_EQ(QDir(d.directory()).canonicalPath(), here);
        auto* name = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), "tovuChanDB.kdat");
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(name, "fresh.kdat");
        test::click(d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open));
    });
    const auto chosen = prompts.chooseFile(nullptr, databaseFilePreset());
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QFileInfo(*chosen).fileName(), "fresh.kdat");
    EXPECT_EQ(QFileInfo(QFileInfo(*chosen).path()).canonicalFilePath(), here);

    QDir::setCurrent(QDir::tempPath());
    test::whenModal<QFileDialog>([&here](QFileDialog& d) {
        EXPECT_EQ(QDir(d.directory()).canonicalPath(), here);
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_FALSE(prompts.chooseFile(nullptr, databaseFilePreset()).has_value());
}

// The row of a folder in the browser's view, once the view has listed it.
QModelIndex folderRow(const EnigmaFolderDialog& d, const QString& name) {
    const QListView* view = d.folderView();
    QModelIndex found;
    (void)QTest::qWaitFor(
        [&] {
            for (int r = 0; r < view->model()->rowCount(view->rootIndex()) && !found.isValid(); ++r)
                if (view->model()->index(r, 0, view->rootIndex()).data().toString() == name)
                    found = view->model()->index(r, 0, view->rootIndex());
            return found.isValid();
        },
        5000);
    EXPECT_TRUE(found.isValid()) << name.toStdString();
    return found;
}

struct ImportCase {
    const char* name;
    const char* open;       // folder opened first, or nullptr
    bool typed;             // the folder's name typed, else the folder double-clicked
    const char* highlight;  // folder then clicked once, or nullptr
    const char* imported;   // nullptr: Choose stays disabled and the user gives up with Escape
};

void PrintTo(const ImportCase& c, std::ostream* out) { *out << c.name; }

class ImportThroughBrowser : public testing::TestWithParam<ImportCase> {};

// The whole "Load &DreamBox Channel" command with the real browser: the folder is picked by a
// click and Choose, or by opening it and Choose; a folder without settings cannot be chosen.
TEST_P(ImportThroughBrowser, ImportsThePickedFolderOrChangesNothing) {
    const ImportCase& c = GetParam();
    InTempFolder folder;
    for (const char* sub : {"plain", "tv", "tv/sub", "five"}) ASSERT_TRUE(QDir(folder.here()).mkdir(sub));
    const std::string lamedb =
        "eDVB services /4/\ntransponders\n00c00000:0437:0001\n\tc 346000:6875000:2:3:0:0:0\n"
        "/\nend\nservices\n6d66:00c00000:0437:0001:1:0\nFirst TV\np:P\nend\n";
    tovu::test::writeFileBytes(folder.dir.file("tv/lamedb"),
                               std::vector<uint8_t>(lamedb.begin(), lamedb.end()));
    const std::string lamedb5 =
        "eDVB services /5/\nt:00c00000:0437:0001,c:346000:6875000:2:3:0:0:0\n"
        "s:6d66:00c00000:0437:0001:1:0:0,\"First TV\",p:P\n";
    tovu::test::writeFileBytes(folder.dir.file("five/lamedb5"),
                               std::vector<uint8_t>(lamedb5.begin(), lamedb5.end()));
    auto image = test::imageWithServices(3);
    auto snapshot = std::make_unique<ChannelDbImage>();
    DialogPrompts prompts;
    MainEditorDialog window(*image, *snapshot, prompts);
    window.show();
    window.fillChannelList(0);
    int seen = 0;
    test::whenModal<EnigmaFolderDialog>(
        [&](EnigmaFolderDialog& d) {
            EXPECT_EQ(d.parentWidget(), &window);
            EXPECT_FALSE(d.acceptButton()->isEnabled());
            QWidget* viewport = d.folderView()->viewport();
            const auto at = [&d](const QModelIndex& row) { return d.folderView()->visualRect(row).center(); };
            if (c.open != nullptr && c.typed) {
                auto* name = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QTest::keyClicks(name, QString::fromLatin1(c.open), {}, 20);  // as fast as a typist
                QTest::keyClick(name, Qt::Key_Return);
                EXPECT_TRUE(d.directory().absolutePath().endsWith(c.open));
            } else if (c.open != nullptr) {
                const QModelIndex row = folderRow(d, c.open);
                QTest::mouseClick(viewport, Qt::LeftButton, {}, at(row));
                QTest::mouseDClick(viewport, Qt::LeftButton, {}, at(row));
                QTest::mouseRelease(viewport, Qt::LeftButton, {}, at(row));
                EXPECT_TRUE(d.directory().absolutePath().endsWith(c.open));
            }
            if (c.highlight != nullptr)
                QTest::mouseClick(viewport, Qt::LeftButton, {}, at(folderRow(d, c.highlight)));
            EXPECT_EQ(d.acceptButton()->isEnabled(), c.imported != nullptr);
            test::click(d.acceptButton());
            if (d.isVisible()) QTest::keyClick(&d, Qt::Key_Escape);
        },
        &seen);
    test::click(window.button(kCmdImportDreamBox));
    EXPECT_EQ(seen, 1);
    const QAbstractItemModel* rows = window.channelList()->model();
    EXPECT_EQ(rows->rowCount(), c.imported == nullptr ? 3 : 1);
    EXPECT_EQ(rows->index(0, 1).data().toString(), c.imported == nullptr ? "Service 1" : "First TV");
    EXPECT_EQ(
        QFileInfo(window.sourceLabel()->text()).canonicalFilePath(),
        c.imported == nullptr ? QString() : QFileInfo(folder.here() + "/" + c.imported).canonicalFilePath());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ImportThroughBrowser,
    testing::Values(ImportCase{"HighlightThenChoose", nullptr, false, "tv", "tv"},
                    ImportCase{"OpenThenChoose", "tv", false, nullptr, "tv"},
                    ImportCase{"TypedFolderOpensOnEnter", "tv/sub", true, nullptr, nullptr},
                    ImportCase{"HighlightLamedb5ThenChoose", nullptr, false, "five", "five"},
                    ImportCase{"FolderWithoutSettings", nullptr, false, "plain", nullptr},
                    ImportCase{"HighlightedSubfolderWithoutSettings", "tv", false, "sub", nullptr}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu::ui
