#pragma once
#include "netblock/EncodeError.h"
#include "netblock/NetworkSettings.h"

namespace netsetup {

// Record bytes -> what the window shows. Never fails: every byte pattern has a meaning.
NetworkFields decodeNetworkSettings(const SettingsArea& area);

// Overwrites the edited fields of `area` (the area just read) from `fields`; every other byte
// stays as read. Fields are checked in record order and the first refusal is returned, in
// which case `area` is left exactly as it was.
EncodeResult encodeNetworkSettings(const NetworkFields& fields, SettingsArea& area);

}  // namespace netsetup
