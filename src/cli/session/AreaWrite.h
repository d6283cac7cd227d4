#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "cli/formats/BackupFile.h"
#include "cli/session/CliFailure.h"
#include "cli/session/Session.h"
#include "cli/session/WriteOutcome.h"

namespace netsetup::cli {

// Where a write's backup goes: a file given, which must not exist yet, or else the first free
// name in `folder` after a stem ("<stem>TIME.txt", "<stem>TIME-2.txt"...; the folder is made,
// owner-only, when missing); or a backup already saved.
struct BackupPlace {
  std::string file;
  std::string folder;
  std::string stem;
  bool saved = false;     // `file` is the backup of this very area, saved by the caller
  std::string name = {};  // the instrument's, for the backup's header
};

// The backup of `area` as read now from the session's instrument, named `name`.
Backup backupOf(const Session& session, const SettingsArea& area, const std::string& name);

// Saves `text` at `place`, never replacing a file; the path used.
Result<std::string> saveAt(const BackupPlace& place, const std::string& text);

// Saves `area` as read from the session's instrument at `place`; the path used. A failure says
// nothing was written.
CliResult<std::string> saveBackup(Session& session, const SettingsArea& area, const BackupPlace& place);

// Where a write is recorded in the log of writes, and as what.
struct LogPlace {
  std::string path;     // empty: not recorded
  std::string command;  // "write", "apply", "restore", "batch"
  std::string name;     // the instrument's, when given
};

struct StoreRequest {
  SettingsArea before{};  // the area just read
  SettingsArea wanted{};  // what to store: bytes not to change as read
  std::vector<std::string_view> named;  // the fields the command named; none for a whole area
  BackupPlace backup;
  bool verify = true;
  LogPlace log = {};
};

// The one way the tool writes an instrument: a last stop point, the backup of `before` (nothing
// is sent without one), the write of bytes 0..194 of `wanted`, then reading it back when asked.
// Once the first chunk is out a single interrupt lets the write and its reading back finish
// (the caller sees it through the interrupts and says so); a second stops at the next chunk.
// The value, or the failure's `write` once the backup step was reached, says what the instrument
// is known to hold. Every write that got past its backup is added to the log of writes, however
// it ended (a log that cannot be written is said on standard error).
CliResult<WriteOutcome> storeArea(Session& session, const StoreRequest& request);

// After a write that went through: kExitInterrupted when an interrupt came while it was being
// finished, saying what was done (`done`: the command's own line for it) and carrying the
// outcome; otherwise nothing.
CliResult<> stopAfterFinishing(Session& session, const WriteOutcome& outcome, const std::string& done);

// "chunk 4 of 5 was sent but not confirmed (code 2: no answer in time); chunks 1-3 are written
// and confirmed; chunk 5 was not sent"; interrupted: "chunks 1-3 are written and confirmed;
// chunks 4-5 were not sent".
std::string writeFailureText(const TransferFailure& failure);

// "written and confirmed: ip; not written: password; ...": what became of each field to change.
std::string fatesText(const WriteOutcome& outcome);

}  // namespace netsetup::cli
