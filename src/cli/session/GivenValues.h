#pragma once
#include <ostream>
#include <string>
#include <string_view>

#include "cli/session/CliFailure.h"
#include "cli/session/CliOptions.h"
#include "cli/formats/FieldNames.h"

namespace netsetup::cli {

// The fields of a settings sheet file, each with its file and line as origin. `what` names the
// file in a refusal ("the sheet", "the template").
// A sheet can come from a pipe ("-" is standard input). What the sheet leaves out without a word
// (lines outside [settings]) is said on `notes`.
CliResult<FieldOverlay> loadSheet(const std::string& path, std::string_view what, std::ostream& notes);

// What write and apply are asked to store: --template, then the sheet, then --set (each later
// one wins), every value judged before any instrument is touched.
CliResult<FieldOverlay> givenValues(const CliOptions& options, std::ostream& notes);

}  // namespace netsetup::cli
