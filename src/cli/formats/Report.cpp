#include "cli/formats/Report.h"

#include <array>

#include "cli/formats/Csv.h"
#include "cli/formats/Worklist.h"

namespace netsetup::cli {

namespace {

constexpr std::array<std::string_view, 10> kColumns{"time",    "key",     "name",   "link",  "address",
                                                    "outcome", "changed", "backup", "error", "first_backup"};
// Reports made before the first_backup column are still read and added to in their own shape.
constexpr size_t kEarlierColumns = 9;
constexpr size_t kKeyColumn = 1;
constexpr size_t kOutcomeColumn = 5;
constexpr size_t kBackupColumn = 7;
constexpr size_t kFirstBackupColumn = 9;

bool isGuarded(std::string_view cell) {
  return !cell.empty() && std::string_view("=+-@\t\r'").find(cell.front()) != std::string_view::npos;
}

std::string guard(const std::string& cell) { return isGuarded(cell) ? "'" + cell : cell; }

// Every cell starting with an apostrophe was guarded (the apostrophe itself is guarded).
std::string unguard(const std::string& cell) { return cell.starts_with('\'') ? cell.substr(1) : cell; }

}  // namespace

std::string reportHeader() { return formatCsvRow(CsvRow(kColumns.begin(), kColumns.end())); }

std::string formatReportRow(const ReportRow& r, bool earlierLayout) {
  CsvRow cells{guard(r.time),    guard(r.key),     guard(r.name),   guard(r.link), guard(r.address),
               guard(r.outcome), guard(r.changed), guard(r.backup), guard(r.error)};
  if (!earlierLayout) {
    cells.push_back(guard(r.firstBackup));
  } else if (!r.firstBackup.empty()) {
    cells.back() = guard(r.error + (r.error.empty() ? "" : " / ") + "first backup: " + r.firstBackup);
  }
  return formatCsvRow(cells);
}

Result<DoneRows> doneRows(std::string_view reportCsv, std::string_view reportName) {
  DoneRows done;
  const auto notReport = [&](const std::string& why) {
    return Failure{std::string(reportName) + " is not a netsetup report (" + why + ")"};
  };
  const Result<CsvTable> parsed = parseCsv(reportCsv);
  if (!parsed) return notReport(parsed.failure().text());
  const CsvTable& csv = *parsed;
  if (csv.rows.empty()) return done;
  const CsvRow& header = csv.rows.front();
  done.earlierLayout = header == CsvRow(kColumns.begin(), kColumns.begin() + kEarlierColumns);
  if (header != CsvRow(kColumns.begin(), kColumns.end()) && !done.earlierLayout)
    return notReport("its first line is not the report's header");
  for (size_t i = 1; i < csv.rows.size(); ++i) {
    const CsvRow& row = csv.rows[i];
    if (row.size() != header.size()) {
      return notReport("line " + std::to_string(csv.lines[i]) + " has " + std::to_string(row.size()) +
                       " cells, not " + std::to_string(header.size()));
    }
    const std::string key = unguard(row[kKeyColumn]);
    const std::string outcome = unguard(row[kOutcomeColumn]);
    if (outcome == kOutcomeOk || outcome == kOutcomeUnchanged) done.keys.insert(key);
    const std::string first = row.size() > kFirstBackupColumn ? unguard(row[kFirstBackupColumn]) : "";
    const std::string backup = first.empty() ? unguard(row[kBackupColumn]) : first;
    if (!backup.empty()) done.firstBackups.try_emplace(std::string(rowKeyPart(key)), backup);
  }
  return done;
}

}  // namespace netsetup::cli
