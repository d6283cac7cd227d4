#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "netblock/NetworkSettings.h"
#include "text/Result.h"

namespace netsetup {

using InstrumentMemory = std::array<uint8_t, 65536>;


// The settings area of a freshly configured instrument: a static address on 192.168.0.x, a
// dispatch server, a modem profile, and non-zero filler wherever the tool must carry bytes through.
SettingsArea defaultSettingsArea();

// Whole memory: an address-derived pattern with the default settings area in place.
InstrumentMemory defaultMemory();

// An image file holds exactly 65536 bytes. A failed load leaves `memory` untouched, a save never
// leaves a half-written file behind.
Result<void> loadMemoryImage(const std::string& path, InstrumentMemory& memory);
Result<void> saveMemoryImage(const std::string& path, const InstrumentMemory& memory);

}  // namespace netsetup
