// Fuzz target: ConvertName on arbitrary bytes, with the sizes the import uses and with sizes
// taken from the input.
#include "enigma/CharConvert.h"
#include "enigma/QuietDiagnostics.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void convert(const std::string& source, int ucs2Size, int gbSize) {
    std::vector<uint8_t> ucs2(static_cast<size_t>(ucs2Size));
    std::vector<char> gb(static_cast<size_t>(gbSize));
    const int count = tovu::ConvertName(source.c_str(), ucs2.data(), ucs2Size, gb.data(), gbSize);
    if (count < 0 || 2 * count > ucs2Size) __builtin_trap();
    if (strnlen(gb.data(), gb.size()) >= gb.size()) __builtin_trap();  // always terminated
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    tovu::QuietDiagnostics quiet;
    const std::string source(reinterpret_cast<const char*>(data) + 1, size - 1);  // stops at a NUL
    convert(source, 256, 1024);                                                   // service names
    convert(source, 64, 64);                                                      // bouquet names
    convert(source, 2 * (data[0] % 40), 1 + data[0] % 70);
    return 0;
}
