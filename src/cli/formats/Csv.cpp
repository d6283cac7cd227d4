#include "cli/formats/Csv.h"

#include "text/Blanks.h"
#include "text/ByteOrderMarks.h"

namespace netsetup::cli {

namespace {

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// Past the line end at text[pos] (CRLF counts as one).
size_t skipLineEnd(std::string_view text, size_t pos) {
  if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') return pos + 2;
  return pos + 1;
}

bool needsQuotes(std::string_view field) {
  if (field.find_first_of(",\"\r\n") != std::string_view::npos) return true;
  // At the start of a file the reader would take it for the byte-order mark and drop it.
  if (field.starts_with(kUtf8Mark)) return true;
  return !field.empty() && (isBlank(field.front()) || isBlank(field.back()));
}

}  // namespace

char csvSeparator(std::string_view text) {
  text = withoutUtf8Mark(text);
  size_t commas = 0, semicolons = 0;
  bool quoted = false;
  bool any = false;
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (isLineEnd(c)) {
      if (any) break;  // the end of the first line that is not empty
      continue;
    }
    any = true;
    commas += c == ',';
    semicolons += c == ';';
  }
  return semicolons > commas ? ';' : ',';
}

namespace {

// Where a reader stands in the text, and on which line (1-based), for messages.
struct CsvCursor {
  std::string_view text;
  size_t pos = 0;
  size_t line = 1;

  bool atEnd() const { return pos >= text.size(); }
};

Failure csvFailure(size_t line, const char* what) { return Failure{"CSV line " + std::to_string(line) + ": " + what}; }

// The field in quotes at the cursor, "" read as one quote; the cursor ends past the closing
// quote, and counts the line breaks inside.
Result<std::string> readQuotedField(CsvCursor& at, char separator) {
  const std::string_view text = at.text;
  const size_t quoteLine = at.line;
  std::string field;
  for (++at.pos;; ++at.pos) {
    if (at.atEnd()) return csvFailure(quoteLine, "a quoted field is not closed");
    const char c = text[at.pos];
    if (c == '"') {
      if (at.pos + 1 >= text.size() || text[at.pos + 1] != '"') break;
      ++at.pos;  // a doubled quote
    } else if (c == '\n' || (c == '\r' && (at.pos + 1 >= text.size() || text[at.pos + 1] != '\n'))) {
      ++at.line;
    }
    field += c;
  }
  ++at.pos;
  if (!at.atEnd() && text[at.pos] != separator && !isLineEnd(text[at.pos]))
    return csvFailure(at.line, "text after a closing quote");
  return field;
}

// The row at the cursor, which ends at the row's line break (or the text's end).
Result<CsvRow> readRow(CsvCursor& at, char separator) {
  const char separators[] = {separator, '\r', '\n', '\0'};
  CsvRow row;
  for (;;) {  // one field per turn, the cursor at its first character
    if (!at.atEnd() && at.text[at.pos] == '"') {
      Result<std::string> quoted = readQuotedField(at, separator);
      if (!quoted) return quoted.failure();
      row.push_back(std::move(*quoted));
    } else {
      const size_t stop = at.text.find_first_of(separators, at.pos);
      const size_t end = stop == std::string_view::npos ? at.text.size() : stop;
      row.emplace_back(at.text.substr(at.pos, end - at.pos));
      at.pos = end;
    }
    if (at.atEnd() || at.text[at.pos] != separator) return row;
    ++at.pos;
  }
}

}  // namespace

Result<CsvTable> parseCsv(std::string_view text, char separator) {
  CsvCursor at{withoutUtf8Mark(text)};
  CsvTable result;
  while (!at.atEnd()) {
    if (!isLineEnd(at.text[at.pos])) {  // not an empty line
      const size_t rowLine = at.line;
      Result<CsvRow> row = readRow(at, separator);
      if (!row) return row.failure();
      result.rows.push_back(std::move(*row));
      result.lines.push_back(rowLine);
    }
    if (!at.atEnd()) {
      at.pos = skipLineEnd(at.text, at.pos);
      ++at.line;
    }
  }
  return result;
}

std::string formatCsvRow(const CsvRow& row) {
  std::string out;
  for (size_t i = 0; i < row.size(); ++i) {
    if (i > 0) out += ',';
    const std::string& field = row[i];
    if (!needsQuotes(field) && !(row.size() == 1 && field.empty())) {
      out += field;
      continue;
    }
    // A lone empty field is quoted too: unquoted it would be an empty line, which is skipped.
    out += '"';
    for (char c : field) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out + "\r\n";
}

}  // namespace netsetup::cli
