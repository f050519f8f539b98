#include "db/FieldText.h"

#include <gtest/gtest.h>

namespace tovu {
namespace {

// The texts a typical service shows are checked through `kdattool list`; these rows are the
// edges: values outside the coded ranges, signed numbers, a name without terminator.
struct FieldCase {
    const char* name;
    void (*setup)(ChannelRecord&);
    unsigned field;
    const char* text;
};

class FieldTexts : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldTexts, ShowTheEditorsWords) {
    ChannelRecord r;
    GetParam().setup(r);
    EXPECT_EQ(recordFieldText(r, GetParam().field), GetParam().text);
}

void none(ChannelRecord&) {}

INSTANTIATE_TEST_SUITE_P(
    Record, FieldTexts,
    ::testing::Values(
        FieldCase{"AnnexAC", none, kFieldAnnex, "Annex A,C"},
        FieldCase{"AnnexB", [](ChannelRecord& r) { r.annex = 2; }, kFieldAnnex, "Annex B"},
        FieldCase{"AllFlagsLocked", [](ChannelRecord& r) { r.flags = ~0u; }, kFieldParentLock, "Locked"},
        FieldCase{"AllFlagsMono", [](ChannelRecord& r) { r.flags = ~0u; }, kFieldAudioTrack, "Mono"},
        FieldCase{"TypeThree", [](ChannelRecord& r) { r.flags = 3 << 21; }, kFieldProgType, "Unkownn"},
        FieldCase{"Qam5", [](ChannelRecord& r) { r.qam = 5; }, kFieldQam, "Unknown QAM"},
        FieldCase{"QamHuge", [](ChannelRecord& r) { r.qam = 0x80000000; }, kFieldQam, "Unknown QAM"},
        FieldCase{"ServiceIdUnsigned", [](ChannelRecord& r) { r.serviceId = 0xFFFF; }, kFieldServiceId,
                  "65535"},
        FieldCase{"FrequencySigned", [](ChannelRecord& r) { r.frequencyKHz = ~0u; }, kFieldFrequency,
                  "-1 KHz"},
        FieldCase{"SymbolRateSigned", [](ChannelRecord& r) { r.symbolRate = 0x80000000; }, kFieldSymbolRate,
                  "-2147483648 Kbs"},
        FieldCase{"Field4Empty", [](ChannelRecord& r) { r.flags = ~0u; }, 4, ""},
        FieldCase{"FieldHugeEmpty", none, 0xFFFFFFFF, ""},
        FieldCase{"FullName", [](ChannelRecord& r) { r.name.fill('Z'); }, kFieldName,
                  "ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tovu
