// Fuzz target: ConvertName on arbitrary bytes, with the sizes the import uses and with sizes
// taken from the input, against a conversion one character at a time.
#include "enigma/CharConvert.h"
#include "enigma/QuietDiagnostics.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The conversion one character at a time, through the decoder and WideCharToAnsi.
int reference(const std::string& source, std::vector<uint8_t>& ucs2, std::string& gb) {
    tovu::Utf8DecoderInit(reinterpret_cast<const uint8_t*>(source.c_str()), std::strlen(source.c_str()));
    int count = 0;
    for (int32_t cp;
         (cp = tovu::Utf8DecoderNext()) != tovu::Utf8End && 2 * (count + 1) <= int(ucs2.size());) {
        ucs2[size_t(2 * count)] = uint8_t((cp & 0xFFFF) >> 8);
        ucs2[size_t(2 * count + 1)] = uint8_t(cp & 0xFF);
        ++count;
        char bytes[3] = {};
        tovu::WideCharToAnsi(bytes, uint16_t(cp & 0xFFFF));
        gb += bytes;
    }
    return count;
}

void convert(const std::string& source, int ucs2Size, int gbSize) {
    std::vector<uint8_t> ucs2(static_cast<size_t>(ucs2Size)), expectedUcs2(ucs2.size());
    std::vector<char> gb(static_cast<size_t>(gbSize));
    const int count = tovu::ConvertName(source.c_str(), ucs2.data(), ucs2Size, gb.data(), gbSize);
    if (count < 0 || 2 * count > ucs2Size) __builtin_trap();
    if (strnlen(gb.data(), gb.size()) >= gb.size()) __builtin_trap();  // always terminated
    std::string expectedGb;
    if (reference(source, expectedUcs2, expectedGb) != count || ucs2 != expectedUcs2 ||
        (gbSize > 0 && expectedGb.substr(0, size_t(gbSize) - 1) != gb.data()))
        __builtin_trap();
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
