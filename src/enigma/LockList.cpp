#include "enigma/Bouquets.h"
#include "enigma/FileHelpers.h"
#include "enigma/ScanFields.h"
#include "enigma/ServiceTables.h"

#include <cstring>

namespace tovu {

int FindServiceByRef(const ServiceRef& ref) {
    return FindServiceIndex(static_cast<uint16_t>(ref.serviceId),
                            static_cast<uint16_t>(ref.transportStreamId),
                            static_cast<uint16_t>(ref.originalNetworkId), ref.nameSpace);
}

int ParseServiceRef(const char* line, ServiceRef* ref) {
    int read;
    const char* mark = std::strstr(line, "#SERVICE");
    if (mark == nullptr) return 0;
    if (mark[8] == ':' || std::strstr(mark + 1, "#SERVICE:") != nullptr)
        read = ScanFields(line, "#SERVICE: %x:%x:%x:%x:%x:%x:%x", &ref->type, &ref->flags, &ref->serviceType,
                          &ref->serviceId, &ref->transportStreamId, &ref->originalNetworkId, &ref->nameSpace);
    else
        read = ScanFields(line, "#SERVICE %x:%x:%x:%x:%x:%x:%x", &ref->type, &ref->flags, &ref->serviceType,
                          &ref->serviceId, &ref->transportStreamId, &ref->originalNetworkId, &ref->nameSpace);
    return read == 7 ? 1 : 0;
}

int ReadLockList(FILE* file) {
    char line[kReadLineBufferSize];
    while (ReadLineUnpadded(file, line, sizeof line) == 0) {
        if (std::strchr(line, ':') == nullptr) continue;
        ServiceRef ref{};
        if (ScanFields(line, "%x:%x:%x:%x:%x:%x:%x", &ref.type, &ref.flags, &ref.serviceType, &ref.serviceId,
                       &ref.transportStreamId, &ref.originalNetworkId, &ref.nameSpace) != 7) {
            std::printf("locked service read failed, skip\n");
            break;
        }
        const int index = FindServiceByRef(ref);
        if (index >= 0)
            serviceTable.entries[index].locked = 1;
        else
            std::printf(
                "file \".\\services\" not include this locked service:\n serviceID: %X transponderID: %X "
                "networkID: %X namespace: %X\n",
                ref.serviceId, ref.transportStreamId, ref.originalNetworkId, ref.nameSpace);
    }
    return 0;
}

}  // namespace tovu
