#include "ui/FilterField.h"

#include <QKeyEvent>
#include <QListView>
#include <QTableView>

namespace tovu::ui {
namespace {

bool rowHidden(const QAbstractItemView* list, int row) {
    if (const auto* table = qobject_cast<const QTableView*>(list)) return table->isRowHidden(row);
    if (const auto* rows = qobject_cast<const QListView*>(list)) return rows->isRowHidden(row);
    return false;
}

}  // namespace

FilterField::FilterField(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("filter"));
    setPlaceholderText(tr("Filter"));
    setClearButtonEnabled(true);
}

bool FilterField::matches(const QString& rowFilterText) const {
    return rowFilterText.contains(text(), Qt::CaseInsensitive);
}

void FilterField::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Escape && !text().isEmpty()) {
        clear();
        return;
    }
    if (key == Qt::Key_Down || ((key == Qt::Key_Return || key == Qt::Key_Enter) && !text().isEmpty())) {
        focusFirstShownRow();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void FilterField::focusFirstShownRow() {
    if (list_ == nullptr || list_->model() == nullptr) return;
    list_->setFocus(Qt::TabFocusReason);
    const QAbstractItemModel* model = list_->model();
    for (int row = 0; row < model->rowCount(list_->rootIndex()); ++row) {
        if (rowHidden(list_, row)) continue;
        const QModelIndex first = model->index(row, 0, list_->rootIndex());
        list_->setCurrentIndex(first);
        list_->scrollTo(first);
        return;
    }
}

}  // namespace tovu::ui
