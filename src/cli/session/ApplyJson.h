#pragma once
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "cli/session/CliFailure.h"
#include "cli/formats/FieldEdit.h"
#include "cli/session/Target.h"
#include "cli/session/WriteOutcome.h"

namespace netsetup::cli {

// What apply's object is made of, each part as far as the run got.
struct ApplyState {
  std::optional<Target> target;
  std::string type;                    // what identification answered
  std::optional<FieldEdit> edit;       // the named fields compared (a run that got that far)
  std::optional<WriteOutcome> write;   // a write that began: what the instrument holds now
  std::optional<CliFailure> failure;   // how it ended, when not as asked
};

// read --json's one object, line included: the instrument (type, address, link; null where not
// known) and its fields as read --format json gives them, or, after a failure, no fields and
// `msg` and `rc`.
std::string formatReadJson(const std::optional<Target>& target, const std::string& type,
                           const std::optional<SettingsArea>& area, const CliFailure* failure, bool showPassword);

// apply's one JSON object and its line break, for every outcome: `after` holds what the
// instrument is known to hold (null, and named in `unknown`, for a field a write left in doubt),
// `changed` is true only when the instrument certainly holds something new (or, with --check,
// would). `msg` (every line of the failure) and `rc` come with a failure. The password shows as
// *** unless `showPassword`.
std::string formatApplyJson(const ApplyState& state, bool showPassword);

// Runs a command that answers as apply does: with `json`, its object for however the run ended
// is all that goes to `out`; the failure is still returned, for the exit status and standard error.
CliResult<int> answerAsApply(bool json, bool showPassword, std::ostream& out,
                             const std::function<CliResult<>(ApplyState&)>& run);

}  // namespace netsetup::cli
