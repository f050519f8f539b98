#include "ui/ImportChoicesDialog.h"

#include "ui/EditorTexts.h"
#include "ui/ImportTexts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tovu::ui {

ImportChoicesDialog::ImportChoicesDialog(const ImportSurvey& survey, QWidget* parent)
    : QDialog(parent), survey_(survey) {
    setObjectName(QStringLiteral("ImportChoicesDialog"));
    setWindowTitle(tr("Import Choices"));

    auto* holds = new QGroupBox(tr("The folder holds"), this);
    auto* counts = new QFormLayout(holds);
    const auto addCount = [&](const QString& label, const QString& value) {
        auto* text = new QLabel(value, holds);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        counts->addRow(label, text);
    };
    const int32_t* by = survey.byDelivery;
    QString delivery = tr("%1 cable, %2 satellite, %3 terrestrial")
                           .arg(groupedNumber(by[kDeliveryCable]), groupedNumber(by[kDeliverySatellite]),
                                groupedNumber(by[kDeliveryTerrestrial]));
    if (by[kDeliveryOther] > 0) delivery += tr(", %1 other").arg(groupedNumber(by[kDeliveryOther]));
    addCount(tr("Services:"), groupedNumber(survey.services));
    addCount(tr("By delivery:"), delivery);
    addCount(tr("TV / radio:"), tr("%1 / %2").arg(groupedNumber(survey.tv), groupedNumber(survey.radio)));
    addCount(tr("Bouquets:"), tr("%1 TV, %2 radio")
                                  .arg(groupedNumber(static_cast<int32_t>(survey.tvBouquets.size())),
                                       groupedNumber(survey.radioBouquets)));
    addCount(tr("Locked services:"), groupedNumber(survey.locked));

    cableOnly_ = new QCheckBox(tr("Cable services only"), this);
    bouquetsFirst_ = new QCheckBox(tr("Services of the ticked bouquets first"), this);

    // A click anywhere on a row ticks or unticks its bouquet; Space does the same.
    bouquets_ = new QTreeWidget(this);
    bouquets_->setColumnCount(2);
    bouquets_->setHeaderLabels({tr("TV bouquet"), tr("Services")});
    bouquets_->setRootIsDecorated(false);
    bouquets_->setUniformRowHeights(true);
    bouquets_->setAllColumnsShowFocus(true);
    bouquets_->header()->setStretchLastSection(false);
    bouquets_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    bouquets_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    bouquets_->header()->setSectionsMovable(false);
    for (const SurveyBouquet& bouquet : survey.tvBouquets) {
        auto* row = new QTreeWidgetItem(bouquets_);
        row->setText(0, bouquet.name.empty() ? tr("(no name)") : QString::fromStdString(bouquet.name));
        row->setText(1, groupedNumber(static_cast<int32_t>(bouquet.entries.size())));
        row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        row->setCheckState(0, Qt::Checked);
    }
    if (bouquets_->topLevelItemCount() > 0) bouquets_->setCurrentItem(bouquets_->topLevelItem(0));
    // The view ticks by itself when its check box is hit; a click elsewhere on the row is ticked
    // here, so a row changes once per click either way.
    bouquets_->viewport()->installEventFilter(this);
    connect(bouquets_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* row) {
        if (row == releasedRow_ && row->checkState(0) == releasedState_)
            row->setCheckState(0, releasedState_ == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
    auto* listLabel = new QLabel(tr("TV bouquets that become favourite lists:"), this);
    listLabel->setBuddy(bouquets_);

    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("previewLine"));
    preview_->setWordWrap(true);
    QFont bold = preview_->font();
    bold.setBold(true);
    preview_->setFont(bold);

    auto* buttons = new QDialogButtonBox(this);
    import_ = buttons->addButton(tr("Import"), QDialogButtonBox::AcceptRole);
    cancel_ = buttons->addButton(sharedText(kCancel), QDialogButtonBox::RejectRole);
    import_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(holds);
    layout->addWidget(cableOnly_, 0, Qt::AlignLeft);
    layout->addWidget(bouquetsFirst_, 0, Qt::AlignLeft);
    layout->addWidget(listLabel);
    layout->addWidget(bouquets_, 1);
    layout->addWidget(preview_);
    layout->addWidget(buttons);

    connect(cableOnly_, &QCheckBox::toggled, this, &ImportChoicesDialog::updatePreview);
    connect(bouquetsFirst_, &QCheckBox::toggled, this, &ImportChoicesDialog::updatePreview);
    connect(bouquets_, &QTreeWidget::itemChanged, this, &ImportChoicesDialog::updatePreview);
    updatePreview();
    resize(std::max(sizeHint().width(), 520), std::max(sizeHint().height(), 560));
}

bool ImportChoicesDialog::eventFilter(QObject* watched, QEvent* event) {
    // The row's state before the view handles the release that ends a click.
    if (watched == bouquets_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        releasedRow_ = bouquets_->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (releasedRow_ != nullptr) releasedState_ = releasedRow_->checkState(0);
    }
    return QDialog::eventFilter(watched, event);
}

ImportChoices ImportChoicesDialog::choices() const {
    ImportChoices choices;
    choices.cableOnly = cableOnly_->isChecked();
    choices.bouquetsFirst = bouquetsFirst_->isChecked();
    for (int b = 0; b < bouquets_->topLevelItemCount(); ++b)
        choices.tickedBouquets.push_back(bouquets_->topLevelItem(b)->checkState(0) == Qt::Checked);
    return choices;
}

void ImportChoicesDialog::updatePreview() {
    const ImportPreview preview = PreviewImport(survey_, choices());
    preview_->setText(importPreviewLine(preview));
    // An import of nothing would only empty the image.
    import_->setEnabled(preview.services > 0);
}

}  // namespace tovu::ui
