#include "ui/OutcomeText.h"

#include "ui/EditorTexts.h"

#include <QRegularExpression>
#include <QStringList>

namespace tovu::ui {
namespace {

// Whole lines as the libraries give them.
const char* const kWholeLines[] = {
    QT_TRANSLATE_NOOP("Editor", "Fail to open DB!"),
    QT_TRANSLATE_NOOP("Editor", "Invalid DB File!"),
    QT_TRANSLATE_NOOP("Editor", "Fail to write DB!"),
    QT_TRANSLATE_NOOP("Editor", "Please Fill Ip address of server!"),
    QT_TRANSLATE_NOOP("Editor", "Not enough memory!"),
    QT_TRANSLATE_NOOP("Editor", "Cannot connect to STB, Please check!"),
    QT_TRANSLATE_NOOP("Editor", "Download chan information completed!"),
    QT_TRANSLATE_NOOP("Editor", "Upload chan DB completed"),
};

// Lines of an upload's backup and read-back: %1 is what the area holds, %2 a path.
const char* const kAreaLines[] = {
    QT_TRANSLATE_NOOP("Editor", "The backup of the receiver's %1 failed. Nothing was uploaded."),
    QT_TRANSLATE_NOOP("Editor",
                      "The backup of the receiver's %1 could not be saved in %2. Nothing was uploaded."),
    QT_TRANSLATE_NOOP("Editor", "Your previous %1 is saved in %2."),
    QT_TRANSLATE_NOOP("Editor",
                      "The upload could not be read back to check it. Your previous %1 is saved in %2."),
    QT_TRANSLATE_NOOP("Editor",
                      "The receiver holds different data than was sent. Your previous %1 is saved in %2."),
};
const char* const kAreas[] = {
    QT_TRANSLATE_NOOP("Editor", "channel list"),
    QT_TRANSLATE_NOOP("Editor", "provider list"),
};

// The source text as a pattern: %1 one of the areas, %2 any text.
QRegularExpression linePattern(const char* source) {
    QStringList areas;
    for (const char* area : kAreas) areas << QRegularExpression::escape(QLatin1String(area));
    QString pattern = QRegularExpression::escape(QLatin1String(source));  // each "%1" comes out as "\%1"
    pattern.replace(QLatin1String("\\%1"), QStringLiteral("(%1)").arg(areas.join(QLatin1Char('|'))));
    pattern.replace(QLatin1String("\\%2"), QLatin1String("(.+)"));
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern));
}

QString lineText(const QString& line) {
    for (const char* source : kWholeLines)
        if (line == QLatin1String(source)) return sharedText(source);
    for (const char* source : kAreaLines) {
        const QRegularExpressionMatch match = linePattern(source).match(line);
        if (!match.hasMatch()) continue;
        const QString area = sharedText(match.captured(1).toLatin1().constData());
        return match.lastCapturedIndex() >= 2 ? sharedText(source).arg(area, match.captured(2))
                                              : sharedText(source).arg(area);
    }
    return line;
}

}  // namespace

QString outcomeText(const std::string& message) {
    QStringList lines = QString::fromStdString(message).split(QLatin1Char('\n'));
    for (QString& line : lines) line = lineText(line);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace tovu::ui
