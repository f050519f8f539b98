// Database files and provider lists for the end-to-end tests of the link.
#pragma once

#include "support/TestSupport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tovu::test {

// A valid 0x50000-byte .kdat file whose image bytes are a pattern drawn from `seed`.
std::vector<uint8_t> patternKdat(uint32_t seed);
std::string writePatternKdat(const TempDir& dir, const std::string& name, uint32_t seed);

// A small cable.xml with `cables` cables of `perCable` transponders each.
std::string cableXml(int cables, int perCable);

// The simulator's lines until it stops (after stop() was asked for).
std::vector<std::string> remainingLines(class SimProcess& sim);

}  // namespace tovu::test
