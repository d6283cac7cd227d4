// batch: commissions the instruments of a worklist, one row at a time, into a report.
#include <sstream>

#include "cli/BackupFile.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/ExitCodes.h"
#include "cli/FieldEdit.h"
#include "cli/Files.h"
#include "cli/Progress.h"
#include "cli/UtcTime.h"
#include "cli/Worklist.h"
#include "config/FileStore.h"
#include "netblock/NetworkCodec.h"
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

Result<CliOptions, UsageError> rowOptions(const WorkRow& row) {
  std::vector<std::string> args{"identify"};
  for (const LinkCell& link : kLinkCells) {
    if ((row.*link.cell).empty()) continue;
    args.emplace_back(link.option);
    args.push_back(row.*link.cell);
  }
  return parseArguments(args);
}

std::string columnOf(std::string_view option) {
  for (const LinkCell& link : kLinkCells)
    if (link.option == option) return std::string(link.column);
  return std::string(option);
}

// "worklist line 3 (pump 5)": where a row's complaint comes from.
std::string rowPlace(const WorkRow& row) {
  return "worklist line " + std::to_string(row.line) + (row.name.empty() ? "" : " (" + visibleText(row.name) + ")");
}

// Why a row's link cells cannot be used, in the worklist's words: its columns, not options.
std::string rowLinkError(const WorkRow& row, const UsageError& error) {
  const std::vector<std::string_view>& options = error.options;
  if (options.size() == 2) {
    return rowPlace(row) + ": the columns " + columnOf(options[0]) + " and " + columnOf(options[1]) +
           " cannot both be filled in one row; empty one of them";
  }
  if (options.size() == 1) return rowPlace(row) + ", column " + columnOf(options[0]) + ": " + error.message;
  return rowPlace(row) + ": " + error.message;
}

// How the names of a row's backups start: "pump 1-backup-a1-COM3-", "backup-a1-10.0.0.5_10001-".
// The name, the link and the address keep every row's backups apart, and let a later run find
// those of an earlier one.
std::string backupPrefix(const WorkRow& row, uint8_t address) {
  const std::string link = row.tcp.empty() ? row.serial.substr(row.serial.find_last_of("/\\") + 1) : row.tcp;
  return (row.name.empty() ? "" : fileNamePart(row.name) + "-") + "backup-a" + std::to_string(address) + "-" +
         fileNamePart(link) + "-";
}

// Connect, identify, back up, compare, write what differs, verify: the row's outcome.
// `firstBackup`: the earliest backup of the row the report names, if any.
ReportRow runRow(const WorkRow& row, const std::string& backupFolder, const std::string& firstBackup, Tmod07& link,
                 Io io, bool trace) {
  ReportRow result{utcNow(), rowKey(row), row.name, "", row.address, std::string(kOutcomeFailed), "", "", "",
                   firstBackup};
  std::ostringstream messages;
  const auto failed = [&](const std::string& line) {
    result.error = line;
    return result;
  };
  // A step that printed its own complaint: the report takes what it printed.
  const auto failedAsPrinted = [&] { return failed(complaintsIn(messages.str())); };
  const Result<CliOptions, UsageError> parsed = rowOptions(row);
  if (!parsed) return failed(rowLinkError(row, parsed.failure()));
  if (parsed->link.serial.empty() && parsed->link.tcpHost.empty()) {
    return failed(rowPlace(row) + ": the row names no link: fill in serial (and baud) or tcp");
  }
  const Result<Target> resolved = resolveTarget(parsed->link, link);
  if (!resolved) return failed(resolved.failure().text());
  const Target& target = *resolved;
  result.link = target.description;
  result.address = std::to_string(target.address);

  Session session(link, Io{io.out, messages}, target, trace);
  SettingsArea area{};
  if (session.connectAndRead(area) != kExitOk) return failedAsPrinted();
  const Result<FieldEdit> edited = editNamedFields(area, row.fields);
  if (!edited) return failed(edited.failure().text() + "; nothing was written");
  const FieldEdit& edit = *edited;

  // An earlier try may have written the instrument already (a run killed mid-row leaves no line
  // in the report): its backup holds the area as it was before.
  const std::string prefix = backupPrefix(row, target.address);
  if (result.firstBackup.empty()) result.firstBackup = oldestSaved(backupFolder, prefix).value_or("");
  const Backup backup{session.type(), target.address, result.time, area};
  const Result<std::string> saved = saveUnderFreeName(backupFolder + "/" + prefix + backupStamp(backup.timeUtc),
                                                      formatBackup(backup, decodeNetworkSettings(area)));
  if (!saved) return failed(saved.failure().text() + "; no backup, so nothing was written");
  result.backup = *saved;
  if (edit.changed.empty()) {
    result.outcome = kOutcomeUnchanged;
    return result;
  }
  // Only what the instrument confirmed counts as changed; the rest is named with the error.
  TransferResult written;
  const bool stored = session.writeArea(edit.area, result.backup, &written) == kExitOk;
  const WrittenFields split = splitByConfirmed(edit.changed, confirmedBytes(written));
  result.changed = joinedNames(split.written, ";");
  if (!stored) {
    result.error = complaintsIn(messages.str());
    if (!split.notWritten.empty()) result.error += " / not written and confirmed: " + joinedNames(split.notWritten);
    return result;
  }
  if (session.verify(edit.area) != kExitOk) return failedAsPrinted();
  result.outcome = kOutcomeOk;
  return result;
}

// "site/r-backups" for "site/r.csv".
std::string backupFolderOf(const std::string& report) {
  const size_t name = report.find_last_of("/\\") + 1;  // 0 without a folder
  const size_t dot = report.rfind('.');
  return report.substr(0, dot != std::string::npos && dot > name ? dot : report.size()) + "-backups";
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

// What a batch holds while it runs: its report locked, the rows done before, the backups' folder.
struct OpenReport {
  files::FileLock lock;
  DoneRows done;
  std::string backupFolder;
};

// Before any instrument is touched: one batch per report (a second one would write every
// instrument again and every row twice), the report begun if new and readable, and the
// backups' folder beside it ready. A Failure is the whole complaint.
Result<OpenReport> openReport(const std::string& report) {
  const std::string lockPath = report + ".lock";
  Result<files::LockAttempt> lock = files::tryLock(lockPath);
  if (!lock) return Failure{lock.failure().text() + "; nothing was done"};
  if (!lock->lock) {
    return Failure{"the report " + report + " is in use by another batch: " + lock->heldBy + " holds " + lockPath +
                   ". Wait for it to end, or give another report; nothing was done"};
  }
  const auto begin = [](const std::string& current) { return current.empty() ? reportHeader() : current; };
  if (const Result<void> begun = files::updateFile(report, begin); !begun) {
    return Failure{begun.failure().text() + "; no instrument was touched"};
  }
  const Result<std::string> reportText = readTextFile(report, "the report");
  if (!reportText) return Failure{reportText.failure().text() + "; no instrument was touched"};
  Result<DoneRows> done = doneRows(*reportText, report);
  if (!done) return done.failure();
  std::string backupFolder = backupFolderOf(report);
  if (const Result<void> ready = prepareFolder(backupFolder); !ready) {
    return Failure{ready.failure().text() + "; the backups go there, so no instrument was touched"};
  }
  return OpenReport{std::move(*lock->lock), std::move(done).value(), std::move(backupFolder)};
}

}  // namespace

int runBatch(const CliOptions& options, Tmod07& link, Io io) {
  const Result<std::string> text = readTextFile(options.file, "the worklist");
  if (!text) return complain(io, kExitUsage, text.failure().text());
  const Result<Worklist> parsed = parseWorklist(*text);
  if (!parsed) return complain(io, kExitUsage, options.file + ": " + parsed.failure().text());
  const Worklist& worklist = *parsed;
  // The values every row shares; a row's own cells come after them, so they win.
  FieldOverlay shared;
  if (!options.templateSheet.empty()) {
    if (const int exit = loadSheet(options.templateSheet, io, shared)) return exit;
  }

  const Result<OpenReport> opened = openReport(options.report);
  if (!opened) return complain(io, kExitUsage, opened.failure().text());
  const std::string& report = options.report;
  const DoneRows& done = opened->done;
  const std::string& backupFolder = opened->backupFolder;

  Progress progress(io.err, errorIsTerminal(), "batch", worklist.rows.size());
  size_t failures = 0, skipped = 0;
  for (size_t i = 0; i < worklist.rows.size(); ++i) {
    const WorkRow& row = worklist.rows[i];
    const std::string label = row.name.empty() ? "line " + std::to_string(row.line) : row.name;
    if (link.stopRequested()) {
      progress.finish();
      io.err << kComplaintPrefix << "interrupted before " << label << "; run again with the same report to go on\n";
      return kExitInterrupted;
    }
    const std::string key = rowKey(row);
    if (done.keys.count(key)) {
      ++skipped;
      progress.note(label + ": done in an earlier run, skipped");
      continue;
    }
    progress.at(i, label);
    const auto first = done.firstBackups.find(key);
    WorkRow filled = row;
    filled.fields.insert(filled.fields.begin(), shared.begin(), shared.end());
    const ReportRow result = runRow(filled, backupFolder, first == done.firstBackups.end() ? "" : first->second, link,
                                    io, options.link.trace);
    if (const Result<void> added = appendTextFile(report, reportHeader(), formatReportRow(result, done.earlierLayout));
        !added) {
      progress.finish();
      return complain(io, kExitUsage, added.failure().text() + "; " + label + " is not in the report: " +
                                          whatWasDone(result) + ". Stopped before the next row");
    }
    if (result.outcome == kOutcomeFailed) ++failures;
    progress.note(label + ": " + result.outcome + (result.changed.empty() ? "" : " (" + result.changed + ")") +
                  (result.error.empty() ? "" : ": " + result.error));
    if (link.stopRequested()) {  // the row stopped at its next step and is in the report as it ended
      progress.finish();
      io.err << kComplaintPrefix << "interrupted at " << label << "; run again with the same report to go on\n";
      return kExitInterrupted;
    }
  }
  progress.finish();
  io.out << worklist.rows.size() - skipped - failures << " done, " << failures << " failed, " << skipped
         << " skipped (done before); report: " << report << '\n';
  return failures ? kExitBatchFailed : kExitOk;
}

}  // namespace netsetup::cli
