#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/formats/FieldNames.h"
#include "cli/formats/Report.h"
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
  char separator = ',';  // as the header line shows: ',' or ';'
};

// Checks the header and the shape of each row, its cells separated by commas or, when the
// header line says so, semicolons (a spreadsheet's "CSV" where the comma is the decimal mark); the cells' values are judged by batch before any
// instrument is touched. Cells are trimmed of blanks; rows whose cells are all empty (a
// spreadsheet's empty rows) are skipped. Each field cell's origin is "<source> line N, column
// C". A refusal is one line.
Result<Worklist> parseWorklist(std::string_view csv, std::string_view source = "worklist");

// Identifies a row's instrument across runs, even when rows were inserted above it:
// name|serial@baud|tcp|address.
std::string rowKey(const WorkRow& row);

// What a report records for a row it did: its rowKey and a digest of the values it was done with
// (the last one given for each field), so a row edited since, or run with another template,
// counts as not done. The digest is keyed with `secret`, kept beside the backups, so the report
// tells nothing about the values (the password among them).
std::string resumeKey(const WorkRow& row, const FieldOverlay& values, std::string_view secret);

// The rowKey part of a key resumeKey wrote; a key without a digest (from an earlier report) as it is.
std::string_view rowKeyPart(std::string_view key);

}  // namespace netsetup::cli
