// The commands that write: write and restore. Each backs the area up first, writes, and
// verifies, through storeArea.
#include <cstring>

#include "cli/AreaWrite.h"
#include "cli/BackupFile.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/FieldWrite.h"
#include "cli/Files.h"
#include "cli/GivenValues.h"
#include "cli/Records.h"
#include "cli/WrittenText.h"
#include "config/FileStore.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

// "the backup of address 1 at 10.20.0.11:10001 (pump-north), taken 2026-12-07T11:22:33Z".
std::string origin(const Backup& backup) {
  return "the backup of address " + std::to_string(backup.address) + (backup.link.empty() ? "" : " at " + backup.link) +
         (backup.name.empty() ? "" : " (" + visibleText(backup.name) + ")") + ", taken " + backup.timeUtc;
}

bool sameWrittenBytes(const SettingsArea& a, const SettingsArea& b) {
  return std::memcmp(a.data(), b.data(), kWrittenAreaSize) == 0;
}

}  // namespace

CommandResult runWrite(const CliOptions& options, const Context& context) {
  const CliResult<FieldOverlay> values = givenValues(options);
  if (!values) return values.failure();
  const CliResult<Target> target = resolveTarget(options.link, context.link);
  if (!target) return target.failure();
  Session session(context, *target, options.link.trace);
  const CliResult<FieldWrite> done =
      writeNamedFields(session, *values, backupPlace(options, *target), logPlace(options), options.verify, false);
  if (!done) return done.failure();
  const std::vector<std::string> lines = writtenLines(*target, *done, options.verify);
  if (done->write) {
    if (CliResult<> stopped = stopAfterFinishing(session, *done->write, lines.front()); !stopped) {
      return stopped.failure();
    }
  }
  for (const std::string& line : lines) context.io.out << line << '\n';
  return kExitOk;
}

CommandResult runRestore(const CliOptions& options, const Context& context) {
  const Result<std::string> text = readTextFile(options.file, "the backup");
  if (!text) return CliFailure::of(kExitUsage, text.failure());
  const Result<Backup> parsed = parseBackup(*text);
  if (!parsed) {
    return CliFailure{kExitRefused, options.file + ": " + parsed.failure().text() + "; nothing was written"};
  }
  const Backup& backup = *parsed;
  if (backup.type != kExpectedDeviceType && !options.force) {
    return CliFailure{kExitRefused, options.file + " was saved from a \"" + backup.type + "\", not a " +
                                        kExpectedDeviceType + "; nothing was written"};
  }
  // Without --address the backup goes back where it came from.
  LinkOptions linkOptions = options.link;
  if (!linkOptions.address) linkOptions.address = backup.address;
  const CliResult<Target> resolved = resolveTarget(linkOptions, context.link);
  if (!resolved) return resolved.failure();
  const Target& target = *resolved;
  // Another instrument's area would give this one its addresses: only when forced.
  const bool elsewhere = target.address != backup.address || (!backup.link.empty() && backup.link != target.where);
  if (elsewhere && !options.force) {
    return CliFailure{kExitRefused, options.file + " is " + origin(backup) + "; this is address " +
                                        std::to_string(target.address) + " at " + target.where +
                                        ". Give --force to restore it here; nothing was written"};
  }
  Session session(context, target, options.link.trace);
  const CliResult<SettingsArea> area = session.connectAndRead();
  if (!area) return area.failure();
  if (sameWrittenBytes(*area, backup.area)) {
    context.io.out << "address " << int{target.address} << " already holds the area of " << options.file
                   << "; nothing was written\n";
    return kExitOk;
  }
  const CliResult<WriteOutcome> stored =
      storeArea(session,
                StoreRequest{*area, backup.area, {}, backupPlace(options, target), options.verify, logPlace(options)});
  if (!stored) return stored.failure();
  const std::string done = "restored address " + std::to_string(target.address) + " on " + target.description +
                           " from " + files::absolutePath(options.file) + ", " + origin(backup) + " (bytes 0-" +
                           std::to_string(kWrittenAreaSize - 1) + ")" +
                           (options.verify ? "; verified by reading back" : "");
  if (CliResult<> stopped = stopAfterFinishing(session, *stored, done); !stopped) return stopped.failure();
  context.io.out << done << "\nbackup of the area before: " << stored->backupPath << '\n';
  return kExitOk;
}

}  // namespace netsetup::cli
