#include "cli/formats/Worklist.h"

#include <algorithm>
#include <array>
#include <optional>

#include "cli/formats/Csv.h"
#include "cli/formats/Sha256.h"
#include "text/Hex.h"
#include "text/AsciiCase.h"
#include "text/Blanks.h"
#include "text/Quote.h"

namespace netsetup::cli {

namespace {

constexpr std::array<std::string_view, 5> kLinkColumns{"serial", "baud", "tcp", "address", "name"};

// Between a row's cells and the digest of its values in a resume key.
constexpr std::string_view kDigestMark = "|values:";

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

Result<Worklist> parseWorklist(std::string_view text, std::string_view source) {
  Worklist list;
  list.separator = csvSeparator(text);
  const Result<CsvTable> parsed = parseCsv(text, list.separator);
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
      else if (!cell.empty())
        row.fields.push_back({column, cell, std::string(source) + " line " + std::to_string(row.line) + ", column " + column});
    }
    list.rows.push_back(std::move(row));
  }
  return list;
}

std::string rowKey(const WorkRow& row) {
  const auto cell = [](const std::string& text) { return std::string(trimBlanks(text)); };
  return cell(row.name) + "|" + cell(row.serial) + "@" + cell(row.baud) + "|" + cell(row.tcp) + "|" + cell(row.address);
}

std::string resumeKey(const WorkRow& row, const FieldOverlay& values, std::string_view secret) {
  std::string text(secret);
  for (std::string_view name : kFieldNames) {
    const auto last = std::find_if(values.rbegin(), values.rend(), [&](const FieldValue& v) { return v.name == name; });
    if (last != values.rend()) text.append("\n").append(name).append("=").append(last->value);
  }
  const std::array<uint8_t, 32> digest = sha256(text);
  std::string hex;
  for (size_t i = 0; i < 8; ++i) hex += hexDigits(digest[i], 2);
  return rowKey(row) + std::string(kDigestMark) + hex;
}

std::string_view rowKeyPart(std::string_view key) {
  const size_t mark = key.rfind(kDigestMark);
  return mark == std::string_view::npos || key.size() - mark != kDigestMark.size() + 16 ? key : key.substr(0, mark);
}

}  // namespace netsetup::cli
