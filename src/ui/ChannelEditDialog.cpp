#include "ui/ChannelEditDialog.h"

#include "db/NameCodec.h"
#include "ui/AppIcon.h"
#include "ui/EditorTexts.h"
#include "ui/NameInput.h"
#include "ui/UnsignedField.h"
#include "ui/UserPrompts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace tovu::ui {
namespace {

// The validation messages of the system's string table.
const char* const kNotAnInteger = QT_TRANSLATE_NOOP("tovu::ui::ChannelEditDialog", "“请填入一个正整数。”");
const char* const kOutOfRange =
    QT_TRANSLATE_NOOP("tovu::ui::ChannelEditDialog", "“请填入一个在%1和%2之间的整数。”");
const char* const kNameTooLong =
    QT_TRANSLATE_NOOP("tovu::ui::ChannelEditDialog", "“请填入不多于%1个的字符。”");
// Refusals of a service that cannot be stored, in the same voice.
const char* const kIdsTaken = QT_TRANSLATE_NOOP(
    "tovu::ui::ChannelEditDialog", "“已有频道使用这个Service Id和Transponder Id，请填入其他的值。”");
const char* const kTableFull =
    QT_TRANSLATE_NOOP("tovu::ui::ChannelEditDialog", "“不能再添加频道：最多可以保存%1个频道。”");

// Choice "TV", "Radio", "Unknown" and the ProgType values they stand for.
uint32_t progTypeOfChoice(int choice) {
    if (choice == 0) return kProgTv;
    if (choice == 1) return kProgRadio;
    return kProgUnknown;
}
int choiceOfProgType(uint32_t progType) {
    if (progType == kProgTv) return 0;
    if (progType == kProgRadio) return 1;
    return 2;
}

uint32_t setBits(uint32_t flags, uint32_t mask, uint32_t shift, int position) {
    return (flags & ~mask) | ((static_cast<uint32_t>(position) << shift) & mask);
}

}  // namespace

ChannelEditDialog::ChannelEditDialog(ChannelDbImage& image, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), image_(image), prompts_(prompts) {
    setObjectName(QStringLiteral("ChannelEditDialog"));
    setWindowTitle(tr("Channel Edit"));
    setWindowIcon(applicationIcon());

    const auto makeEdit = [this](int id) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("edit%1").arg(id));
        return e;
    };
    const auto makeChoice = [this](int id, std::initializer_list<const char*> entries) {
        auto* c = new QComboBox(this);
        c->setObjectName(QStringLiteral("choice%1").arg(id));
        c->setEditable(false);
        for (const char* entry : entries) c->addItem(fieldWord(entry));
        return c;
    };
    name_ = makeEdit(kEditName);
    serviceId_ = makeEdit(kEditServiceId);
    transponderId_ = makeEdit(kEditTransponderId);
    originalNetworkId_ = makeEdit(kEditOriginalNetworkId);
    qam_ = makeChoice(kChoiceQam, {"16QAM", "32QAM", "64QAM", "128QAM", "256QAM"});
    frequency_ = makeEdit(kEditFrequency);
    symbolRate_ = makeEdit(kEditSymbolRate);
    // The words the list shows too ("UnLock", "Not" and "Unknown" are Channel Edit's own).
    parentLock_ = makeChoice(kChoiceParentLock, {QT_TRANSLATE_NOOP("Channel", "UnLock"), "Locked"});
    audio_ = makeChoice(kChoiceAudio, {"Left", "Right", "Stereo", "Mono"});
    subtitle_ = makeChoice(kChoiceSubtitle, {"Off", "On"});
    descrambled_ = makeChoice(kChoiceDescrambled, {QT_TRANSLATE_NOOP("Channel", "Not"), "Yes"});
    progType_ = makeChoice(kChoiceProgType, {"TV", "Radio", QT_TRANSLATE_NOOP("Channel", "Unknown")});
    // The name field takes what fits the stored field: 32 bytes of the code page.
    name_->setMaxLength(static_cast<int>(kNameSize));
    name_->setValidator(new NameBytesValidator(kNameSize, name_));

    auto* grid = new QGridLayout;
    const auto addRow = [&](int row, int column, const char* label, QWidget* field) {
        auto* l = new QLabel(fieldWord(label), this);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setBuddy(field);
        grid->addWidget(l, row, column);
        grid->addWidget(field, row, column + 1);
    };
    addRow(0, 0, "Name", name_);
    addRow(1, 0, QT_TRANSLATE_NOOP("Channel", "Service Id:"), serviceId_);
    addRow(2, 0, QT_TRANSLATE_NOOP("Channel", "Transponder Id:"), transponderId_);
    addRow(3, 0, QT_TRANSLATE_NOOP("Channel", "Original Net Id:"), originalNetworkId_);
    addRow(4, 0, QT_TRANSLATE_NOOP("Channel", "QAM:"), qam_);
    addRow(5, 0, "Frequency", frequency_);
    addRow(6, 0, "SymRate", symbolRate_);
    addRow(0, 2, "Parent Lock", parentLock_);
    addRow(1, 2, "Audio Track", audio_);
    addRow(2, 2, "Subtitle", subtitle_);
    addRow(3, 2, "Descrambled", descrambled_);
    addRow(4, 2, "Prog type", progType_);
    grid->setColumnMinimumWidth(1, 180);
    grid->setColumnMinimumWidth(3, 180);

    save_ = new QPushButton(sharedText(kSaveChange), this);
    save_->setObjectName(QStringLiteral("saveChange"));
    save_->setDefault(true);
    quit_ = new QPushButton(tr("Quit Editor"), this);
    quit_->setObjectName(QStringLiteral("quitEditor"));
    connect(save_, &QPushButton::clicked, this, [this] { (void)saveChange(); });
    connect(quit_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save_);
    buttons->addWidget(quit_);
    buttons->addStretch(1);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addLayout(buttons);
    loadChannel(-1);
}

QLineEdit* ChannelEditDialog::edit(int id) const {
    switch (id) {
        case kEditName: return name_;
        case kEditServiceId: return serviceId_;
        case kEditTransponderId: return transponderId_;
        case kEditOriginalNetworkId: return originalNetworkId_;
        case kEditFrequency: return frequency_;
        case kEditSymbolRate: return symbolRate_;
        default: return nullptr;
    }
}

QComboBox* ChannelEditDialog::choice(int id) const {
    switch (id) {
        case kChoiceQam: return qam_;
        case kChoiceParentLock: return parentLock_;
        case kChoiceAudio: return audio_;
        case kChoiceSubtitle: return subtitle_;
        case kChoiceDescrambled: return descrambled_;
        case kChoiceProgType: return progType_;
        default: return nullptr;
    }
}

int ChannelEditDialog::runForChannel(int& channelIndex) {
    loadChannel(channelIndex);
    const int code = exec();
    if (code == QDialog::Accepted) channelIndex = channelIndex_;
    return code;
}

void ChannelEditDialog::loadChannel(int channelIndex) {
    channelIndex_ = channelIndex;
    ChannelRecord record;  // all zero for a new service
    if (channelIndex != -1) (void)getChannel(image_, channelIndex, record);

    shownName_ = QString::fromStdString(nameToUtf8(record.name.data(), record.name.size()));
    name_->setText(shownName_);
    serviceId_->setText(QString::number(record.serviceId));
    transponderId_->setText(QString::number(record.transponderId));
    originalNetworkId_->setText(QString::number(record.originalNetworkId));
    frequency_->setText(QString::number(record.frequencyKHz));
    symbolRate_->setText(QString::number(record.symbolRate));

    // A QAM value without an entry leaves the box without a choice.
    qam_->setCurrentIndex(record.qam < static_cast<uint32_t>(qam_->count()) ? static_cast<int>(record.qam)
                                                                            : -1);
    audio_->setCurrentIndex(static_cast<int>(record.audioMode()));
    progType_->setCurrentIndex(choiceOfProgType(record.progType()));
    descrambled_->setCurrentIndex((record.flags & kFlagDescrambled) ? 1 : 0);
    parentLock_->setCurrentIndex((record.flags & kFlagLocked) ? 1 : 0);
    subtitle_->setCurrentIndex((record.flags & kFlagSubtitle) ? 1 : 0);
    name_->setFocus(Qt::OtherFocusReason);
}

void ChannelEditDialog::refuse(QLineEdit* field, const QString& message) {
    prompts_.showMessage(this, message, applicationCaption(), MessageIcon::Warning);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

bool ChannelEditDialog::readNumber(QLineEdit* field, uint32_t maximum, uint32_t& value) {
    if (!readUnsignedField(field->text(), value)) {
        refuse(field, tr(kNotAnInteger));
        return false;
    }
    if (value > maximum) {
        refuse(field, tr(kOutOfRange).arg(0).arg(maximum));
        return false;
    }
    return true;
}

bool ChannelEditDialog::idsTakenByAnother(uint32_t serviceId, uint32_t transponderId) const {
    ChannelRecord other;
    for (int i = 0; i < channelCount(image_); ++i)
        if (i != channelIndex_ && getChannel(image_, i, other) && other.serviceId == serviceId &&
            other.transponderId == transponderId)
            return true;
    return false;
}

bool ChannelEditDialog::saveChange() {
    // Fields in the order they are checked: name, frequency, Original Net Id, symbol rate,
    // service id, transponder id.
    const QString nameText = name_->text();
    const bool nameChanged = nameText != shownName_;
    const std::string nameBytes = utf8ToName(nameText.toStdString());
    if (const QString unstorable = unstorableCharacters(nameText); nameChanged && !unstorable.isEmpty()) {
        refuse(name_, sharedText(kUnstorableCharacters).arg(unstorable));
        return false;
    }
    if (nameChanged && nameBytes.size() > kNameSize) {
        refuse(name_, tr(kNameTooLong).arg(kNameSize));
        return false;
    }
    uint32_t frequency = 0, originalNetworkId = 0, symbolRate = 0, serviceId = 0, transponderId = 0;
    if (!readNumber(frequency_, kMaxFrequencyKHz, frequency)) return false;
    if (!readNumber(originalNetworkId_, kMaxIdValue, originalNetworkId)) return false;
    if (!readNumber(symbolRate_, kMaxIdValue, symbolRate)) return false;
    if (!readNumber(serviceId_, kMaxIdValue, serviceId)) return false;
    if (!readNumber(transponderId_, kMaxIdValue, transponderId)) return false;

    // Every field the dialog does not edit keeps its present value.
    ChannelRecord record;
    if (channelIndex_ != -1) (void)getChannel(image_, channelIndex_, record);
    // A new service needs room, and a service may not take the ids of another one (ids that
    // an edit leaves as they were are not checked).
    if (channelIndex_ == -1 && channelCount(image_) >= static_cast<int>(kMaxChannels)) {
        prompts_.showMessage(this, tr(kTableFull).arg(kMaxChannels), applicationCaption(),
                             MessageIcon::Warning);
        return false;
    }
    const bool idsChanged =
        channelIndex_ == -1 || serviceId != record.serviceId || transponderId != record.transponderId;
    if (idsChanged && idsTakenByAnother(serviceId, transponderId)) {
        refuse(serviceId_, tr(kIdsTaken));
        return false;
    }

    if (nameText.isEmpty()) {
        record.name[0] = 0;  // the bytes behind it stay as they were
    } else if (nameChanged) {
        // An unchanged name keeps its stored bytes, even those the code page cannot show.
        const size_t n = std::min(nameBytes.size(), kNameSize);
        std::memcpy(record.name.data(), nameBytes.data(), n);
        if (n < kNameSize) record.name[n] = 0;
    }
    record.serviceId = static_cast<uint16_t>(serviceId);
    record.transponderId = static_cast<uint16_t>(transponderId);
    record.originalNetworkId = static_cast<uint16_t>(originalNetworkId);
    record.frequencyKHz = frequency;
    record.symbolRate = symbolRate;
    record.qam = qam_->currentIndex() < 0 ? 0xFFFFFFFFu : static_cast<uint32_t>(qam_->currentIndex());

    uint32_t flags = record.flags;
    flags = setBits(flags, kAudioMask, kAudioShift, std::max(audio_->currentIndex(), 0));
    flags = (flags & ~kProgTypeMask) | (progTypeOfChoice(progType_->currentIndex()) << kProgTypeShift);
    flags = setBits(flags, kFlagDescrambled, 20, descrambled_->currentIndex() == 1 ? 1 : 0);
    flags = setBits(flags, kFlagLocked, 0, parentLock_->currentIndex() == 1 ? 1 : 0);
    flags = setBits(flags, kFlagSubtitle, 8, subtitle_->currentIndex() == 1 ? 1 : 0);
    record.flags = flags;

    if (channelIndex_ == -1)
        channelIndex_ = tovu::addChannel(image_, record);  // room and ids were checked above
    else
        (void)setChannel(image_, channelIndex_, record);
    accept();
    return true;
}

}  // namespace tovu::ui
