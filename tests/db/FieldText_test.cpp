#include "db/FieldText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace tovu {
namespace {

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
        FieldCase{"ZeroFlagsUnlocked", none, kFieldParentLock, "UnLocked"},
        FieldCase{"ZeroFlagsLeft", none, kFieldAudioTrack, "Left"},
        FieldCase{"ZeroFlagsSubtitleOff", none, kFieldSubtitle, "Off"},
        FieldCase{"ZeroFlagsNotDescrambled", none, kFieldDescrambled, "No"},
        FieldCase{"ZeroFlagsUnknownType", none, kFieldProgType, "Unkownn"},
        FieldCase{"Locked", [](ChannelRecord& r) { r.flags = 0xFFFFFFFF; }, kFieldParentLock, "Locked"},
        FieldCase{"Right", [](ChannelRecord& r) { r.flags = 1 << 1; }, kFieldAudioTrack, "Right"},
        FieldCase{"Stereo", [](ChannelRecord& r) { r.flags = 2 << 1; }, kFieldAudioTrack, "Stereo"},
        FieldCase{"Mono", [](ChannelRecord& r) { r.flags = 0xFFFFFFFF; }, kFieldAudioTrack, "Mono"},
        FieldCase{"SubtitleOn", [](ChannelRecord& r) { r.flags = 1 << 8; }, kFieldSubtitle, "On"},
        FieldCase{"Descrambled", [](ChannelRecord& r) { r.flags = 1 << 20; }, kFieldDescrambled, "Yes"},
        FieldCase{"Tv", [](ChannelRecord& r) { r.flags = 1 << 21; }, kFieldProgType, "TV"},
        FieldCase{"Radio", [](ChannelRecord& r) { r.flags = 2 << 21; }, kFieldProgType, "Radio"},
        FieldCase{"TypeThree", [](ChannelRecord& r) { r.flags = 3 << 21; }, kFieldProgType, "Unkownn"},
        FieldCase{"Qam16", none, kFieldQam, "16QAM"},
        FieldCase{"Qam256", [](ChannelRecord& r) { r.qam = 4; }, kFieldQam, "256QAM"},
        FieldCase{"Qam5", [](ChannelRecord& r) { r.qam = 5; }, kFieldQam, "Unknown QAM"},
        FieldCase{"QamHuge", [](ChannelRecord& r) { r.qam = 0x80000000; }, kFieldQam, "Unknown QAM"},
        FieldCase{"AnnexAC", none, kFieldAnnex, "Annex A,C"},
        FieldCase{"AnnexB", [](ChannelRecord& r) { r.annex = 2; }, kFieldAnnex, "Annex B"},
        FieldCase{"ServiceIdUnsigned", [](ChannelRecord& r) { r.serviceId = 0xFFFF; }, kFieldServiceId,
                  "65535"},
        FieldCase{"TransponderId", [](ChannelRecord& r) { r.transponderId = 42; }, kFieldTransponderId, "42"},
        FieldCase{"NetworkId", [](ChannelRecord& r) { r.originalNetworkId = 318; }, kFieldOriginalNetworkId,
                  "318"},
        FieldCase{"Frequency", [](ChannelRecord& r) { r.frequencyKHz = 474000; }, kFieldFrequency,
                  "474000 KHz"},
        FieldCase{"FrequencySigned", [](ChannelRecord& r) { r.frequencyKHz = 0xFFFFFFFF; }, kFieldFrequency,
                  "-1 KHz"},
        FieldCase{"SymbolRate", [](ChannelRecord& r) { r.symbolRate = 6875; }, kFieldSymbolRate, "6875 Kbs"},
        FieldCase{"SymbolRateSigned", [](ChannelRecord& r) { r.symbolRate = 0x80000000; }, kFieldSymbolRate,
                  "-2147483648 Kbs"},
        FieldCase{"Field4Empty", [](ChannelRecord& r) { r.flags = 0xFFFFFFFF; }, 4, ""},
        FieldCase{"Field6Empty", none, 6, ""}, FieldCase{"Field16Empty", none, 16, ""},
        FieldCase{"FieldHugeEmpty", none, 0xFFFFFFFF, ""},
        FieldCase{"ShortName", [](ChannelRecord& r) { std::memcpy(r.name.data(), "BBC\0xyz", 7); },
                  kFieldName, "BBC"},
        FieldCase{"FullName", [](ChannelRecord& r) { r.name.fill('Z'); }, kFieldName,
                  "ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(FormatChannelField, OnlyValidIndexesWriteText) {
    auto image = std::make_unique<ChannelDbImage>();
    ChannelRecord r;
    r.serviceId = 7;
    ASSERT_EQ(addChannel(*image, r), 0);
    char out[kFieldTextSize] = "unchanged";
    EXPECT_EQ(formatChannelField(*image, 1, out, kFieldServiceId), 0);
    EXPECT_STREQ(out, "unchanged");
    EXPECT_EQ(formatChannelField(*image, -1, out, kFieldServiceId), 0);
    ASSERT_EQ(formatChannelField(*image, 0, out, kFieldServiceId), 1);
    EXPECT_STREQ(out, "7");
}

}  // namespace
}  // namespace tovu
