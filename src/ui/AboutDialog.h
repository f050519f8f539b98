// The About box: the icon, the program's name and version, and an "&Ok" button.
#pragma once

#include <QDialog>

class QPushButton;

namespace tovu::ui {

inline constexpr const char* kAboutTitle =
    QT_TRANSLATE_NOOP("tovu::ui::AboutDialog", "About Tovu C ChanEditor");
inline constexpr const char* kAboutVersionLine = "Tovu Cable ChanEditor 0.11";

class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
    [[nodiscard]] QPushButton* okButton() const { return ok_; }

private:
    QPushButton* ok_ = nullptr;
};

}  // namespace tovu::ui
