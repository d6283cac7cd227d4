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

Result<CsvTable> parseCsv(std::string_view text, char separator) {
  const char separators[] = {separator, '\r', '\n', '\0'};
  text = withoutUtf8Mark(text);
  CsvTable result;
  size_t line = 1;
  size_t pos = 0;
  const auto fail = [](size_t at, const char* what) { return Failure{"CSV line " + std::to_string(at) + ": " + what}; };

  while (pos < text.size()) {
    if (isLineEnd(text[pos])) {  // an empty line
      pos = skipLineEnd(text, pos);
      ++line;
      continue;
    }
    CsvRow row;
    const size_t rowLine = line;
    for (;;) {  // one field per turn, pos at its first character
      std::string field;
      if (pos < text.size() && text[pos] == '"') {
        const size_t quoteLine = line;
        ++pos;
        for (;;) {
          if (pos >= text.size()) return fail(quoteLine, "a quoted field is not closed");
          const char c = text[pos];
          if (c == '"') {
            if (pos + 1 < text.size() && text[pos + 1] == '"') {
              field += '"';
              pos += 2;
              continue;
            }
            ++pos;
            break;
          }
          if (c == '\n' || (c == '\r' && (pos + 1 >= text.size() || text[pos + 1] != '\n'))) ++line;
          field += c;
          ++pos;
        }
        if (pos < text.size() && text[pos] != separator && !isLineEnd(text[pos]))
          return fail(line, "text after a closing quote");
      } else {
        const size_t stop = text.find_first_of(separators, pos);
        const size_t end = stop == std::string_view::npos ? text.size() : stop;
        field.assign(text.substr(pos, end - pos));
        pos = end;
      }
      row.push_back(std::move(field));
      if (pos < text.size() && text[pos] == separator) {
        ++pos;
        continue;
      }
      break;
    }
    if (pos < text.size()) {
      pos = skipLineEnd(text, pos);
      ++line;
    }
    result.rows.push_back(std::move(row));
    result.lines.push_back(rowLine);
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
