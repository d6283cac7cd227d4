#pragma once
#include <optional>
#include <ostream>
#include <string>

#include "cli/CliOptions.h"
#include "cli/FieldEdit.h"
#include "cli/Session.h"
#include "link/Umod07.h"

namespace netsetup::cli {

// How far a write of named fields went, for write's lines and apply's object. A part is set
// once its step has run.
struct FieldWrite {
  std::optional<Target> target;
  std::string type;               // what the instrument said it is
  SettingsArea read{};            // the area as read
  std::optional<FieldEdit> edit;  // the area read, every named value accepted
  std::string backupPath;
  bool sent = false;      // writing began, so the instrument may hold new values
  bool verified = false;  // read back after the write and found as written
};

// The fields of --template, then the sheet, then --set (each later one wins), on the instrument
// the link options name: read, compared by their stored bytes and, when one differs and
// `compareOnly` is false, backed up, written and verified as write does. Every failure is
// printed to io.err; returns the exit status.
int writeNamedFields(const CliOptions& options, Tmod07& link, Io io, bool compareOnly, FieldWrite& outcome);

// What write prints once writeNamedFields went through: what was written (or that nothing
// needed writing), the addresses stored otherwise than typed, and the backup.
void printWritten(const CliOptions& options, const FieldWrite& outcome, std::ostream& out);

// apply's one JSON object, line included, for every outcome: `exit` and `message` (the
// complaints) are added when `exit` is not kExitOk. The password shows as *** unless
// `showPassword`.
std::string formatApplyJson(const FieldWrite& outcome, bool showPassword, int exit, const std::string& message);

}  // namespace netsetup::cli
