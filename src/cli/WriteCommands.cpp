// write: stores the values of a sheet and of --set, backing the area up first and verifying,
// through writeNamedFields.
#include "cli/session/AreaWrite.h"
#include "cli/Commands.h"
#include "cli/session/FieldWrite.h"
#include "cli/session/GivenValues.h"
#include "cli/session/Records.h"
#include "cli/session/WrittenText.h"

namespace netsetup::cli {

CommandResult runWrite(const CliOptions& options, const Context& context) {
  const CliResult<FieldOverlay> values = givenValues(options, context.io.err);
  if (!values) return values.failure();
  const CliResult<Target> target = resolveTarget(options.link, context.link);
  if (!target) return target.failure();
  if (CliResult<> writable = writableAddress(*target, options.broadcast); !writable) return writable.failure();
  Session session(context, *target, options.link.trace);
  const CliResult<FieldWrite> done =
      writeNamedFields(session, *values, backupPlace(options, *target), logPlace(options), options.verify, false);
  if (!done) return done.failure();
  const std::vector<std::string> lines = writtenLines(*target, *done, options.verify);
  if (done->write) {
    if (CliResult<> stopped = stopAfterFinishing(session, *done->write, lines.front()); !stopped) {
      return stopped.failure();
    }
  }
  for (const std::string& line : lines) context.io.out << line << '\n';
  return kExitOk;
}

}  // namespace netsetup::cli
