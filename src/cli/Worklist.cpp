#include "cli/Worklist.h"

#include <algorithm>
#include <array>
#include <optional>

#include "cli/Csv.h"
#include "text/AsciiCase.h"
#include "text/Blanks.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

constexpr std::array<std::string_view, 5> kLinkColumns{"serial", "baud", "tcp", "address", "name"};

std::string columnList() {
  std::string out;
  for (std::string_view name : kLinkColumns) out.append(name).append(", ");
  return out + fieldNameList();
}

// A header cell's canonical column name, or nullopt.
std::optional<std::string> columnName(std::string_view cell) {
  const std::string lower = lowerAscii(trimBlanks(cell));
  for (std::string_view name : kLinkColumns)
    if (lower == name) return lower;
  if (const auto field = canonicalFieldName(lower)) return std::string(*field);
  return std::nullopt;
}

}  // namespace

Result<Worklist> parseWorklist(std::string_view text) {
  Worklist list;
  const Result<CsvTable> parsed = parseCsv(text);
  if (!parsed) return Failure{"worklist: " + parsed.failure().text()};
  const CsvTable& csv = *parsed;
  if (csv.rows.empty()) return Failure{"the worklist is empty: it needs a header row"};

  std::vector<std::string> columns;
  for (const std::string& cell : csv.rows.front()) {
    const std::optional<std::string> name = columnName(cell);
    if (!name) {
      return Failure{"worklist: unknown column " + quoteText(trimBlanks(cell)) + "; the columns are " + columnList()};
    }
    if (std::find(columns.begin(), columns.end(), *name) != columns.end())
      return Failure{"worklist: the column " + *name + " appears twice"};
    columns.push_back(*name);
  }
  const auto has = [&](std::string_view name) {
    return std::find(columns.begin(), columns.end(), name) != columns.end();
  };
  if (!has("address")) return Failure{"worklist: the header has no address column"};
  if (!has("serial") && !has("tcp")) return Failure{"worklist: the header needs a serial or a tcp column"};

  for (size_t r = 1; r < csv.rows.size(); ++r) {
    const CsvRow& cells = csv.rows[r];
    const bool empty = std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return trimBlanks(c).empty(); });
    if (empty) continue;
    if (cells.size() != columns.size()) {
      return Failure{"worklist line " + std::to_string(csv.lines[r]) + ": " + std::to_string(cells.size()) +
                     " cells, but the header has " + std::to_string(columns.size())};
    }
    WorkRow row;
    row.line = csv.lines[r];
    for (size_t c = 0; c < columns.size(); ++c) {
      const std::string cell(trimBlanks(cells[c]));
      const std::string& column = columns[c];
      if (column == "name") row.name = cell;
      else if (column == "serial") row.serial = cell;
      else if (column == "baud") row.baud = cell;
      else if (column == "tcp") row.tcp = cell;
      else if (column == "address") row.address = cell;
      else if (!cell.empty()) row.fields.emplace_back(column, cell);
    }
    list.rows.push_back(std::move(row));
  }
  return list;
}

std::string rowKey(const WorkRow& row) {
  const auto cell = [](const std::string& text) { return std::string(trimBlanks(text)); };
  return cell(row.name) + "|" + cell(row.serial) + "@" + cell(row.baud) + "|" + cell(row.tcp) + "|" + cell(row.address);
}

}  // namespace netsetup::cli
