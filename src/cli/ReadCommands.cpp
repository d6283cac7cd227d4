// The commands that only read: identify, read, backup, diff.
#include "cli/BackupFile.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/FieldEdit.h"
#include "cli/Files.h"
#include "cli/Formats.h"
#include "cli/Sheet.h"
#include "cli/UtcTime.h"
#include "netblock/NetworkCodec.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

// What the commands that only read start with: the instrument's area, the link closed again.
struct Reading {
  Target target;
  std::string type;
  SettingsArea area{};
};

int readInstrument(const CliOptions& options, Tmod07& link, Io io, Reading& reading) {
  const Result<Target> target = resolveTarget(options.link, link);
  if (!target) return complain(io, kExitUsage, target.failure().text());
  reading.target = *target;
  Session session(link, io, reading.target, options.link.trace);
  if (const int exit = session.connectAndRead(reading.area)) return exit;
  reading.type = session.type();
  return kExitOk;
}

}  // namespace

int loadSheet(const std::string& path, Io io, FieldOverlay& overlay) {
  const Result<std::string> text = readTextFile(path, "the sheet");
  if (!text) return complain(io, kExitUsage, text.failure().text());
  const Result<FieldOverlay> sheet = parseSheet(*text);
  if (!sheet) return complain(io, kExitUsage, path + ": " + sheet.failure().text());
  overlay = *sheet;
  return kExitOk;
}

int runIdentify(const CliOptions& options, Tmod07& link, Io io) {
  const Result<Target> target = resolveTarget(options.link, link);
  if (!target) return complain(io, kExitUsage, target.failure().text());
  Session session(link, io, *target, options.link.trace);
  if (const int exit = session.open()) return exit;
  const int exit = session.identify();
  if (!session.type().empty()) io.out << visibleBytes(session.type()) << '\n';
  return exit;
}

int runRead(const CliOptions& options, Tmod07& link, Io io) {
  Reading reading;
  if (const int exit = readInstrument(options, link, io, reading)) return exit;
  // The password only when asked for, in a file as on the screen: a sheet without it keeps the
  // instrument's password when it is written back.
  const std::string text = formatFields(decodeNetworkSettings(reading.area), options.format, options.showPassword);
  if (options.output.empty()) {
    io.out << text;
    return kExitOk;
  }
  if (const Result<void> written = writeTextFile(options.output, text, true); !written) {
    return complain(io, kExitUsage, written.failure().text());
  }
  io.err << kComplaintPrefix << "the settings of address " << int{reading.target.address} << " are in " << options.output
         << '\n';
  return kExitOk;
}

int runBackup(const CliOptions& options, Tmod07& link, Io io) {
  Reading reading;
  if (const int exit = readInstrument(options, link, io, reading)) return exit;
  const Target& target = reading.target;
  const Backup backup{reading.type, target.address, utcNow(), reading.area};
  const std::string text = formatBackup(backup, decodeNetworkSettings(backup.area));
  if (const Result<void> written = writeTextFile(options.file, text, true); !written) {
    return complain(io, kExitUsage, written.failure().text());
  }
  io.out << "backup of address " << int{target.address} << " on " << target.description << " saved to "
         << options.file << '\n';
  return kExitOk;
}

int runDiff(const CliOptions& options, Tmod07& link, Io io) {
  FieldOverlay sheet;
  if (const int exit = loadSheet(options.file, io, sheet)) return exit;
  Reading reading;
  if (const int exit = readInstrument(options, link, io, reading)) return exit;
  // Compared as they would be stored, so "$10" and "16" are the same port.
  const Result<FieldEdit> edited = editNamedFields(reading.area, sheet);
  if (!edited) return complain(io, kExitRefused, edited.failure().text());
  const FieldEdit& edit = *edited;
  for (const NamedField& field : edit.named)
    if (field.changed) io.out << changeLine(field) << '\n';
  if (edit.changed.empty()) io.out << "no differences\n";
  return edit.changed.empty() ? kExitOk : kExitDiffers;
}

}  // namespace netsetup::cli
