#include "ui/IpAddressEdit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace tovu::ui {
namespace {

constexpr int kFieldMax = 255;

// The value of one field: empty counts as 0, anything above 255 as 255.
int fieldValue(const QLineEdit* edit) {
    bool ok = false;
    const int v = edit->text().toInt(&ok);
    if (!ok || v < 0) return 0;
    return v > kFieldMax ? kFieldMax : v;
}

}  // namespace

IpAddressEdit::IpAddressEdit(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(0);
    auto* validator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (int k = 0; k < 4; ++k) {
        if (k > 0) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setAlignment(Qt::AlignCenter);
            layout->addWidget(dot);
        }
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("ipField%1").arg(k));
        edit->setFrame(false);
        edit->setMaxLength(3);
        edit->setValidator(validator);
        edit->setAlignment(Qt::AlignCenter);
        // One Tab stop for the whole address: the later numbers are reached with '.', the arrow
        // keys or the mouse.
        if (k > 0) edit->setFocusPolicy(Qt::ClickFocus);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 6);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, [this, k] { onTextEdited(k); });
        connect(edit, &QLineEdit::editingFinished, this, [edit] {
            // A value above 255 becomes 255, as the platform control does.
            if (!edit->text().isEmpty() && edit->text().toInt() > kFieldMax)
                edit->setText(QString::number(kFieldMax));
        });
        layout->addWidget(edit);
        fields_[static_cast<size_t>(k)] = edit;
    }
    setFocusProxy(fields_[0]);
}

QLineEdit* IpAddressEdit::field(int k) const {
    return (k >= 0 && k < 4) ? fields_[static_cast<size_t>(k)] : nullptr;
}

bool IpAddressEdit::isBlank() const {
    for (const QLineEdit* edit : fields_)
        if (!edit->text().isEmpty()) return false;
    return true;
}

std::optional<uint32_t> IpAddressEdit::address() const {
    if (isBlank()) return std::nullopt;
    uint32_t value = 0;
    for (const QLineEdit* edit : fields_) value = (value << 8) | static_cast<uint32_t>(fieldValue(edit));
    return value;
}

void IpAddressEdit::setAddress(std::optional<uint32_t> address) {
    for (int k = 0; k < 4; ++k) {
        QLineEdit* edit = fields_[static_cast<size_t>(k)];
        if (address)
            edit->setText(QString::number((*address >> (24 - 8 * k)) & 0xFF));
        else
            edit->clear();
    }
}

void IpAddressEdit::clear() { setAddress(std::nullopt); }

void IpAddressEdit::focusField(int k, bool selectAll) {
    QLineEdit* edit = field(k);
    if (edit == nullptr) return;
    edit->setFocus(Qt::OtherFocusReason);
    if (selectAll)
        edit->selectAll();
    else
        edit->setCursorPosition(static_cast<int>(edit->text().size()));
}

void IpAddressEdit::onTextEdited(int k) {
    QLineEdit* edit = field(k);
    if (edit->text().size() < 3) return;
    if (edit->text().toInt() > kFieldMax) edit->setText(QString::number(kFieldMax));
    // A complete field moves on to the next one.
    if (k < 3) focusField(k + 1, true);
}

bool IpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QFrame::eventFilter(watched, event);
    int k = 0;
    while (k < 4 && fields_[static_cast<size_t>(k)] != watched) ++k;
    if (k == 4) return QFrame::eventFilter(watched, event);
    QLineEdit* edit = fields_[static_cast<size_t>(k)];
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool atStart = edit->cursorPosition() == 0 && !edit->hasSelectedText();
    const bool atEnd = edit->cursorPosition() == edit->text().size() && !edit->hasSelectedText();
    const bool backTab = key->key() == Qt::Key_Backtab ||
                         (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier));
    if (backTab && k > 0) {
        // Back out of the address from any of its numbers, not to its first number.
        focusField(0, false);
        focusNextPrevChild(false);
        return true;
    }
    switch (key->key()) {
        case Qt::Key_Period:
        case Qt::Key_Space:
            // A dot ends a field that holds something and moves on.
            if (!edit->text().isEmpty() && k < 3 && !edit->hasSelectedText()) focusField(k + 1, true);
            return true;
        case Qt::Key_Backspace:
            if (atStart && k > 0) {
                focusField(k - 1, false);
                return true;
            }
            break;
        case Qt::Key_Left:
            if (atStart && k > 0) {
                focusField(k - 1, false);
                return true;
            }
            break;
        case Qt::Key_Right:
            if (atEnd && k < 3) {
                QLineEdit* next = field(k + 1);
                next->setFocus(Qt::OtherFocusReason);
                next->setCursorPosition(0);
                return true;
            }
            break;
        default: break;
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace tovu::ui
