#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/FieldNames.h"
#include "cli/Report.h"
#include "text/Result.h"

namespace netsetup::cli {

// A commissioning worklist: a CSV file, one instrument per row, with a header naming the
// columns: the link (serial, baud, tcp, address), an optional name, and the fields to store.
struct WorkRow {
  size_t line = 0;  // where the row starts in the file, for messages
  std::string name, serial, baud, tcp, address;
  FieldOverlay fields;  // the row's non-empty field cells, in column order
};

struct Worklist {
  std::vector<WorkRow> rows;
};

// Checks the header and the shape of each row only: a row's values are judged when it runs,
// so one bad row fails alone instead of stopping the whole list. Cells are trimmed of blanks;
// rows whose cells are all empty (a spreadsheet's empty rows) are skipped. A refusal is one line.
Result<Worklist> parseWorklist(std::string_view csv);

// Identifies a row across runs, even when rows were inserted above it:
// name|serial@baud|tcp|address.
std::string rowKey(const WorkRow& row);

}  // namespace netsetup::cli
