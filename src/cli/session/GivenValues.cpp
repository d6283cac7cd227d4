#include "cli/session/GivenValues.h"

#include "cli/session/ExitCodes.h"
#include "cli/formats/FieldEdit.h"
#include "cli/console/Files.h"
#include "cli/formats/SavedText.h"
#include "cli/formats/Sheet.h"
#include "files/FileStore.h"

namespace netsetup::cli {

namespace {

// Far more than any sheet: a device that never ends is refused, not read for ever.
constexpr size_t kMaxSheetBytes = 1 << 20;

}  // namespace

CliResult<FieldOverlay> loadSheet(const std::string& path, std::string_view what, std::ostream& notes) {
  const Result<std::string> bytes = files::readStream(path, kMaxSheetBytes);
  if (!bytes) return CliFailure{kExitUsage, "cannot read " + std::string(what) + " " + path, bytes.failure().reason};
  const Result<SavedText> text = decodeSavedText(*bytes, path, kSaveSheetAsUtf8);
  if (!text) return CliFailure{kExitUsage, text.failure().text()};
  if (!text->note.empty()) notes << kComplaintPrefix << text->note << '\n';
  Result<FieldOverlay> sheet = parseSheet(text->utf8, path);
  if (!sheet) return CliFailure{kExitUsage, sheet.failure().text()};
  for (const std::string& note : sheetNotes(text->utf8, path)) notes << kComplaintPrefix << note << '\n';
  return std::move(*sheet);
}

CliResult<FieldOverlay> givenValues(const CliOptions& options, std::ostream& notes) {
  FieldOverlay values;
  for (const auto& [path, what] : {std::pair{&options.templateSheet, "the template"}, {&options.file, "the sheet"}}) {
    if (path->empty()) continue;
    CliResult<FieldOverlay> sheet = loadSheet(*path, what, notes);
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
