// The "Filter" field above a list of services, with a clear button. Typing narrows the list as
// one types (its owner shows the rows that match); Down, or Enter, moves the focus to the first
// row shown; Escape clears the text, and only an empty field passes Escape on to its dialog.
#pragma once

#include <QLineEdit>
#include <QString>

class QAbstractItemView;

namespace tovu::ui {

class FilterField final : public QLineEdit {
    Q_OBJECT
public:
    explicit FilterField(QWidget* parent = nullptr);

    // The list that Down and Enter move to.
    void setList(QAbstractItemView* list) { list_ = list; }
    // True when a row with this filter text (see filterText in ChannelListModel.h) is shown.
    [[nodiscard]] bool matches(const QString& rowFilterText) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void focusFirstShownRow();

    QAbstractItemView* list_ = nullptr;
};

}  // namespace tovu::ui
