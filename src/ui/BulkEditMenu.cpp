#include "ui/BulkEditMenu.h"

#include "db/BulkEdits.h"
#include "ui/EditorTexts.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

namespace tovu::ui {
namespace {

struct Choice {
    const char* text;
    uint32_t value;
};

struct FieldMenu {
    BulkField field;
    const char* title;
    Choice choices[3];
};

// The labels and values of Channel Edit's choice boxes, in its words.
const FieldMenu kFieldMenus[] = {
    {BulkField::ParentLock,
     QT_TRANSLATE_NOOP("Channel", "Parent Lock"),
     {{QT_TRANSLATE_NOOP("Channel", "UnLock"), 0}, {QT_TRANSLATE_NOOP("Channel", "Locked"), 1}}},
    {BulkField::Subtitle,
     QT_TRANSLATE_NOOP("Channel", "Subtitle"),
     {{QT_TRANSLATE_NOOP("Channel", "Off"), 0}, {QT_TRANSLATE_NOOP("Channel", "On"), 1}}},
    {BulkField::Descrambled,
     QT_TRANSLATE_NOOP("Channel", "Descrambled"),
     {{QT_TRANSLATE_NOOP("Channel", "Not"), 0}, {QT_TRANSLATE_NOOP("Channel", "Yes"), 1}}},
    {BulkField::ProgType,
     QT_TRANSLATE_NOOP("Channel", "Prog type"),
     {{QT_TRANSLATE_NOOP("Channel", "TV"), kProgTv},
      {QT_TRANSLATE_NOOP("Channel", "Radio"), kProgRadio},
      {QT_TRANSLATE_NOOP("Channel", "Unknown"), kProgUnknown}}},
};

}  // namespace

QList<QAction*> addBulkEditMenus(QMenu* menu, const std::function<void(const BulkEdit&)>& run) {
    QList<QAction*> actions;
    for (const FieldMenu& field : kFieldMenus) {
        QMenu* submenu = menu->addMenu(fieldWord(field.title));
        actions << submenu->menuAction();
        for (const Choice& choice : field.choices) {
            if (choice.text == nullptr) break;
            const BulkEdit edit{field.field, choice.value,
                                QCoreApplication::translate("BulkEditMenu", "%1: %2")
                                    .arg(fieldWord(field.title), fieldWord(choice.text))};
            QObject::connect(submenu->addAction(fieldWord(choice.text)), &QAction::triggered, menu,
                             [run, edit] { run(edit); });
        }
    }
    return actions;
}

int applyBulkEdit(ChannelDbImage& image, std::span<const int> indexes, const BulkEdit& edit) {
    switch (edit.field) {
        case BulkField::ParentLock: return setChannelsFlag(image, indexes, kFlagLocked, edit.value != 0);
        case BulkField::Subtitle: return setChannelsFlag(image, indexes, kFlagSubtitle, edit.value != 0);
        case BulkField::Descrambled:
            return setChannelsFlag(image, indexes, kFlagDescrambled, edit.value != 0);
        case BulkField::ProgType: return setChannelsProgType(image, indexes, edit.value);
    }
    return 0;
}

}  // namespace tovu::ui
