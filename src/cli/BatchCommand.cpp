// batch: commissions the instruments of a worklist, one row at a time, into a report.
#include <filesystem>
#include <map>

#include "cli/Arguments.h"
#include "cli/session/AreaWrite.h"
#include "cli/Commands.h"
#include "cli/console/Console.h"
#include "cli/session/ExitCodes.h"
#include "cli/formats/FieldEdit.h"
#include "cli/console/Files.h"
#include "cli/session/GivenValues.h"
#include "cli/console/Progress.h"
#include "cli/session/Records.h"
#include "cli/session/Session.h"
#include "cli/console/UtcTime.h"
#include "cli/formats/SavedText.h"
#include "cli/formats/Worklist.h"
#include "files/FileStore.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

// A row's link cells and the options that take them, in one table: the cells are checked
// exactly as the same options on a command line are, and a refusal names the column.
struct LinkCell {
  std::string WorkRow::*cell;
  std::string_view column, option;
};
constexpr LinkCell kLinkCells[] = {{&WorkRow::serial, "serial", "--serial"},
                                   {&WorkRow::baud, "baud", "--baud"},
                                   {&WorkRow::tcp, "tcp", "--tcp"},
                                   {&WorkRow::address, "address", "--address"}};

std::string columnOf(std::string_view option) {
  for (const LinkCell& link : kLinkCells)
    if (link.option == option) return std::string(link.column);
  return std::string(option);
}

// "work.csv line 3 (pump 5)": where a row's complaint comes from.
std::string rowPlace(const std::string& worklist, const WorkRow& row) {
  return worklist + " line " + std::to_string(row.line) + (row.name.empty() ? "" : " (" + visibleText(row.name) + ")");
}

// Why a row's link cells cannot be used, in the worklist's words: its columns, not options.
std::string rowLinkError(const std::string& place, const UsageError& error) {
  const std::vector<std::string_view>& options = error.options;
  if (options.size() == 2) {
    return place + ": the columns " + columnOf(options[0]) + " and " + columnOf(options[1]) +
           " cannot both be filled in one row; empty one of them";
  }
  if (options.size() == 1) return place + ", column " + columnOf(options[0]) + ": " + error.message;
  return place + ": " + error.message;
}

// The link a row names, every cell it needs filled: an empty address would reach address 1, an
// instrument the row may not mean.
Result<LinkOptions> rowLink(const std::string& worklist, const WorkRow& row) {
  const std::string place = rowPlace(worklist, row);
  std::vector<std::string> args{"identify"};
  for (const LinkCell& link : kLinkCells) {
    if ((row.*link.cell).empty()) continue;
    args.emplace_back(link.option);
    args.push_back(row.*link.cell);
  }
  const Result<CliOptions, UsageError> parsed = parseArguments(args);
  if (!parsed) return Failure{rowLinkError(place, parsed.failure())};
  const LinkOptions& link = parsed->link;
  if (link.serial.empty() && link.tcpHost.empty()) {
    return Failure{place + ": the row names no link: fill in serial and baud, or tcp"};
  }
  if (!link.serial.empty() && !link.baud) return Failure{place + ", column baud: a serial row needs its rate"};
  if (!link.address) {
    return Failure{place + ", column address: empty; every row needs its instrument's network address"};
  }
  return link;
}

// A row as it will run: its link, and the template's values under its own cells.
struct PlannedRow {
  WorkRow row;
  LinkOptions link;
  Target target;  // its host name looked up once, here
  FieldOverlay values;
};

// Everything a row needs, for every row, before any instrument is touched: the link cells, the
// values (from the template and the cells), and no instrument named twice (the second row would
// undo the first), no write to address 0 unless --broadcast. A refusal names the file, line and
// column. `common`: the batch's own options (--wait, --timeout, --broadcast), for every row.
CliResult<std::vector<PlannedRow>> planRows(const std::string& file, const Worklist& worklist,
                                             const FieldOverlay& shared, const CliOptions& common, Tmod07& link) {
  std::vector<PlannedRow> planned;
  std::map<std::string, const WorkRow*> instruments;
  if (Result<void> checked = checkValues(shared); !checked) {
    return CliFailure{kExitRefused, checked.failure().text() + "; no instrument was touched"};
  }
  for (const WorkRow& row : worklist.rows) {
    Result<LinkOptions> options = rowLink(file, row);
    if (!options) return CliFailure{kExitUsage, options.failure().text() + "; no instrument was touched"};
    options->waitSeconds = common.link.waitSeconds;
    options->timeoutMs = common.link.timeoutMs;
    if (Result<void> checked = checkValues(row.fields); !checked) {
      return CliFailure{kExitRefused, checked.failure().text() + "; no instrument was touched"};
    }
    const CliResult<Target> target = resolveTarget(*options, link);
    if (!target) {
      CliFailure failure = target.failure();
      failure.message = rowPlace(file, row) + ": " + failure.message;
      failure.reason += "; no instrument was touched";
      return failure;
    }
    if (CliResult<> writable = writableAddress(*target, common.broadcast); !writable) {
      return CliFailure{kExitUsage, rowPlace(file, row) + ", column address: " + writable.failure().message};
    }
    const auto [first, isNew] = instruments.emplace(target->instrument, &row);
    if (!isNew) {
      return CliFailure{kExitUsage, file + " lines " + std::to_string(first->second->line) + " and " +
                                        std::to_string(row.line) + " both name address " +
                                        std::to_string(target->address) + " on " + target->line +
                                        ": the second would undo the first. Keep one row per instrument; no "
                                        "instrument was touched"};
    }
    PlannedRow plan{row, *options, *target, shared};
    plan.values.insert(plan.values.end(), row.fields.begin(), row.fields.end());
    planned.push_back(std::move(plan));
  }
  return planned;
}

// How the names of a row's backups start: "pump 1-backup-a1-COM3-", "backup-a1-10.0.0.5_10001-",
// the link as the row's cell spells it, so that a later run finds those of an earlier one.
std::string backupPrefix(const WorkRow& row, uint8_t address) {
  return backupStem(row.name, linkFileName(row.tcp.empty() ? row.serial : row.tcp), address);
}

// The report row of a write that ran: the fields it is known to have written, and whatever
// left the others in doubt.
void describeWrite(const WriteOutcome& write, ReportRow& result) {
  std::string written;
  for (const std::string& name : write.fates().written) written += (written.empty() ? "" : ";") + name;
  result.changed = written;
}

// Connect, identify, back up, compare, write what differs, verify: the row's outcome.
// `firstBackup`: the earliest backup of the row the report names, if any.
ReportRow runRow(const PlannedRow& plan, const std::string& key, const std::string& backupFolder,
                 const std::string& firstBackup, const std::string& log, const Context& context,
                 const std::string& traceHeading) {
  const WorkRow& row = plan.row;
  ReportRow result{utcNow(), key, row.name, "", row.address, std::string(kOutcomeFailed), "", "", "", firstBackup};
  const auto failed = [&](const CliFailure& failure) {
    result.error = failure.oneLine();
    if (failure.write) {
      describeWrite(*failure.write, result);
      if (!failure.write->backupPath.empty()) result.backup = failure.write->backupPath;
    }
    return result;
  };
  // A row's serial device path is put behind a port number of the link's map for the row.
  if (!plan.link.serial.empty()) static_cast<void>(resolveTarget(plan.link, context.link));
  const Target& target = plan.target;
  result.link = target.description;
  result.address = std::to_string(target.address);
  // An earlier try may have written the instrument already (a run killed mid-row leaves no line
  // in the report): its backup holds the area as it was before, whether or not this try connects.
  const std::string prefix = backupPrefix(row, target.address);
  if (result.firstBackup.empty()) result.firstBackup = oldestSaved(backupFolder, prefix).value_or("");

  if (!traceHeading.empty()) context.io.err << traceHeading << '\n';
  Session session(context, target, !traceHeading.empty());
  const CliResult<SettingsArea> area = session.connectAndRead();
  if (!area) return failed(area.failure());
  const Result<FieldEdit> edited = editNamedFields(*area, plan.values);
  if (!edited) return failed(CliFailure{kExitRefused, edited.failure().text() + "; nothing was written"});
  // Every row keeps a backup of the area it found, written to or not.
  const CliResult<std::string> saved = saveBackup(session, *area, BackupPlace{"", backupFolder, prefix, false, row.name});
  if (!saved) return failed(saved.failure());
  result.backup = *saved;
  if (edited->changed.empty()) {
    result.outcome = kOutcomeUnchanged;
    return result;
  }
  const CliResult<WriteOutcome> stored =
      storeArea(session, StoreRequest{*area, edited->area, edited->namedNames(), BackupPlace{*saved, "", "", true}, true,
                                      LogPlace{log, "batch", row.name}});
  if (!stored) return failed(stored.failure());
  describeWrite(*stored, result);
  result.outcome = kOutcomeOk;
  return result;
}

// "site/r-backups" for "site/r.csv".
std::string backupFolderOf(const std::string& report) {
  const size_t name = report.find_last_of("/\\") + 1;  // 0 without a folder
  const size_t dot = report.rfind('.');
  return files::absolutePath(report.substr(0, dot != std::string::npos && dot > name ? dot : report.size()) + "-backups");
}

// What was done to a row, for a row the report could not take: "written (server_port) and
// verified; the area before is in r-backups/...".
std::string whatWasDone(const ReportRow& row) {
  std::string text = row.outcome == kOutcomeOk          ? "written (" + row.changed + ") and verified"
                     : row.outcome == kOutcomeUnchanged ? "it held these values already, nothing was written"
                                                        : "failed: " + row.error;
  if (!row.backup.empty()) text += "; the area before is in " + row.backup;
  if (!row.firstBackup.empty()) text += " (before the first try: " + row.firstBackup + ")";
  return text;
}

// What a batch holds while it runs: its report locked, the rows done before, the backups' folder
// and the key of the report's digests.
struct OpenReport {
  files::FileLock lock;
  DoneRows done;
  std::string backupFolder;
  std::string secret;
};

// A leftover of a run killed while it saved a backup ("<name>.txt.<process>-<n>.tmp"): never a
// whole backup, so it goes, and is named.
std::vector<std::string> removeHalfSavedBackups(const std::string& folder) {
  std::vector<std::string> removed;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(files::nativePath(folder), error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = files::utf8Path(entry->path().filename());
    if (!name.ends_with(".tmp") || name.find(".txt.") == std::string::npos) continue;
    if (const std::string path = files::inFolder(folder, name); files::removeFile(path)) removed.push_back(path);
  }
  return removed;
}

// Before any instrument is touched: one batch per report (a second one would write every
// instrument again and every row twice; the lock goes with the report's real file, whatever
// name or link it is given by), the report begun if new and readable, and the backups' folder
// beside it ready, with the key for the report's digests.
CliResult<OpenReport> openReport(const std::string& report, std::ostream& notes) {
  const std::string lockPath = files::realPath(report) + ".lock";
  Result<files::LockAttempt> lock = files::tryLock(lockPath);
  if (!lock) return CliFailure::of(kExitUsage, lock.failure(), "; nothing was done");
  if (!lock->lock) {
    return CliFailure{kExitUsage, "the report " + report + " is in use by another batch: " + lock->heldBy + " holds " +
                                      lockPath + ". Wait for it to end, or give another report; nothing was done"};
  }
  const auto begin = [](const std::string& current) { return current.empty() ? reportHeader() : current; };
  if (const Result<void> begun = files::updateFile(report, begin); !begun) {
    return CliFailure::of(kExitUsage, begun.failure(), "; no instrument was touched");
  }
  const Result<std::string> reportText = readTextFile(report, "the report");
  if (!reportText) return CliFailure::of(kExitUsage, reportText.failure(), "; no instrument was touched");
  Result<DoneRows> done = doneRows(*reportText, report);
  if (!done) return CliFailure{kExitUsage, done.failure().text()};
  std::string backupFolder = backupFolderOf(report);
  if (const Result<void> ready = prepareFolder(backupFolder); !ready) {
    return CliFailure::of(kExitUsage, ready.failure(), "; the backups go there, so no instrument was touched");
  }
  for (const std::string& removed : removeHalfSavedBackups(backupFolder)) {
    notes << kComplaintPrefix << "removed " << removed << ", a backup half saved by a run that was stopped\n";
  }
  Result<std::string> secret = folderSecret(backupFolder);
  if (!secret) return CliFailure::of(kExitUsage, secret.failure(), "; no instrument was touched");
  return OpenReport{std::move(*lock->lock), std::move(done).value(), std::move(backupFolder), std::move(*secret)};
}

// The worklist read, decoded and planned, with the template's values shared by every row; no
// instrument is touched yet.
CliResult<std::vector<PlannedRow>> planWorklist(const CliOptions& options, const Context& context) {
  const Io io = context.io;
  const Result<std::string> bytes = readTextFile(options.file, "the worklist");
  if (!bytes) return CliFailure::of(kExitUsage, bytes.failure());
  const Result<SavedText> text = decodeSavedText(*bytes, options.file, kSaveCsvAsUtf8);
  if (!text) return CliFailure{kExitUsage, text.failure().text()};
  if (!text->note.empty()) io.err << kComplaintPrefix << text->note << '\n';
  const Result<Worklist> parsed = parseWorklist(text->utf8, options.file);
  if (!parsed) return CliFailure{kExitUsage, options.file + ": " + parsed.failure().text()};
  if (options.link.trace) {
    io.err << "-- " << options.file << ": cells separated by '" << parsed->separator << "', as its header line has them\n";
  }
  // The values every row shares; a row's own cells come after them, so they win.
  FieldOverlay shared;
  if (!options.templateSheet.empty()) {
    CliResult<FieldOverlay> sheet = loadSheet(options.templateSheet, "the template", io.err);
    if (!sheet) return sheet.failure();
    shared = std::move(*sheet);
  }
  return planRows(options.file, *parsed, shared, options, context.link);
}

struct BatchTally {
  size_t failures = 0;
  size_t skipped = 0;  // done in an earlier run with the same values
};

// Row `index` of the plan, unless an earlier run did it with these values: run, put in the
// report and counted. A failure ends the batch (an interrupt, a report that cannot be written).
CliResult<> runPlannedRow(size_t index, const PlannedRow& plan, const OpenReport& opened, const CliOptions& options,
                          const Context& context, Progress& progress, BatchTally& tally) {
  const WorkRow& row = plan.row;
  const DoneRows& done = opened.done;
  const std::string label = row.name.empty() ? "line " + std::to_string(row.line) : row.name;
  if (context.interrupts.any()) {
    return CliFailure{kExitInterrupted, "interrupted before " + label + "; run again with the same report to go on"};
  }
  const std::string key = resumeKey(row, plan.values, opened.secret);
  if (done.keys.count(key)) {
    ++tally.skipped;
    progress.note(label + ": done in an earlier run with these values, skipped");
    return {};
  }
  progress.at(index, label);
  const auto first = done.firstBackups.find(rowKey(row));
  // Each row's frames under a heading of their own.
  const std::string heading =
      options.link.trace ? "-- " + rowPlace(options.file, row) + ": address " + std::to_string(plan.target.address) +
                               " on " + plan.target.description
                         : "";
  const ReportRow result = runRow(plan, key, opened.backupFolder, first == done.firstBackups.end() ? "" : first->second,
                                  logPath(options), context, heading);
  if (const Result<void> added =
          appendTextFile(options.report, reportHeader(), formatReportRow(result, done.earlierLayout));
      !added) {
    return CliFailure::of(kExitUsage, added.failure(),
                          "; " + label + " is not in the report: " + whatWasDone(result) + ". Stopped before the next row");
  }
  if (result.outcome == kOutcomeFailed) ++tally.failures;
  progress.note(label + ": " + result.outcome + (result.changed.empty() ? "" : " (" + result.changed + ")") +
                (result.error.empty() ? "" : ": " + result.error));
  if (context.interrupts.any()) {  // the row ended (a write begun was finished) and is in the report
    return CliFailure{kExitInterrupted, "interrupted at " + label + " (" + result.outcome +
                                            "); no further row was begun. Run again with the same report to go on"};
  }
  return {};
}

}  // namespace

CommandResult runBatch(const CliOptions& options, const Context& context) {
  const CliResult<std::vector<PlannedRow>> planned = planWorklist(options, context);
  if (!planned) return planned.failure();
  const CliResult<OpenReport> opened = openReport(options.report, context.io.err);
  if (!opened) return opened.failure();

  Progress progress(context.io.err, errorIsTerminal(), "batch", planned->size());
  BatchTally tally;
  for (size_t i = 0; i < planned->size(); ++i) {
    if (const CliResult<> ran = runPlannedRow(i, (*planned)[i], *opened, options, context, progress, tally); !ran) {
      progress.finish();
      return ran.failure();
    }
  }
  progress.finish();
  context.io.out << planned->size() - tally.skipped - tally.failures << " done, " << tally.failures << " failed, "
                 << tally.skipped << " skipped (done before with the same values); report: " << options.report << '\n';
  return tally.failures ? kExitBatchFailed : kExitOk;
}

}  // namespace netsetup::cli
