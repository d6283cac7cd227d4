// The commands that write: write, restore and apply's writing part. Each backs the area up
// first, writes, and verifies.
#include <cstring>

#include "cli/BackupFile.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/FieldEdit.h"
#include "cli/FieldWrite.h"
#include "cli/Files.h"
#include "cli/UtcTime.h"
#include "netblock/NetworkCodec.h"

namespace netsetup::cli {

namespace {

bool sameWrittenBytes(const SettingsArea& a, const SettingsArea& b) {
  return std::memcmp(a.data(), b.data(), kWrittenAreaSize) == 0;
}

// Backs `before` up, writes `after`, verifies. The backup is saved before anything is sent: a
// backup that cannot be saved stops the write.
int store(Session& session, const CliOptions& options, Io io, const SettingsArea& before, const SettingsArea& after,
          FieldWrite& outcome) {
  if (const int exit = session.stopPoint()) return exit;
  const Backup backup{session.type(), session.target().address, utcNow(), before};
  const std::string text = formatBackup(backup, decodeNetworkSettings(before));
  // A backup never replaces a file: a name given is refused when taken, the default one numbered.
  Result<std::string> saved = options.backup;
  if (options.backup.empty()) {
    saved = saveUnderFreeName(defaultBackupStem(backup.address, backup.timeUtc), text);
  } else if (const Result<void> written = saveNewFile(options.backup, text); !written) {
    saved = written.failure();
  }
  if (!saved) {
    return complain(io, kExitRefused,
                    saved.failure().text() + "; no backup, so nothing was written to the instrument" +
                        (options.backup.empty() ? "" : " (give --backup a new file, or leave it out)"));
  }
  outcome.backupPath = *saved;
  TransferResult written;
  const int stored = session.writeArea(after, outcome.backupPath, &written);
  outcome.sent = !nothingSent(written);
  if (stored) return stored;
  if (!options.verify) return kExitOk;
  if (const int exit = session.verify(after)) {
    return complain(io, exit, "the area as it was before is in " + outcome.backupPath);
  }
  outcome.verified = true;
  return kExitOk;
}

}  // namespace

int writeNamedFields(const CliOptions& options, Tmod07& link, Io io, bool compareOnly, FieldWrite& outcome) {
  FieldOverlay overlay, sheet;
  if (!options.templateSheet.empty()) {
    if (const int exit = loadSheet(options.templateSheet, io, overlay)) return exit;
  }
  if (!options.file.empty()) {
    if (const int exit = loadSheet(options.file, io, sheet)) return exit;
  }
  overlay.insert(overlay.end(), sheet.begin(), sheet.end());
  overlay.insert(overlay.end(), options.sets.begin(), options.sets.end());  // --set wins over the sheets

  const Result<Target> resolved = resolveTarget(options.link, link);
  if (!resolved) return complain(io, kExitUsage, resolved.failure().text());
  outcome.target = *resolved;
  Session session(link, io, *outcome.target, options.link.trace);
  SettingsArea& area = outcome.read;
  const int read = session.connectAndRead(area);
  outcome.type = session.type();
  if (read) return read;

  // Every named value is judged before anything is sent, with the window's own checks.
  Result<FieldEdit> edited = editNamedFields(area, overlay);
  if (!edited) return complain(io, kExitRefused, edited.failure().text() + "; nothing was written");
  outcome.edit = std::move(*edited);
  if (outcome.edit->changed.empty() || compareOnly) return kExitOk;
  return store(session, options, io, area, outcome.edit->area, outcome);
}

void printWritten(const CliOptions& options, const FieldWrite& outcome, std::ostream& out) {
  const FieldEdit& edit = *outcome.edit;
  const Target& target = *outcome.target;
  if (edit.changed.empty()) {
    out << "address " << int{target.address} << " on " << target.description
        << " already holds these values; nothing was written\n";
  } else {
    out << "wrote " << joinedNames(edit.changed) << " to address " << int{target.address} << " on "
        << target.description << (options.verify ? "; verified by reading back" : "; not verified (--no-verify)")
        << '\n';
  }
  for (const std::string& line : addressesStoredOtherwise(edit)) out << line << '\n';
  if (!edit.changed.empty()) out << "backup of the area before: " << outcome.backupPath << '\n';
}

int runWrite(const CliOptions& options, Tmod07& link, Io io) {
  FieldWrite outcome;
  if (const int exit = writeNamedFields(options, link, io, false, outcome)) return exit;
  printWritten(options, outcome, io.out);
  return kExitOk;
}

int runRestore(const CliOptions& options, Tmod07& link, Io io) {
  const Result<std::string> text = readTextFile(options.file, "the backup");
  if (!text) return complain(io, kExitUsage, text.failure().text());
  const Result<Backup> parsed = parseBackup(*text);
  if (!parsed) {
    return complain(io, kExitRefused, options.file + ": " + parsed.failure().text() + "; nothing was written");
  }
  const Backup& backup = *parsed;
  if (backup.type != kExpectedDeviceType && !options.force) {
    return complain(io, kExitRefused, options.file + " was saved from a \"" + backup.type + "\", not a " +
                                     kExpectedDeviceType + "; nothing was written");
  }
  // Without --address the backup goes back where it came from.
  LinkOptions linkOptions = options.link;
  if (!linkOptions.address) linkOptions.address = backup.address;
  if (*linkOptions.address != backup.address && !options.force) {
    return complain(io, kExitRefused, options.file + " was saved from address " + std::to_string(backup.address) +
                                     ", not " + std::to_string(*linkOptions.address) +
                                     "; give --force to restore it there. Nothing was written");
  }

  const Result<Target> resolved = resolveTarget(linkOptions, link);
  if (!resolved) return complain(io, kExitUsage, resolved.failure().text());
  const Target& target = *resolved;
  Session session(link, io, target, options.link.trace);
  SettingsArea area{};
  if (const int exit = session.connectAndRead(area)) return exit;
  if (sameWrittenBytes(area, backup.area)) {
    io.out << "address " << int{target.address} << " already holds the area of " << options.file
           << "; nothing was written\n";
    return kExitOk;
  }
  FieldWrite outcome;
  if (const int exit = store(session, options, io, area, backup.area, outcome)) return exit;
  io.out << "restored address " << int{target.address} << " on " << target.description << " from " << options.file
         << " (bytes 0-" << kWrittenAreaSize - 1 << ")" << (options.verify ? "; verified by reading back" : "")
         << '\n'
         << "backup of the area before: " << outcome.backupPath << '\n';
  return kExitOk;
}

}  // namespace netsetup::cli
