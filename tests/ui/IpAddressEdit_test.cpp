// The receiver address field: blank, partly filled and typed addresses, and its keys.
#include "UiTestSupport.h"

#include "ui/IpAddressEdit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QTest>

namespace tovu::ui {
namespace {

// The address between two other edits of a window.
struct AddressHarness {
    AddressHarness() {
        auto* layout = new QHBoxLayout(&window);
        for (QWidget* w : std::initializer_list<QWidget*>{before, edit, after}) layout->addWidget(w);
        window.show();
        QApplication::setActiveWindow(&window);
        edit->field(0)->setFocus();
    }
    QApplication& app = test::uiApplication();  // before any widget
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    IpAddressEdit* edit = new IpAddressEdit(&window);
    QLineEdit* after = new QLineEdit(&window);
};

struct FieldsCase {
    const char* name;
    const char* fields[4];
    std::optional<uint32_t> address;
};

class IpAddressFields : public testing::TestWithParam<FieldsCase> {};

TEST_P(IpAddressFields, GiveTheAddressWithTheFirstFieldMostSignificant) {
    const FieldsCase& c = GetParam();
    AddressHarness h;
    for (int k = 0; k < 4; ++k) h.edit->field(k)->setText(QString::fromLatin1(c.fields[k]));
    EXPECT_EQ(h.edit->address(), c.address);
    EXPECT_EQ(h.edit->isBlank(), !c.address.has_value());
}

INSTANTIATE_TEST_SUITE_P(Values, IpAddressFields,
                         testing::Values(FieldsCase{"AllEmpty", {"", "", "", ""}, std::nullopt},
                                         FieldsCase{"Full", {"192", "168", "1", "20"}, 0xC0A80114u},
                                         FieldsCase{
                                             "EmptyFieldsCountAsZero", {"10", "", "", "7"}, 0x0A000007u},
                                         FieldsCase{"OnlyLastField", {"", "", "", "1"}, 1u},
                                         FieldsCase{"AllZero", {"0", "0", "0", "0"}, 0u},
                                         FieldsCase{"Highest", {"255", "255", "255", "255"}, 0xFFFFFFFFu}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(IpAddressEdit, OnlyDigitsAreTakenAndValuesAbove255BecomeTheLimit) {
    AddressHarness h;
    QTest::keyClicks(h.edit->field(1), "a-9");
    EXPECT_EQ(h.edit->field(1)->text(), "9");
    h.edit->field(2)->setFocus();
    QTest::keyClicks(h.edit->field(2), "300");
    EXPECT_EQ(h.edit->field(2)->text(), "255");
}

// One Tab stop: Tab enters the address at its first number and leaves it from any number, both
// ways; a full number, '.', Right at a number's end and Left at its start move between numbers.
TEST(IpAddressEdit, IsOneTabStopWhoseNumbersAreReachedWithDotAndArrows) {
    AddressHarness h;
    h.before->setFocus();
    const struct {
        const char* typed;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QWidget* focus;
    } steps[] = {{"", Qt::Key_Tab, {}, h.edit->field(0)},
                 {"192", Qt::Key_0, {}, h.edit->field(1)},
                 {"8", Qt::Key_Period, {}, h.edit->field(2)},
                 {"", Qt::Key_Tab, {}, h.after},
                 {"", Qt::Key_Tab, Qt::ShiftModifier, h.edit->field(0)},
                 {"", Qt::Key_End, {}, h.edit->field(0)},
                 {"", Qt::Key_Right, {}, h.edit->field(1)},
                 {"", Qt::Key_Home, {}, h.edit->field(1)},
                 {"", Qt::Key_Left, {}, h.edit->field(0)},
                 {"", Qt::Key_Period, {}, h.edit->field(1)},
                 {"3", Qt::Key_Right, {}, h.edit->field(2)},
                 {"", Qt::Key_Backtab, {}, h.before}};
    for (const auto& step : steps) {
        QTest::keyClicks(QApplication::focusWidget(), step.typed);
        QTest::keyClick(QApplication::focusWidget(), step.key, step.modifiers);
        EXPECT_EQ(QApplication::focusWidget(), step.focus) << step.typed << " " << step.key;
    }
    EXPECT_EQ(h.edit->address(), std::optional<uint32_t>(0xC0030000u));
}

}  // namespace
}  // namespace tovu::ui
