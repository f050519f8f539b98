#include "ui/ReplaceNamesDialog.h"

#include "db/BulkEdits.h"
#include "ui/EditorTexts.h"
#include "ui/NameInput.h"
#include "ui/UserPrompts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tovu::ui {

ReplaceNamesDialog::ReplaceNamesDialog(const ChannelDbImage& image, const QList<int>& records,
                                       UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), image_(image), records_(records), prompts_(prompts) {
    setObjectName(QStringLiteral("ReplaceNamesDialog"));
    setWindowTitle(sharedText(kReplaceInNames));
    find_ = new QLineEdit(this);
    replacement_ = new QLineEdit(this);
    // Neither text can be longer than a name.
    for (QLineEdit* edit : {find_, replacement_}) {
        edit->setValidator(new NameBytesValidator(kNameSize, edit));
        connect(edit, &QLineEdit::textChanged, this, &ReplaceNamesDialog::updatePreview);
    }
    preview_ = new QLabel(this);
    replace_ = new QPushButton(tr("Replace"), this);
    replace_->setDefault(true);
    cancel_ = new QPushButton(sharedText(kCancel), this);
    connect(replace_, &QPushButton::clicked, this, &ReplaceNamesDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &ReplaceNamesDialog::reject);

    auto* fields = new QFormLayout;
    fields->addRow(tr("Find:"), find_);
    fields->addRow(tr("Replace with:"), replacement_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(replace_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(preview_);
    layout->addLayout(buttons);
    setMinimumWidth(360);
    updatePreview();
}

QString ReplaceNamesDialog::findText() const { return find_->text(); }
QString ReplaceNamesDialog::replacementText() const { return replacement_->text(); }

int ReplaceNamesDialog::namesChanged() const {
    const std::string find = findText().toStdString();
    const std::string replacement = replacementText().toStdString();
    int changed = 0;
    for (const int record : records_) {
        ChannelRecord r;
        if (getChannel(image_, record, r) && replacedName(r.name, find, replacement)) ++changed;
    }
    return changed;
}

void ReplaceNamesDialog::updatePreview() {
    const int changed = namesChanged();
    preview_->setText(tr("%1 of %2 selected names change").arg(changed).arg(records_.size()));
    replace_->setEnabled(changed > 0);
}

void ReplaceNamesDialog::accept() {
    if (const QString unstorable = unstorableCharacters(replacementText()); !unstorable.isEmpty()) {
        prompts_.showMessage(this, sharedText(kUnstorableCharacters).arg(unstorable), applicationCaption(),
                             MessageIcon::Warning);
        replacement_->setFocus(Qt::OtherFocusReason);
        replacement_->selectAll();
        return;
    }
    QDialog::accept();
}

}  // namespace tovu::ui
