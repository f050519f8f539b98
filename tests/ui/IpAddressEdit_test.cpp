// The receiver address field: blank, partly filled and typed addresses.
#include "UiTestSupport.h"

#include "ui/IpAddressEdit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QTest>

namespace tovu::ui {
namespace {

struct AddressHarness {
    AddressHarness() {
        edit.show();
        QApplication::setActiveWindow(&edit);
        edit.field(0)->setFocus();
    }
    QApplication& app = test::uiApplication();  // before any widget
    IpAddressEdit edit;
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
    for (int k = 0; k < 4; ++k) h.edit.field(k)->setText(QString::fromLatin1(c.fields[k]));
    EXPECT_EQ(h.edit.address(), c.address);
    EXPECT_EQ(h.edit.isBlank(), !c.address.has_value());
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

TEST(IpAddressEdit, TypingMovesOnAtDotsAndFullFields) {
    AddressHarness h;
    QTest::keyClicks(h.edit.field(0), "192");  // three digits move on by themselves
    QTest::keyClicks(QApplication::focusWidget(), "168.");
    QTest::keyClicks(QApplication::focusWidget(), "1.");
    QTest::keyClicks(QApplication::focusWidget(), "20");
    EXPECT_EQ(h.edit.address(), std::optional<uint32_t>(0xC0A80114u));
}

TEST(IpAddressEdit, OnlyDigitsAreTakenAndValuesAbove255BecomeTheLimit) {
    AddressHarness h;
    QTest::keyClicks(h.edit.field(1), "a-9");
    EXPECT_EQ(h.edit.field(1)->text(), "9");
    h.edit.field(2)->setFocus();
    QTest::keyClicks(h.edit.field(2), "300");
    EXPECT_EQ(h.edit.field(2)->text(), "255");
}

// Tab enters the address at its first number and leaves it from any number, both ways.
TEST(IpAddressEdit, IsOneTabStopWhoseNumbersAreReachedWithDotAndArrows) {
    test::uiApplication();
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* before = new QLineEdit(&window);
    auto* edit = new IpAddressEdit(&window);
    auto* after = new QLineEdit(&window);
    for (QWidget* w :
         {static_cast<QWidget*>(before), static_cast<QWidget*>(edit), static_cast<QWidget*>(after)})
        layout->addWidget(w);
    window.show();
    QApplication::setActiveWindow(&window);
    before->setFocus();
    const struct {
        const char* typed;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QWidget* focus;
    } steps[] = {{"", Qt::Key_Tab, {}, edit->field(0)},
                 {"10", Qt::Key_Period, {}, edit->field(1)},
                 {"", Qt::Key_Tab, {}, after},
                 {"", Qt::Key_Tab, Qt::ShiftModifier, edit->field(0)},
                 {"", Qt::Key_End, {}, edit->field(0)},
                 {"", Qt::Key_Right, {}, edit->field(1)},
                 {"2", Qt::Key_Left, {}, edit->field(1)},
                 {"", Qt::Key_Left, {}, edit->field(0)},
                 {"", Qt::Key_Period, {}, edit->field(1)},
                 {"3", Qt::Key_Right, {}, edit->field(2)},
                 {"", Qt::Key_Backtab, {}, before}};
    for (const auto& step : steps) {
        QTest::keyClicks(QApplication::focusWidget(), step.typed);
        QTest::keyClick(QApplication::focusWidget(), step.key, step.modifiers);
        EXPECT_EQ(QApplication::focusWidget(), step.focus) << step.typed << " " << step.key;
    }
    EXPECT_EQ(edit->address(), std::optional<uint32_t>(0x0A030000u));
}

}  // namespace
}  // namespace tovu::ui
