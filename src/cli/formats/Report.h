#pragma once
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "text/Result.h"

namespace netsetup::cli {

// The report of a batch run: one CSV row per worklist row tried, appended as each one ends, so
// an interrupted run can be resumed by skipping the rows already done.
struct ReportRow {
  std::string time, key, name, link, address, outcome, changed, backup, error;
  // The area before the first try at this row, when an earlier run (a failed row, a run killed
  // mid-row) saved a backup of it: the one to restore to undo the whole commissioning.
  std::string firstBackup;
};

inline constexpr std::string_view kOutcomeOk = "ok";                // written and verified
inline constexpr std::string_view kOutcomeUnchanged = "unchanged";  // already held the values
inline constexpr std::string_view kOutcomeFailed = "failed";

// "time,key,name,link,address,outcome,changed,backup,error,first_backup\r\n"
std::string reportHeader();

// One row. A cell starting with =, +, -, @, a tab, a CR or an apostrophe gets a leading
// apostrophe, so a spreadsheet opening the report never runs a cell as a formula (the
// apostrophe is also doubled up for a cell that starts with one, so the guard can be undone).
// `earlierLayout`: for a report begun without the first_backup column, which keeps its shape;
// the first backup is named in the error cell instead.
std::string formatReportRow(const ReportRow& row, bool earlierLayout = false);

struct DoneRows {
  std::set<std::string> keys;  // the key (resumeKey) of every row whose outcome was ok or unchanged
  // rowKey -> the earliest backup the report names for that row's instrument (a failed try's)
  std::map<std::string, std::string> firstBackups;
  bool earlierLayout = false;  // the header has no first_backup column
};

// The rows a previous run finished. An empty text has none. `reportName` names the file in
// the refusal: "<reportName> is not a netsetup report".
Result<DoneRows> doneRows(std::string_view reportCsv, std::string_view reportName = "the report");

}  // namespace netsetup::cli
