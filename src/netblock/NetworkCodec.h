#pragma once
#include "netblock/EncodeError.h"
#include "netblock/NetworkSettings.h"

namespace netsetup {

// Record bytes -> what the window shows. Never fails: every byte pattern has a meaning.
NetworkFields decodeNetworkSettings(const SettingsArea& area);

// Overwrites the edited fields of `area` (the area just read) from `fields`; every other byte
// stays as read. The ports are checked first, then the other fields in record order; the
// first refusal is returned, and `area` is then left exactly as it was.
EncodeResult encodeNetworkSettings(const NetworkFields& fields, SettingsArea& area);

}  // namespace netsetup
