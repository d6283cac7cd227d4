// log: shows the log of writes, the record of every write the tool attempted.
#include "cli/Commands.h"
#include "cli/session/ExitCodes.h"
#include "cli/console/Files.h"
#include "cli/session/Records.h"
#include "cli/formats/WriteLog.h"
#include "text/Lines.h"

namespace netsetup::cli {

CommandResult runLog(const CliOptions& options, const Context& context) {
  const std::string path = logPath(options);
  const Result<std::string> text = readTextFile(path, "the log of writes");
  if (!text) return CliFailure::of(kExitUsage, text.failure());
  std::vector<WriteRecord> shown;
  std::string lines;
  size_t unreadable = 0;
  for (const std::string& line : splitLineTexts(*text)) {
    if (line.empty()) continue;
    const Result<WriteRecord> record = parseWriteRecord(line);
    if (!record) {
      ++unreadable;
      continue;
    }
    // Times are UTC in one fixed form, so their text sorts as they do.
    if (!options.since.empty() && record->time < options.since) continue;
    if (!options.name.empty() && record->name != options.name) continue;
    shown.push_back(*record);
    lines += line + "\n";
  }
  context.io.out << (options.format == OutputFormat::Json ? lines : formatLogTable(shown));
  if (unreadable > 0) {
    context.io.err << kComplaintPrefix << unreadable << " line(s) of " << path
                   << " are not records of a write and were left out\n";
  }
  return kExitOk;
}

}  // namespace netsetup::cli
