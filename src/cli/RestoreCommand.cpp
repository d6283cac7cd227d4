// restore: puts a backup's settings area back into the instrument it came from.
#include "cli/session/ApplyJson.h"
#include "cli/session/AreaWrite.h"
#include "cli/formats/BackupFile.h"
#include "cli/Commands.h"
#include "cli/session/ExitCodes.h"
#include "cli/formats/FieldEdit.h"
#include "cli/console/Files.h"
#include "cli/session/Records.h"
#include "files/FileStore.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

// "the backup of address 1 at 10.20.0.11:10001 (pump-north), taken 2026-12-07T11:22:33Z".
std::string origin(const Backup& backup) {
  return "the backup of address " + std::to_string(backup.address) + (backup.link.empty() ? "" : " at " + backup.link) +
         (backup.name.empty() ? "" : " (" + visibleText(backup.name) + ")") + ", taken " + backup.timeUtc;
}

// A backup the command line may put back: whole, of this type of instrument, and from the
// instrument the link reaches (or forced).
CliResult<Backup> usableBackup(const CliOptions& options) {
  const Result<std::string> text = readTextFile(options.file, "the backup");
  if (!text) return CliFailure::of(kExitUsage, text.failure());
  Result<Backup> parsed = parseBackup(*text);
  if (!parsed) return CliFailure{kExitRefused, options.file + ": " + parsed.failure().text() + "; nothing was written"};
  if (parsed->type != kExpectedDeviceType && !options.force) {
    return CliFailure{kExitRefused, options.file + " was saved from a \"" + parsed->type + "\", not a " +
                                        kExpectedDeviceType + "; nothing was written"};
  }
  return std::move(*parsed);
}

CliResult<> restoreArea(const CliOptions& options, const Context& context, ApplyState& state) {
  const CliResult<Backup> backup = usableBackup(options);
  if (!backup) return backup.failure();
  // Without --address the backup goes back where it came from.
  LinkOptions linkOptions = options.link;
  if (!linkOptions.address) linkOptions.address = backup->address;
  const CliResult<Target> resolved = resolveTarget(linkOptions, context.link);
  if (!resolved) return resolved.failure();
  const Target& target = *resolved;
  state.target = target;
  if (!options.check) {
    if (CliResult<> writable = writableAddress(target, options.broadcast); !writable) return writable.failure();
  }
  // Another instrument's area would give this one its addresses: only when forced.
  const bool elsewhere = target.address != backup->address || (!backup->link.empty() && backup->link != target.where);
  if (elsewhere && !options.force) {
    return CliFailure{kExitRefused, options.file + " is " + origin(*backup) + "; this is address " +
                                        std::to_string(target.address) + " at " + target.where +
                                        ". Give --force to restore it here; nothing was written"};
  }
  Session session(context, target, options.link.trace);
  const CliResult<SettingsArea> area = session.connectAndRead();
  state.type = session.type();
  if (!area) return area.failure();
  const FieldEdit edit = wholeAreaEdit(*area, backup->area);
  state.edit = edit;
  std::ostream& out = context.io.out;
  const bool text = !options.json;
  if (options.showDiff && text) {
    for (const NamedField& field : edit.named) out << changeLine(field) << '\n';
  }
  const std::string where = "address " + std::to_string(target.address) + " on " + target.description;
  if (edit.area == edit.read) {
    if (text) out << where << " already holds the area of " << options.file << "; nothing was written\n";
    return {};
  }
  if (options.check) {
    if (text) out << where << " would change to " << origin(*backup) << "; nothing was written (--check)\n";
    return {};
  }
  const CliResult<WriteOutcome> stored = storeArea(
      session, StoreRequest{*area, edit.area, edit.namedNames(), backupPlace(options, target), options.verify,
                            logPlace(options)});
  if (!stored) {
    state.write = stored.failure().write;
    return stored.failure();
  }
  state.write = *stored;
  const std::string done = "restored " + where + " from " + files::absolutePath(options.file) + ", " +
                           origin(*backup) + " (bytes 0-" + std::to_string(kWrittenAreaSize - 1) + ")" +
                           (options.verify ? "; verified by reading back" : "");
  if (CliResult<> stopped = stopAfterFinishing(session, *stored, done); !stopped) return stopped.failure();
  if (text) out << done << "\nbackup of the area before: " << stored->backupPath << '\n';
  return {};
}

}  // namespace

CommandResult runRestore(const CliOptions& options, const Context& context) {
  return answerAsApply(options.json, options.showPassword, context.io.out,
                       [&](ApplyState& state) { return restoreArea(options, context, state); });
}

}  // namespace netsetup::cli
