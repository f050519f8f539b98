// The receiver address field: blank, partly filled and typed addresses.
#include "UiTestSupport.h"

#include "ui/IpAddressEdit.h"

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

}  // namespace
}  // namespace tovu::ui
