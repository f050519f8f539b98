// The editor's texts in each language: the source texts under the C locale, Chinese under zh_CN,
// and the Chinese messages in English under en.
#include "WindowHarness.h"

#include "ui/ChannelEditDialog.h"
#include "ui/EditorLanguage.h"
#include "ui/EditorTexts.h"
#include "ui/ImportTexts.h"
#include "ui/OutcomeText.h"

#include <QMessageBox>

namespace tovu::ui {
namespace {

// The locale, the texts shown (see the test), Qt's own OK button (when Qt's translations are installed).
using TextCase = std::tuple<QLocale, QString, QString>;
const ImportPreview kPreview{1000, 13608, 1, 3, 2};

class TranslatedTexts : public testing::TestWithParam<TextCase> {};

TEST_P(TranslatedTexts, ShowInTheLocalesLanguage) {
    const auto& [locale, texts, qtOk] = GetParam();
    test::uiApplication();
    const InstalledTranslations installed = installTranslations(locale);
    EXPECT_EQ(installed.editor, locale.language() != QLocale::C);
    // A button, a column title and two cells of the window, Channel Edit refusing a frequency the
    // user typed, an upload's outcome, and the import's preview and summary lines.
    test::WindowHarness h(2);
    ChannelEditDialog edit(*h.image, h.prompts);
    edit.show();
    test::retype(edit.edit(kEditFrequency), QStringLiteral("x"));
    test::click(edit.saveButton());
    const QString outcome =
        outcomeText("Cannot connect to STB, Please check!\nYour previous channel list is saved in /b.");
    const QString shown = QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
                              .arg(h.window->button(kCmdLoadDb)->text(),
                                   h.window->channelList()->model()->headerData(8, Qt::Horizontal).toString(),
                                   h.cell(0, 8), h.cell(0, 5), h.prompts.texts().value(0), outcome,
                                   importPreviewLine(kPreview), importSummaryLine(kPreview));
    EXPECT_EQ(shown.toStdString(), texts.toStdString());
    if (installed.qt || !installed.editor)
        EXPECT_EQ(QMessageBox(QMessageBox::NoIcon, {}, {}, QMessageBox::Ok).button(QMessageBox::Ok)->text(),
                  qtOk);
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
    [](const auto& row) { return std::get<0>(row.param).name().toStdString(); });

}  // namespace
}  // namespace tovu::ui
