#pragma once
#include <array>
#include <string>

#include "netblock/EncodeError.h"
#include "netblock/FieldInfo.h"
#include "netblock/NetworkSettings.h"
#include "text/Result.h"

namespace netsetup {

// Record bytes -> what the window shows. Never fails: every byte pattern has a meaning.
NetworkFields decodeNetworkSettings(const SettingsArea& area);

// Overwrites the edited fields of `area` (the area just read) from `fields`; every other byte
// stays as read. The ports are checked first, then the other fields in record order; the
// first refusal is returned, and `area` is then left exactly as it was.
Result<void, EncodeError> encodeNetworkSettings(const NetworkFields& fields, SettingsArea& area);

// Checks one field of `fields` and writes its bytes into `area`, exactly as encodeNetworkSettings
// does for it (an address is judged with `fields.dhcp`); on a refusal `area` is left as it was.
Result<void, EncodeError> encodeField(const NetworkFields& fields, SettingsField field, SettingsArea& area);

// An address field's four bytes in dotted text, whatever the DHCP byte says.
std::string decodeStoredAddress(const SettingsArea& area, SettingsField field);

}  // namespace netsetup
