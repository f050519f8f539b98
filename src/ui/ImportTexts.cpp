#include "ui/ImportTexts.h"

#include <QCoreApplication>
#include <QLocale>

namespace tovu::ui {
namespace {

QString text(const char* source) { return QCoreApplication::translate("Import", source); }

// The singular or the plural source text, as the count asks.
QString forCount(int64_t n, const char* one, const char* many) { return text(n == 1 ? one : many); }

QString counted(int64_t n, const char* one, const char* many) {
    return forCount(n, one, many).arg(groupedNumber(n));
}

}  // namespace

QString groupedNumber(int64_t n) {
    return n < 10000 ? QString::number(n) : QLocale(QLocale::English).toString(static_cast<qlonglong>(n));
}

QString importPreviewLine(const ImportPreview& preview) {
    const QString part = text(QT_TRANSLATE_NOOP("Import", "%1; %2"));
    QString line = forCount(preview.servicesTotal, QT_TRANSLATE_NOOP("Import", "%1 of %2 service"),
                            QT_TRANSLATE_NOOP("Import", "%1 of %2 services"))
                       .arg(groupedNumber(preview.services), groupedNumber(preview.servicesTotal));
    line = part.arg(line, counted(preview.favouriteLists, QT_TRANSLATE_NOOP("Import", "%1 favourite list"),
                                  QT_TRANSLATE_NOOP("Import", "%1 favourite lists")));
    if (preview.listsLosingServices > 0)
        line = part.arg(line, counted(preview.listsLosingServices,
                                      QT_TRANSLATE_NOOP("Import", "%1 list loses services that do not fit"),
                                      QT_TRANSLATE_NOOP("Import", "%1 lists lose services that do not fit")));
    if (preview.bouquetsLeftOut > 0)
        line = part.arg(
            line, counted(preview.bouquetsLeftOut,
                          QT_TRANSLATE_NOOP("Import", "%1 ticked bouquet beyond the 21st not imported"),
                          QT_TRANSLATE_NOOP("Import", "%1 ticked bouquets beyond the 21st not imported")));
    return line;
}

QString importSummaryLine(const ImportPreview& preview) {
    const QString services =
        forCount(preview.servicesTotal, QT_TRANSLATE_NOOP("Import", "%1 of %2 service imported"),
                 QT_TRANSLATE_NOOP("Import", "%1 of %2 services imported"))
            .arg(groupedNumber(preview.services), groupedNumber(preview.servicesTotal));
    return text(QT_TRANSLATE_NOOP("Import", "%1, %2"))
        .arg(services, counted(preview.favouriteLists, QT_TRANSLATE_NOOP("Import", "%1 list"),
                               QT_TRANSLATE_NOOP("Import", "%1 lists")));
}

}  // namespace tovu::ui
