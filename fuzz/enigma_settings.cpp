// Fuzz target: the lamedb/services reader (or the lamedb5 reader, for an input that begins like
// one) on arbitrary bytes, then the sort and the dump. Each line is also read with the formats of
// the reader, quickly and with sscanf, and the numbers of the dump are formatted both ways: the
// results must agree.
#include "enigma/DmPool.h"
#include "enigma/OutputText.h"
#include "enigma/QuietDiagnostics.h"
#include "enigma/ScanFields.h"
#include "enigma/ServiceTables.h"
#include "enigma/SettingsParser.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The quick reading of a line with a format of conversions into T against sscanf.
template <typename T>
void compareScan(const char* line, const char* format) {
    T a[7] = {}, b[7] = {};
    if (tovu::ScanFields(line, format, &a[0], &a[1], &a[2], &a[3], &a[4], &a[5], &a[6]) !=
            std::sscanf(line, format, &b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &b[6]) ||
        std::memcmp(a, b, sizeof a) != 0)
        __builtin_trap();
}

void compareFormats(const char* line) {
    for (const char* format : {"%x:%x:%x", "#SERVICE: %x:%x:%x:%x:%x:%x:%x", "%x:%x:%x:%x:%x:%x:%x"})
        compareScan<unsigned>(line, format);
    for (const char* format : {"\ts %d:%d:%d:%d:%d", "\tc %d:%d:%d:%d"}) compareScan<int>(line, format);
    // The numbers of the dump, formatted both ways.
    const auto n = static_cast<uint32_t>(std::strtoul(line, nullptr, 16));
    char quick[64], reference[64];
    *tovu::OutputText::hex(tovu::OutputText::decimal(quick, static_cast<int16_t>(n), 4), n, 8) = '\0';
    std::snprintf(reference, sizeof reference, "%4d%8X", static_cast<int16_t>(n), n);
    if (std::strcmp(quick, reference) != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::vector<uint8_t> bytes(data, data + size);
    const std::string text(bytes.begin(), bytes.end());
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = std::min(text.find('\n', start), text.size());
        compareFormats(text.substr(start, std::min<size_t>(end - start, 1022)).c_str());
    }
    FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    if (file == nullptr) return 0;
    tovu::QuietDiagnostics quiet;
    if (text.rfind("eDVB services /5/", 0) == 0) {
        (void)tovu::ParseLamedb5(file);
    } else {
        (void)tovu::TranspondersSection(file);
        (void)tovu::ServicesSection(file);
    }
    std::fclose(file);
    tovu::SortServices();
    tovu::DumpServices(tovu::serviceTable.entries, tovu::serviceTable.count);
    for (int i = 1; i < tovu::serviceTable.count; ++i) {
        const tovu::ServiceEntry& a = tovu::serviceTable.entries[i - 1];
        const tovu::ServiceEntry& b = tovu::serviceTable.entries[i];
        if (a.serviceType != 1 && a.serviceType != 2) __builtin_trap();
        if (a.orbitalPosition > b.orbitalPosition && a.frequencyMHz != b.frequencyMHz) __builtin_trap();
    }
    tovu::ReleaseServiceTable();
    tovu::ReleaseTransponderTable();
    if (tovu::liveBlockCount != 0) __builtin_trap();
    return 0;
}
