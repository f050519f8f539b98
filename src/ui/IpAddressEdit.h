// An IPv4 address field like the platform's address control: four fields of 0 to 255 separated
// by dots, one Tab stop. The address is blank while all four fields are empty; in a partly filled address the
// empty fields count as 0.
#pragma once

#include <QFrame>

#include <array>
#include <cstdint>
#include <optional>

class QLineEdit;

namespace tovu::ui {

class IpAddressEdit final : public QFrame {
    Q_OBJECT
public:
    explicit IpAddressEdit(QWidget* parent = nullptr);

    // Nothing when blank; otherwise the first field in the most significant byte.
    [[nodiscard]] std::optional<uint32_t> address() const;
    [[nodiscard]] bool isBlank() const;
    void setAddress(std::optional<uint32_t> address);
    void clear();

    // Field 0..3 (left to right), for tests and focus handling.
    [[nodiscard]] QLineEdit* field(int k) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onTextEdited(int k);
    void focusField(int k, bool selectAll);

    std::array<QLineEdit*, 4> fields_{};
};

}  // namespace tovu::ui
