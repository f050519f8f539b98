#include "ui/AboutDialog.h"

#include "ui/AppIcon.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace tovu::ui {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(tr(kAboutTitle));
    setWindowIcon(applicationIcon());

    auto* picture = new QLabel(this);
    picture->setPixmap(applicationIcon().pixmap(48, 48));
    // The program's name and version stay as they are in every language.
    auto* version = new QLabel(QString::fromLatin1(kAboutVersionLine), this);
    version->setObjectName(QStringLiteral("versionLine"));
    auto* second = new QLabel(tr("Channel database editor for the cable set-top box"), this);
    ok_ = new QPushButton(tr("&Ok"), this);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(version, 0, 1);
    grid->addWidget(second, 1, 1);
    grid->addWidget(ok_, 0, 2, Qt::AlignTop);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tovu::ui
