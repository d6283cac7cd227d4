#pragma once
#include <string>
#include <string_view>

#include "cli/FieldNames.h"
#include "netblock/NetworkSettings.h"

namespace netsetup::cli {

// The settings sheet: an INI file with a [settings] section of name=value lines, read by the
// same private-profile rules as the window's settings file, so a person can edit it in any
// editor. Texts are UTF-8.

// The sheet for `fields`. Without `showPassword` the password line is commented out, so that
// writing a printed sheet keeps the instrument's password instead of storing "***". A value
// the reader could not give back exactly (one holding a line break) is left out, with a
// comment saying so.
std::string formatSheet(const NetworkFields& fields, bool showPassword);

struct SheetResult {
  FieldOverlay fields;  // canonical names, in the sheet's order
  std::string error;    // one line; empty when the sheet was read
};

// The fields a sheet sets. Refuses a sheet without exactly one [settings] section, an unknown
// or repeated name, and a line in [settings] that is neither NAME=VALUE nor a comment.
SheetResult parseSheet(std::string_view text);

}  // namespace netsetup::cli
