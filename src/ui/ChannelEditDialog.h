// The dialog that edits one service of the image or enters a new one: name, ids, tuning data
// and a handful of flags. Every other field of the record passes through unchanged.
#pragma once

#include "db/ChannelRecord.h"
#include "db/DbImage.h"

#include <QDialog>
#include <QString>

#include <cstdint>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tovu::ui {

class UserPrompts;

// Control ids of the dialog's edits and choice boxes.
enum ChannelEditControl : int {
    kEditName = 1011,
    kEditServiceId = 1012,
    kEditTransponderId = 1013,
    kEditOriginalNetworkId = 1014,
    kEditFrequency = 1015,
    kEditSymbolRate = 1016,
    kChoiceParentLock = 1017,
    kChoiceQam = 1018,
    kChoiceAudio = 1019,
    kChoiceSubtitle = 1020,
    kChoiceDescrambled = 1021,
    kChoiceProgType = 1022,
};

inline constexpr uint32_t kMaxFrequencyKHz = 900000;
inline constexpr uint32_t kMaxIdValue = 65535;

class ChannelEditDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ChannelEditDialog(ChannelDbImage& image, UserPrompts& prompts, QWidget* parent = nullptr);

    // Runs the dialog modally on a service (-1: a new one). On Accepted the index is written back:
    // the edited index, or in add mode the new service's index.
    int runForChannel(int& channelIndex);

    // Fills the controls from the service (-1: a new one), as opening the dialog does.
    void loadChannel(int channelIndex);
    // "Save Change": validates, stores and closes with OK; false (dialog open) on a refused field
    // or a service that cannot be stored.
    bool saveChange();

    [[nodiscard]] int channelIndex() const { return channelIndex_; }
    [[nodiscard]] QLineEdit* edit(int id) const;
    [[nodiscard]] QComboBox* choice(int id) const;
    [[nodiscard]] QPushButton* saveButton() const { return save_; }
    [[nodiscard]] QPushButton* quitButton() const { return quit_; }

private:
    bool readNumber(QLineEdit* field, uint32_t maximum, uint32_t& value);
    void refuse(QLineEdit* field, const QString& message);
    [[nodiscard]] bool idsTakenByAnother(uint32_t serviceId, uint32_t transponderId) const;

    ChannelDbImage& image_;
    UserPrompts& prompts_;
    int channelIndex_ = -1;
    QString shownName_;  // the name as the dialog opened with it

    QLineEdit* name_ = nullptr;
    QLineEdit* serviceId_ = nullptr;
    QLineEdit* transponderId_ = nullptr;
    QLineEdit* originalNetworkId_ = nullptr;
    QLineEdit* frequency_ = nullptr;
    QLineEdit* symbolRate_ = nullptr;
    QComboBox* qam_ = nullptr;
    QComboBox* parentLock_ = nullptr;
    QComboBox* audio_ = nullptr;
    QComboBox* subtitle_ = nullptr;
    QComboBox* descrambled_ = nullptr;
    QComboBox* progType_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* quit_ = nullptr;
};

}  // namespace tovu::ui
