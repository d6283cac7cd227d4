#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/Result.h"

namespace netsetup::cli {

// Comma-separated values as RFC 4180 and spreadsheets write them.
using CsvRow = std::vector<std::string>;

struct CsvTable {
  std::vector<CsvRow> rows;
  std::vector<size_t> lines;  // the line each row starts on (1-based), for messages
};

// Fields in double quotes may hold commas, line breaks and "" for a quote. Rows end at CRLF,
// LF or a lone CR (older Mac spreadsheets); a UTF-8 byte-order mark is dropped and empty lines
// are skipped. An unclosed quote or text after a closing quote is refused, in one line naming
// the line.
// `separator` is ',' or ';' (what a spreadsheet saves where the comma is the decimal mark).
Result<CsvTable> parseCsv(std::string_view text, char separator = ',');

// The separator a file's header line uses: ';' when it holds more semicolons than commas
// outside quotes, else ','.
char csvSeparator(std::string_view text);

// One row and its "\r\n". A field holding a comma, quote, CR or LF, starting or ending with a
// blank, or starting with a byte-order mark, is quoted; everything else is written exactly as it is.
std::string formatCsvRow(const CsvRow& row);

}  // namespace netsetup::cli
