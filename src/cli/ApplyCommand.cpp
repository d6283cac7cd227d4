// apply: brings an instrument to the values named and writes only when one of them differs,
// so running it again changes nothing; --json gives configuration tools one object to read.
#include "cli/session/ApplyJson.h"
#include "cli/Commands.h"
#include "cli/session/ExitCodes.h"
#include "cli/session/FieldWrite.h"
#include "cli/console/Files.h"
#include "cli/session/GivenValues.h"
#include "cli/session/Records.h"
#include "cli/session/WrittenText.h"

namespace netsetup::cli {

namespace {

// The run itself; `state` receives each part as it becomes known.
CliResult<> applyValues(const CliOptions& options, const Context& context, ApplyState& state) {
  const CliResult<FieldOverlay> values = givenValues(options, context.io.err);
  if (!values) return values.failure();
  const CliResult<Target> target = resolveTarget(options.link, context.link);
  if (!target) return target.failure();
  state.target = *target;
  if (!options.check) {
    if (CliResult<> writable = writableAddress(*target, options.broadcast); !writable) return writable.failure();
  }
  Session session(context, *target, options.link.trace);
  CliResult<FieldWrite> done =
      writeNamedFields(session, *values, backupPlace(options, *target), logPlace(options), options.verify,
                       options.check);
  state.type = session.type();
  if (!done) {
    state.write = done.failure().write;
    return done.failure();
  }
  state.edit = done->edit;
  state.write = done->write;
  if (done->write) {
    const std::string line = writtenLines(*target, *done, options.verify).front();
    if (CliResult<> stopped = stopAfterFinishing(session, *done->write, line); !stopped) return stopped.failure();
  }
  if (options.json) return {};

  std::ostream& out = context.io.out;
  if (options.showDiff) {
    for (const NamedField& field : done->edit.named)
      if (field.changed) out << changeLine(field) << '\n';
  }
  if (options.check && !done->edit.changed.empty()) {
    std::string names;
    for (std::string_view name : done->edit.changed) names.append(names.empty() ? "" : ", ").append(name);
    out << "address " << int{target->address} << " on " << target->description << " would change in " << names
        << "; nothing was written (--check)\n";
    for (const std::string& note : storedOtherwiseNotes(done->edit)) out << note << '\n';
    return {};
  }
  for (const std::string& line : writtenLines(*target, *done, options.verify)) out << line << '\n';
  return {};
}

}  // namespace

CommandResult runApply(const CliOptions& options, const Context& context) {
  return answerAsApply(options.json, options.showPassword, context.io.out,
                       [&](ApplyState& state) { return applyValues(options, context, state); });
}

}  // namespace netsetup::cli
