#include "cli/GivenValues.h"

#include "cli/ExitCodes.h"
#include "cli/FieldEdit.h"
#include "cli/Files.h"
#include "cli/Sheet.h"

namespace netsetup::cli {

CliResult<FieldOverlay> loadSheet(const std::string& path, std::string_view what) {
  const Result<std::string> text = readTextFile(path, what);
  if (!text) return CliFailure::of(kExitUsage, text.failure());
  Result<FieldOverlay> sheet = parseSheet(*text, path);
  if (!sheet) return CliFailure{kExitUsage, sheet.failure().text()};
  return std::move(*sheet);
}

CliResult<FieldOverlay> givenValues(const CliOptions& options) {
  FieldOverlay values;
  for (const auto& [path, what] : {std::pair{&options.templateSheet, "the template"}, {&options.file, "the sheet"}}) {
    if (path->empty()) continue;
    CliResult<FieldOverlay> sheet = loadSheet(*path, what);
    if (!sheet) return sheet.failure();
    values.insert(values.end(), sheet->begin(), sheet->end());
  }
  values.insert(values.end(), options.sets.begin(), options.sets.end());
  if (Result<void> checked = checkValues(values); !checked) {
    return CliFailure{kExitRefused, checked.failure().text() + "; nothing was written"};
  }
  return values;
}

}  // namespace netsetup::cli
