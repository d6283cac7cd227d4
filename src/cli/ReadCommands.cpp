// The commands that only read: identify, read, backup, diff.
#include <array>

#include "cli/session/ApplyJson.h"
#include "cli/session/AreaWrite.h"
#include "cli/formats/BackupFile.h"
#include "cli/session/Records.h"
#include "cli/Commands.h"
#include "cli/session/ExitCodes.h"
#include "cli/formats/FieldEdit.h"
#include "cli/console/Files.h"
#include "cli/formats/Formats.h"
#include "cli/session/GivenValues.h"
#include "cli/session/Session.h"
#include "cli/console/UtcTime.h"
#include "files/FileStore.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

// What the commands that only read start with: the instrument's area, the link closed again.
struct Reading {
  Target target;
  std::string type;
  SettingsArea area{};
};

CliResult<Reading> readInstrument(const LinkOptions& options, const Context& context) {
  const CliResult<Target> target = resolveTarget(options, context.link);
  if (!target) return target.failure();
  Session session(context, *target, options.trace);
  const CliResult<SettingsArea> area = session.connectAndRead();
  if (!area) return area.failure();
  return Reading{*target, session.type(), *area};
}

// Names that stand for standard output rather than a file to replace.
bool isStandardOutput(const std::string& path) {
  constexpr std::array<std::string_view, 4> kNames{"-", "/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"};
  return std::find(kNames.begin(), kNames.end(), path) != kNames.end();
}

// -o never replaces what the same command reads, nor a backup: either would lose what is in it.
CliResult<> checkOutputFile(const CliOptions& options) {
  const std::string& output = options.output;
  for (const std::string* input : {&options.link.settingsFile, &options.file, &options.templateSheet}) {
    if (!input->empty() && files::sameFile(output, *input)) {
      return CliFailure{kExitUsage, "-o " + output + " is the file " + *input +
                                        " this command reads; give the output another name. Nothing was written"};
    }
  }
  if (const Result<std::string> current = files::readFile(output); current && looksLikeBackup(*current)) {
    return CliFailure{kExitUsage, "-o " + output + " is a netsetup backup, which read never replaces; give the "
                                  "output another name. Nothing was written"};
  }
  return {};
}

}  // namespace

CommandResult runIdentify(const CliOptions& options, const Context& context) {
  const CliResult<Target> target = resolveTarget(options.link, context.link);
  if (!target) return target.failure();
  Session session(context, *target, options.link.trace);
  if (CliResult<> opened = session.open(); !opened) return opened.failure();
  const CliResult<> identified = session.identify();
  if (!session.type().empty()) context.io.out << visibleBytes(session.type()) << '\n';
  if (!identified) return identified.failure();
  return kExitOk;
}

// read --json: one object whatever happens, for tools that gather a fleet's settings.
CommandResult readJson(const CliOptions& options, const Context& context) {
  const CliResult<Target> target = resolveTarget(options.link, context.link);
  if (!target) {
    context.io.out << formatReadJson(std::nullopt, "", std::nullopt, &target.failure(), false);
    return target.failure();
  }
  Session session(context, *target, options.link.trace);
  const CliResult<SettingsArea> area = session.connectAndRead();
  const CliFailure* failure = area ? nullptr : &area.failure();
  context.io.out << formatReadJson(*target, session.type(), area ? std::optional(*area) : std::nullopt, failure,
                                   options.showPassword);
  if (!area) return area.failure();
  return kExitOk;
}

CommandResult runRead(const CliOptions& options, const Context& context) {
  if (options.json) return readJson(options, context);
  const bool toFile = !options.output.empty() && !isStandardOutput(options.output);
  if (toFile) {
    if (CliResult<> usable = checkOutputFile(options); !usable) return usable.failure();
  }
  const CliResult<Reading> reading = readInstrument(options.link, context);
  if (!reading) return reading.failure();
  // As stored, the addresses kept while DHCP is on included, so that writing this back changes
  // nothing. The password only when asked for, in a file as on the screen: a sheet without it
  // keeps the instrument's password when it is written back.
  const std::string text = formatFields(storedFields(reading->area), options.format, options.showPassword);
  if (!toFile) {
    context.io.out << text;
    return kExitOk;
  }
  if (const Result<void> written = writeTextFile(options.output, text, true); !written) {
    return CliFailure::of(kExitUsage, written.failure());
  }
  context.io.err << kComplaintPrefix << "the settings of address " << int{reading->target.address} << " are in "
                 << options.output << '\n';
  return kExitOk;
}

CommandResult runBackup(const CliOptions& options, const Context& context) {
  const CliResult<Target> target = resolveTarget(options.link, context.link);
  if (!target) return target.failure();
  Session session(context, *target, options.link.trace);
  const CliResult<SettingsArea> area = session.connectAndRead();
  if (!area) return area.failure();
  const Backup backup = backupOf(session, *area, options.name);
  const std::string text = formatBackup(backup, storedFields(backup.area));
  // A FILE named is the user's to replace; a name the tool chooses never replaces one.
  Result<std::string> saved = files::absolutePath(options.file);
  if (options.file.empty()) {
    saved = saveAt(backupPlace(options, *target), text);
  } else if (const Result<void> written = writeTextFile(options.file, text, true); !written) {
    saved = written.failure();
  }
  if (!saved) return CliFailure::of(kExitUsage, saved.failure());
  context.io.out << "backup of address " << int{target->address} << " on " << target->description << " saved to "
                 << *saved << '\n';
  return kExitOk;
}

CommandResult runDiff(const CliOptions& options, const Context& context) {
  CliResult<FieldOverlay> sheet = loadSheet(options.file, "the sheet", context.io.err);
  if (!sheet) return sheet.failure();
  if (Result<void> checked = checkValues(*sheet); !checked) return CliFailure{kExitRefused, checked.failure().text()};
  const CliResult<Reading> reading = readInstrument(options.link, context);
  if (!reading) return reading.failure();
  // Compared as they would be stored, so "$10" and "16" are the same port.
  const Result<FieldEdit> edited = editNamedFields(reading->area, *sheet);
  if (!edited) return CliFailure{kExitRefused, edited.failure().text()};
  for (const NamedField& field : edited->named)
    if (field.changed) context.io.out << changeLine(field) << '\n';
  if (edited->changed.empty()) context.io.out << "no differences\n";
  return edited->changed.empty() ? kExitOk : kExitDiffers;
}

}  // namespace netsetup::cli
