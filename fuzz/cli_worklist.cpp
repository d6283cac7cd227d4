// Worklists and reports (netsetup-cli batch): any CSV text, and the CSV the tool writes itself.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>

#include "FuzzCheck.h"
#include "cli/formats/Csv.h"
#include "cli/formats/FieldNames.h"
#include "cli/formats/Report.h"
#include "cli/formats/Worklist.h"

using namespace netsetup;
using namespace netsetup::cli;

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string formatRows(const std::vector<CsvRow>& rows) {
  std::string text;
  for (const CsvRow& row : rows) text += formatCsvRow(row);
  return text;
}

void checkAnyText(std::string_view text) {
  const Result<CsvTable> parsed = parseCsv(text);
  if (parsed) {
    const CsvTable& csv = *parsed;
    FUZZ_CHECK(csv.rows.size() == csv.lines.size(), "every row has its line");
    for (size_t i = 0; i < csv.rows.size(); ++i) {
      FUZZ_CHECK(!csv.rows[i].empty(), "a row has a cell");
      FUZZ_CHECK(csv.lines[i] >= 1 && (i == 0 || csv.lines[i] > csv.lines[i - 1]), "rows start on rising lines");
    }
    // Rows read from any file and written again read the same.
    const Result<CsvTable> again = parseCsv(formatRows(csv.rows));
    FUZZ_CHECK(again.ok(), "rows written again are read");
    FUZZ_CHECK(again->rows == csv.rows, "rows written again read the same");
  } else {
    FUZZ_CHECK(!fuzz::hasControlByte(parsed.failure().text()), "a CSV error is one clean line");
  }

  const Result<Worklist> list = parseWorklist(text);
  if (list) {
    for (const WorkRow& row : list->rows) {
      for (const std::string* cell : {&row.name, &row.serial, &row.baud, &row.tcp, &row.address})
        FUZZ_CHECK(trim(*cell) == *cell, "a worklist cell is trimmed");
      std::set<std::string> names;
      for (const auto& [name, value, origin] : row.fields) {
        FUZZ_CHECK(canonicalFieldName(name) == std::string_view(name), "a worklist column is a canonical field");
        FUZZ_CHECK(names.insert(name).second, "a row sets a field once");
        FUZZ_CHECK(!value.empty() && trim(value) == value, "a field cell is non-empty and trimmed");
      }
    }
  } else {
    FUZZ_CHECK(!fuzz::hasControlByte(list.failure().text()), "a worklist error is one clean line");
  }

  const Result<DoneRows> done = doneRows(text, "r.csv");
  if (!done) FUZZ_CHECK(!fuzz::hasControlByte(done.failure().text()), "a report error is one clean line");
}

std::string cell(FuzzedDataProvider& in) { return in.ConsumeRandomLengthString(24); }

void checkOwnCsv(FuzzedDataProvider& in) {
  std::vector<CsvRow> rows(in.ConsumeIntegralInRange(1, 4));
  for (CsvRow& row : rows) {
    row.resize(in.ConsumeIntegralInRange(1, 5));
    for (std::string& c : row) c = cell(in);
  }
  const Result<CsvTable> csv = parseCsv(formatRows(rows));
  FUZZ_CHECK_EQ(csv ? std::string() : csv.failure().text(), std::string(), "rows the tool writes are read");
  FUZZ_CHECK(csv->rows == rows, "rows the tool writes read back exactly");

  // A report: the rows a rerun skips are exactly those that ended ok or unchanged.
  std::string report = reportHeader();
  std::set<std::string> finished;
  const int count = in.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < count; ++i) {
    ReportRow r{cell(in), cell(in), cell(in), cell(in), cell(in), "", cell(in), cell(in), cell(in), cell(in)};
    const int outcome = in.ConsumeIntegralInRange(0, 3);
    r.outcome = outcome == 0 ? std::string(kOutcomeOk)
                : outcome == 1 ? std::string(kOutcomeUnchanged)
                : outcome == 2 ? std::string(kOutcomeFailed)
                               : cell(in);
    if (r.outcome == kOutcomeOk || r.outcome == kOutcomeUnchanged) finished.insert(r.key);
    report += formatReportRow(r);
  }
  const Result<DoneRows> done = doneRows(report);
  FUZZ_CHECK_EQ(done ? std::string() : done.failure().text(), std::string(), "a report the tool writes is read");
  FUZZ_CHECK(done->keys == finished, "a rerun skips exactly the rows that ended ok or unchanged");

  // A worklist written by a spreadsheet: any header spelling, any cells.
  static constexpr std::string_view kColumns[] = {"serial", "baud", "tcp", "address", "name", "ip", "mask",
                                                  "gateway", "port", "dhcp", "server", "server_port",
                                                  "apn", "login", "password", "auth"};
  std::vector<std::string> columns = {"address", in.ConsumeBool() ? "serial" : "tcp"};
  for (int extra = in.ConsumeIntegralInRange(0, 4); extra > 0; --extra) {
    const std::string_view c = kColumns[in.ConsumeIntegralInRange<size_t>(0, std::size(kColumns) - 1)];
    if (std::find(columns.begin(), columns.end(), c) == columns.end()) columns.emplace_back(c);
  }
  CsvRow header;
  for (const std::string& c : columns) {
    std::string spelled = c;
    for (char& ch : spelled)
      if (in.ConsumeBool() && ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
    header.push_back((in.ConsumeBool() ? " " : "") + spelled);
  }
  std::vector<CsvRow> sheet = {header};
  for (int r = in.ConsumeIntegralInRange(0, 3); r > 0; --r) {
    CsvRow row;
    for (size_t c = 0; c < columns.size(); ++c) row.push_back(cell(in));
    sheet.push_back(row);
  }
  const Result<Worklist> read = parseWorklist(formatRows(sheet));
  FUZZ_CHECK_EQ(read ? std::string() : read.failure().text(), std::string(), "a well-formed worklist is read");
  const Worklist& list = *read;
  size_t next = 0;
  for (size_t r = 1; r < sheet.size(); ++r) {
    const CsvRow& row = sheet[r];
    if (std::all_of(row.begin(), row.end(), [](const std::string& c) { return trim(c).empty(); })) continue;
    FUZZ_CHECK(next < list.rows.size(), "every row with a value is a work row");
    const WorkRow& work = list.rows[next++];
    FieldOverlay fields;
    for (size_t c = 0; c < columns.size(); ++c) {
      const std::string value(trim(row[c]));
      const std::string& column = columns[c];
      const std::string* slot = column == "name"      ? &work.name
                                : column == "serial"  ? &work.serial
                                : column == "baud"    ? &work.baud
                                : column == "tcp"     ? &work.tcp
                                : column == "address" ? &work.address
                                                      : nullptr;
      if (slot) FUZZ_CHECK_EQ(*slot, value, "a link cell reads back trimmed");
      else if (!value.empty())
        fields.push_back({column, value, "worklist line " + std::to_string(work.line) + ", column " + column});
    }
    FUZZ_CHECK(work.fields == fields, "a row's field cells read back trimmed, in column order");
  }
  FUZZ_CHECK(next == list.rows.size(), "no work row comes from nowhere");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  checkAnyText(fuzz::bytesOf(data, size));
  FuzzedDataProvider in(data, size);
  checkOwnCsv(in);
  return 0;
}
