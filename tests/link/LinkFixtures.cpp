#include "LinkFixtures.h"

#include "SimProcess.h"

#include "db/DbImage.h"
#include "db/KdatBuilder.h"

#include <random>

namespace tovu::test {

std::vector<uint8_t> patternKdat(uint32_t seed) {
    std::vector<uint8_t> image(kImageSize);
    std::mt19937 rng(seed);
    for (auto& b : image) b = static_cast<uint8_t>(rng());
    return buildKdat(image);
}

std::string writePatternKdat(const TempDir& dir, const std::string& name, uint32_t seed) {
    const std::string path = dir.file(name);
    writeFileBytes(path, patternKdat(seed));
    return path;
}

std::string cableXml(int cables, int perCable) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<cables>\n";
    for (int c = 0; c < cables; ++c) {
        xml += "  <cable name=\"Cable " + std::to_string(c) + "\">\n";
        for (int t = 0; t < perCable; ++t)
            xml += "    <transponder frequency=\"" + std::to_string(114000000 + 8000000 * t) +
                   "\" symbol_rate=\"6900000\" modulation=\"3\" annex=\"0\"/>\n";
        xml += "  </cable>\n";
    }
    return xml + "</cables>\n";
}

std::vector<std::string> remainingLines(SimProcess& sim) {
    (void)sim.stop();
    std::vector<std::string> lines;
    for (std::string line = sim.nextLine(2000); !line.empty(); line = sim.nextLine(2000))
        lines.push_back(line);
    return lines;
}

}  // namespace tovu::test
