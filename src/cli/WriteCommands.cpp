// The commands that write: write and restore. Both back the area up first, write, and verify.
#include <cstring>

#include "cli/BackupFile.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/ExitCodes.h"
#include "cli/Files.h"
#include "netblock/NetworkCodec.h"

namespace netsetup::cli {

namespace {

bool sameWrittenBytes(const SettingsArea& a, const SettingsArea& b) {
  return std::memcmp(a.data(), b.data(), kWrittenAreaSize) == 0;
}

// Backs `before` up, writes `after`, verifies. The backup is saved before anything is sent: a
// backup that cannot be saved stops the write.
int store(Session& session, const CliOptions& options, Io io, const SettingsArea& before, const SettingsArea& after,
          std::string& backupPath) {
  if (const int exit = session.stopPoint()) return exit;
  Backup backup{session.type(), session.target().address, utcNow(), before};
  backupPath = options.backup.empty() ? defaultBackupPath(backup.address, backup.timeUtc) : options.backup;
  if (std::string e = writeTextFile(backupPath, formatBackup(backup, decodeNetworkSettings(before)), true); !e.empty()) {
    return complain(io, kExitRefused, e + " for the backup; nothing was written to the instrument");
  }
  if (const int exit = session.writeArea(after, backupPath)) return exit;
  if (!options.verify) return kExitOk;
  if (const int exit = session.verify(after)) {
    return complain(io, exit, "the area as it was before is in " + backupPath);
  }
  return kExitOk;
}

std::string joined(const std::vector<std::string_view>& names) {
  std::string text;
  for (std::string_view name : names) text += (text.empty() ? "" : ", ") + std::string(name);
  return text;
}

}  // namespace

int runWrite(const CliOptions& options, Tmod07& link, Io io) {
  FieldOverlay overlay;
  if (!options.file.empty()) {
    if (const int exit = loadSheet(options.file, io, overlay)) return exit;
  }
  overlay.insert(overlay.end(), options.sets.begin(), options.sets.end());  // --set wins over the sheet

  Target target;
  if (std::string e = resolveTarget(options.link, link, target); !e.empty()) return complain(io, kExitUsage, e);
  Session session(link, io, target, options.link.trace);
  SettingsArea area{};
  if (const int exit = session.connectAndRead(area)) return exit;

  // Every value is judged before anything is sent, with the window's own checks.
  const NetworkFields current = decodeNetworkSettings(area);
  NetworkFields wanted = current;
  if (auto e = applyOverlay(wanted, overlay)) return complain(io, kExitRefused, *e + "; nothing was written");
  SettingsArea updated = area;
  if (const EncodeResult encoded = encodeNetworkSettings(wanted, updated); !encoded.ok()) {
    return complain(io, kExitRefused, refusalText(*encoded.error) + "; nothing was written");
  }
  const std::vector<std::string_view> changed = differingFields(current, decodeNetworkSettings(updated));
  if (sameWrittenBytes(area, updated)) {
    io.out << "address " << int{target.address} << " on " << target.description
           << " already holds these values; nothing was written\n";
    return kExitOk;
  }
  std::string backupPath;
  if (const int exit = store(session, options, io, area, updated, backupPath)) return exit;
  io.out << "wrote " << (changed.empty() ? std::string("the area (no field changed)") : joined(changed))
         << " to address " << int{target.address} << " on " << target.description
         << (options.verify ? "; verified by reading back" : "; not verified (--no-verify)") << '\n'
         << "backup of the area before: " << backupPath << '\n';
  return kExitOk;
}

int runRestore(const CliOptions& options, Tmod07& link, Io io) {
  const std::optional<std::string> text = readTextFile(options.file);
  if (!text) return complain(io, kExitUsage, "cannot read the backup " + options.file);
  const BackupParse parsed = parseBackup(*text);
  if (!parsed.backup) return complain(io, kExitRefused, options.file + ": " + parsed.error + "; nothing was written");
  const Backup& backup = *parsed.backup;
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

  Target target;
  if (std::string e = resolveTarget(linkOptions, link, target); !e.empty()) return complain(io, kExitUsage, e);
  Session session(link, io, target, options.link.trace);
  SettingsArea area{};
  if (const int exit = session.connectAndRead(area)) return exit;
  if (sameWrittenBytes(area, backup.area)) {
    io.out << "address " << int{target.address} << " already holds the area of " << options.file
           << "; nothing was written\n";
    return kExitOk;
  }
  std::string backupPath;
  if (const int exit = store(session, options, io, area, backup.area, backupPath)) return exit;
  io.out << "restored address " << int{target.address} << " on " << target.description << " from " << options.file
         << " (bytes 0-" << kWrittenAreaSize - 1 << ")" << (options.verify ? "; verified by reading back" : "")
         << '\n'
         << "backup of the area before: " << backupPath << '\n';
  return kExitOk;
}

}  // namespace netsetup::cli
