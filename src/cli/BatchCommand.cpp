// batch: commissions the instruments of a worklist, one row at a time, into a report.
#include <filesystem>
#include <sstream>

#include "cli/BackupFile.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/ExitCodes.h"
#include "cli/Files.h"
#include "cli/Progress.h"
#include "cli/Worklist.h"
#include "netblock/NetworkCodec.h"

namespace netsetup::cli {

namespace {

// The row's link cells, checked exactly as the same options on a command line are.
ParseResult rowOptions(const WorkRow& row) {
  std::vector<std::string> args{"identify"};
  const auto add = [&](const char* option, const std::string& value) {
    if (value.empty()) return;
    args.push_back(option);
    args.push_back(value);
  };
  add("--serial", row.serial);
  add("--baud", row.baud);
  add("--tcp", row.tcp);
  add("--address", row.address);
  return parseArguments(args);
}

// The messages of one row, without the program's name, on one line for the report.
std::string reportError(const std::string& printed) {
  std::string text;
  std::istringstream lines(printed);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with(kComplaintPrefix)) line.erase(0, kComplaintPrefix.size());
    if (!line.empty()) text += (text.empty() ? "" : " / ") + line;
  }
  return text;
}

std::string joined(const std::vector<std::string_view>& names) {
  std::string text;
  for (std::string_view name : names) text += (text.empty() ? "" : ";") + std::string(name);
  return text;
}

// Connect, identify, back up, compare, write what differs, verify: the row's outcome.
ReportRow runRow(const WorkRow& row, const std::string& backupFolder, Tmod07& link, Io io, bool trace) {
  ReportRow result{utcNow(), rowKey(row), row.name, "", row.address, std::string(kOutcomeFailed), "", "", ""};
  std::ostringstream messages;
  const auto failed = [&](const std::string& line) {
    result.error = line.empty() ? reportError(messages.str()) : line;
    return result;
  };
  const ParseResult parsed = rowOptions(row);
  if (!parsed.error.empty()) return failed(parsed.error);
  if (parsed.options.link.serial.empty() && parsed.options.link.tcpHost.empty()) {
    return failed("the row names no link: fill in serial (and baud) or tcp");
  }
  Target target;
  if (std::string e = resolveTarget(parsed.options.link, link, target); !e.empty()) return failed(e);
  result.link = target.description;
  result.address = std::to_string(target.address);

  Session session(link, Io{io.out, messages}, target, trace);
  SettingsArea area{};
  if (session.connectAndRead(area) != kExitOk) return failed("");
  const NetworkFields current = decodeNetworkSettings(area);
  NetworkFields wanted = current;
  if (auto e = applyOverlay(wanted, row.fields)) return failed(*e + "; nothing was written");
  SettingsArea updated = area;
  if (const EncodeResult encoded = encodeNetworkSettings(wanted, updated); !encoded.ok()) {
    return failed(refusalText(*encoded.error) + "; nothing was written");
  }

  Backup backup{session.type(), target.address, result.time, area};
  const std::string name = std::filesystem::path(defaultBackupPath(target.address, backup.timeUtc)).filename().string();
  result.backup = (std::filesystem::path(backupFolder) / ((row.name.empty() ? "" : row.name + "-") + name)).string();
  if (std::string e = writeTextFile(result.backup, formatBackup(backup, current), true); !e.empty()) {
    result.backup.clear();
    return failed(e + " for the backup; nothing was written");
  }
  const std::vector<std::string_view> changed = differingFields(current, decodeNetworkSettings(updated));
  if (changed.empty()) {
    result.outcome = kOutcomeUnchanged;
    return result;
  }
  result.changed = joined(changed);
  if (session.writeArea(updated, result.backup) != kExitOk || session.verify(updated) != kExitOk) return failed("");
  result.outcome = kOutcomeOk;
  return result;
}

}  // namespace

int runBatch(const CliOptions& options, Tmod07& link, Io io) {
  const std::optional<std::string> text = readTextFile(options.file);
  if (!text) return complain(io, kExitUsage, "cannot read the worklist " + options.file);
  const Worklist worklist = parseWorklist(*text);
  if (!worklist.error.empty()) return complain(io, kExitUsage, options.file + ": " + worklist.error);
  const DoneRows done = doneRows(readTextFile(options.report).value_or(""), options.report);
  if (!done.error.empty()) return complain(io, kExitUsage, done.error);

  // The backups go beside the report, in a folder named after it.
  const std::filesystem::path report(options.report);
  const std::string backupFolder = (report.parent_path() / (report.stem().string() + "-backups")).string();
  std::error_code error;
  std::filesystem::create_directories(backupFolder, error);
  if (error) return complain(io, kExitUsage, "cannot make the backup folder " + backupFolder + ": " + error.message());

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
    if (done.keys.count(rowKey(row))) {
      ++skipped;
      progress.note(label + ": done in an earlier run, skipped");
      continue;
    }
    progress.at(i, label);
    const ReportRow result = runRow(row, backupFolder, link, io, options.link.trace);
    if (std::string e = appendTextFile(options.report, reportHeader(), formatReportRow(result)); !e.empty()) {
      progress.finish();
      return complain(io, kExitUsage, e + "; stopped before the next row");
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
         << " skipped (done before); report: " << options.report << '\n';
  return failures ? kExitBatchFailed : kExitOk;
}

}  // namespace netsetup::cli
