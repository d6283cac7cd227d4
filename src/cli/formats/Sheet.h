#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/formats/FieldNames.h"
#include "config/IniFile.h"
#include "netblock/NetworkSettings.h"
#include "text/Result.h"

namespace netsetup::cli {

// The settings sheet: an INI file with a [settings] section of name=value lines, read by the
// same private-profile rules as the window's settings file, so a person can edit it in any
// editor. Texts are UTF-8.

// The longest line a sheet may hold: the profile reader takes no more of a value, and a longer
// line is refused rather than cut.
inline constexpr size_t kMaxSheetLineLength = ini::kMaxValueLength;

// Whether `name`=`value` fits on one sheet line, quotes included.
bool fitsSheetLine(std::string_view name, std::string_view value);

// The sheet for `fields` (as stored: the addresses too while DHCP is on, with a note, so that
// writing the sheet back changes nothing). Without `showPassword` the password line is
// commented out (written back, "***" would keep the instrument's password too). A value the
// reader could not give back exactly (one holding a line break, or too long for a line) is left
// out, with a comment saying so.
std::string formatSheet(const NetworkFields& fields, bool showPassword);

// The fields a sheet sets, by canonical name in the sheet's order, each with its origin
// "<source> line N". Refuses, in one line, a sheet without exactly one [settings] section, an
// unknown or repeated name, a line in [settings] that is neither NAME=VALUE nor a comment, and a
// line longer than kMaxSheetLineLength bytes.
Result<FieldOverlay> parseSheet(std::string_view text, std::string_view source = "sheet");

// What the reader leaves out without a word, for a note: the NAME=VALUE lines outside
// [settings] ("<source> line 7: ip=10.0.0.5 is in [setting], not in [settings]; left out").
std::vector<std::string> sheetNotes(std::string_view text, std::string_view source = "sheet");

}  // namespace netsetup::cli
