// Helpers of the import tests: output capture, settings-folder text and a clean import state.
#pragma once

#include "db/FavLists.h"
#include "enigma/DmPool.h"
#include "enigma/EnigmaImport.h"
#include "enigma/ServiceTables.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tovu::test {

struct Captured {
    std::string out;
    std::string err;
};

// Runs f with standard output and standard error captured.
template <typename F>
Captured capture(F&& f) {
    std::fflush(nullptr);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    f();
    std::fflush(nullptr);
    std::string out = testing::internal::GetCapturedStdout();
    return {out, testing::internal::GetCapturedStderr()};
}

// A read-only stream over the given bytes (a temporary file that vanishes on close).
inline FILE* streamOf(const std::string& bytes) {
    FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    return file;
}

inline void writeText(const TempDir& dir, const std::string& name, const std::string& text) {
    writeFileBytes(dir.file(name), std::vector<uint8_t>(text.begin(), text.end()));
}

inline std::string format(const char* fmt, auto... args) {
    char text[512];
    std::snprintf(text, sizeof text, fmt, args...);
    return text;
}

// Settings-file text.
inline std::string cableTransponder(uint32_t ns, uint16_t ts, uint16_t on, int kHz, int symbols = 6875000,
                                    int modulation = 3) {
    return format("%08x:%04x:%04x\n\tc %d:%d:2:%d:0:0:0\n/\n", ns, ts, on, kHz, symbols, modulation);
}
inline std::string serviceText(uint16_t sid, uint32_t ns, uint16_t ts, uint16_t on, int type,
                               const std::string& name) {
    return format("%04x:%08x:%04x:%04x:%d:0\n", sid, ns, ts, on, type) + name + "\np:Provider\n";
}
inline std::string lamedbText(const std::string& transponders, const std::string& services) {
    return "eDVB services /4/\ntransponders\n" + transponders + "end\nservices\n" + services +
           "end\nEdited by hand\n";
}
// A bouquet line naming a service on cable namespace C00000, network 1.
inline std::string serviceRefLine(uint16_t sid, uint16_t ts, uint32_t ns = 0xC00000, uint16_t on = 1) {
    return format("#SERVICE 1:0:1:%X:%X:%X:%X:0:0:0:\n", sid, ts, on, ns);
}
inline std::string bouquetList(const std::vector<std::string>& files) {
    std::string text = "#NAME User - bouquets (TV)\n";
    for (const std::string& f : files)
        text += "#SERVICE 1:7:1:0:0:0:0:0:0:0:FROM BOUQUET \"" + f + "\" ORDER BY bouquet\n";
    return text;
}

inline std::vector<uint16_t> listItems(const ChannelDbImage& image, int listId) {
    std::vector<uint16_t> items(1000);
    int n = 1000;
    EXPECT_EQ(getListItems(image, listId, n, items.data()), 1) << listId;
    items.resize(static_cast<size_t>(n));
    return items;
}

// Names the rows of a table-driven test by their `name` field, in test names and in listings.
struct RowName {
    template <typename Row>
    std::string operator()(const testing::TestParamInfo<Row>& row) const {
        return row.param.name;
    }
};
namespace {
template <typename Row>
requires requires(const Row& row) { row.name; }
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }
}  // namespace

// Every test starts and ends with an empty import state; a block of the pool that is held
// by nothing the import owns fails the test.
class EnigmaTest : public testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override {
        reset();
        EXPECT_EQ(liveBlockCount, 0) << "pool blocks left behind";
        liveBlockCount = 0;
    }
    static void reset() {
        DmFailAfter(-1);
        capture([] {
            ReleaseImport(&enigmaImportResult);
            ReleaseServiceTable();
            ReleaseTransponderTable();
        });
        importOutOfMemory = false;
    }
};

}  // namespace tovu::test
