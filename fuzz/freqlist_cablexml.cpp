// loadCableXml on arbitrary file content: the list must stay within its 30812 filled bytes and
// the counts within their limits, whatever the XML holds.
#include "db/DbImage.h"
#include "freqlist/ProviderFreqList.h"

#include <sys/mman.h>
#include <unistd.h>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The input becomes a file in memory that the loader opens by path.
int memoryFile() {
    static const int fd = memfd_create("cable.xml", MFD_CLOEXEC);
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = memoryFile();
    if (fd < 0 || ftruncate(fd, 0) != 0) return 0;
    if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
    // Exactly the filled part, so that the sanitizers see any write past it.
    std::vector<uint8_t> list(tovu::kFreqListFilledSize);
    tovu::loadCableXml("/proc/self/fd/" + std::to_string(fd), list.data());
    const uint32_t cables = tovu::readLe32(list.data() + tovu::kCableCountOffset);
    const uint32_t transponders = tovu::freqListTransponderCount(list.data());
    if (cables > tovu::kMaxCables || transponders > tovu::kMaxTransponders) std::abort();
    (void)tovu::storeFreqListChecksum(list.data());
    return 0;
}
