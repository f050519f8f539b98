// The editor's texts in each language: the source texts under the C locale, Chinese under zh_CN,
// and the Chinese messages in English under en.
#include "UiTestSupport.h"

#include "ui/ChannelEditDialog.h"
#include "ui/EditorLanguage.h"
#include "ui/EditorTexts.h"
#include "ui/ImportTexts.h"
#include "ui/OutcomeText.h"

#include <QMessageBox>
#include <QPushButton>

namespace tovu::ui {
namespace {

struct TextCase {
    QLocale locale;
    QString texts;  // the texts shown (see the test)
    QString qtOk;   // Qt's own OK button, when Qt's translations are installed
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << c.locale.name().toStdString(); }
const ImportPreview kPreview{1000, 13608, 1, 3, 2};

class TranslatedTexts : public testing::TestWithParam<TextCase> {};

TEST_P(TranslatedTexts, ShowInTheLocalesLanguage) {
    const auto& [locale, texts, qtOk] = GetParam();
    test::uiApplication();
    const InstalledTranslations installed = installTranslations(locale);
    EXPECT_EQ(installed.editor, locale.language() != QLocale::C);
    // A button, a column title and two cells of the window, Channel Edit refusing a frequency the
    // user typed, an upload's outcome, and the import's preview and summary lines.
    test::WindowHarness h(test::imageWithServices(2));
    ChannelEditDialog edit(*h.image, h.prompts);
    edit.show();
    test::play(&edit, "set:edit1015=x, button:saveChange");
    const QAbstractItemModel* list = h.window->channelList()->model();
    const QString outcome =
        outcomeText("Cannot connect to STB, Please check!\nYour previous channel list is saved in /b.");
    const QString shown =
        QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
            .arg(h.window->button(kCmdLoadDb)->text(), list->headerData(8, Qt::Horizontal).toString(),
                 list->index(0, 8).data().toString(), list->index(0, 5).data().toString(), h.prompts.texts(),
                 outcome, importPreviewLine(kPreview), importSummaryLine(kPreview));
    EXPECT_EQ(shown, texts);
    // Qt's own texts follow when Qt's translations are installed.
    const QString ok =
        QMessageBox(QMessageBox::NoIcon, {}, {}, QMessageBox::Ok).button(QMessageBox::Ok)->text();
    EXPECT_TRUE(ok == qtOk || (installed.editor && !installed.qt)) << ok.toStdString();
    (void)installTranslations(QLocale::c());
}

const QString kSource =
    "&Load Channel Info DB|Parent Lock|UnLocked|482000 KHz|%1|Cannot connect to STB, Please "
    "check!\nYour previous channel list is saved in /b.|" +
    QString::fromStdString(FormatImportPreview(kPreview) +
                           "; 2 ticked bouquets beyond the 21st not imported|" +
                           FormatImportSummary(kPreview));
INSTANTIATE_TEST_SUITE_P(
    Locales, TranslatedTexts,
    testing::Values(
        TextCase{QLocale::c(), kSource.arg("“请填入一个正整数。”"), "OK"},
        TextCase{QLocale(QLocale::Chinese, QLocale::China),
                 "载入频道数据库(&L)|家长锁|未加锁|482000 KHz|“请填入一个正整数。”|无法连接机顶盒，请检查！\n"
                 "原来的频道列表已备份到 /b。|13,608 个节目中的 1000 个；1 个收藏列表；3 "
                 "个列表中有节目未能导入；第 21 个之后勾选的 2 个节目组未导入|已导入 13,608 个节目中的 "
                 "1000 个，1 个列表",
                 "确定"},
        TextCase{QLocale(QLocale::English, QLocale::UnitedStates),
                 kSource.arg("Please enter a positive integer."), "OK"}),
    [](const auto& row) { return row.param.locale.name().toStdString(); });

}  // namespace
}  // namespace tovu::ui
