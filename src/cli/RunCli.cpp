#include <algorithm>

#include "cli/Arguments.h"
#include "cli/CommandTable.h"
#include "cli/HelpText.h"
#include "cli/session/ApplyJson.h"
#include "cli/session/ExitCodes.h"

namespace netsetup::cli {

namespace {

// A script that asked for JSON reads its answer there even when the line itself is wrong: the
// line holds --json and a command that takes it.
bool asksForJson(const std::vector<std::string>& args) {
  if (std::find(args.begin(), args.end(), "--json") == args.end()) return false;
  return std::any_of(args.begin(), args.end(), [](const std::string& word) {
    const CommandInfo* command = findCommand(word);
    return command && command->options.has(OptionId::Json);
  });
}

// The link's stop check for one run, taken away again when the run ends.
class StopCheck {
 public:
  StopCheck(Tmod07& link, Interrupts& interrupts) : link_(link) {
    link_.setStopCheck([&interrupts] { return interrupts.stopAsked(); });
  }
  ~StopCheck() { link_.setStopCheck({}); }
  StopCheck(const StopCheck&) = delete;
  StopCheck& operator=(const StopCheck&) = delete;

 private:
  Tmod07& link_;
};

}  // namespace

int runCli(const std::vector<std::string>& args, Tmod07& link, Io io, const std::function<unsigned()>& interruptCount) {
  // Nothing asked: the usage goes where messages go, and a script sees a failure.
  if (args.empty()) {
    io.err << helpText("");
    return kExitUsage;
  }
  const Result<CliOptions, UsageError> parsed = parseArguments(args);
  if (!parsed) {
    const CliFailure usage{kExitUsage, parsed.failure().message, "", {"(netsetup-cli --help describes every command)"}};
    if (asksForJson(args)) {
      ApplyState state;
      state.failure = usage;
      const bool read = std::find(args.begin(), args.end(), "read") != args.end();
      io.out << (read ? formatReadJson(std::nullopt, "", std::nullopt, &usage, false) : formatApplyJson(state, false));
    }
    io.err << usage.lines();
    return kExitUsage;
  }
  const CliOptions& options = *parsed;
  if (options.version) {
    io.out << "netsetup-cli " << NETSETUP_VERSION << '\n';
    return kExitOk;
  }
  if (options.help || options.command.empty()) {
    io.out << helpText(options.command);
    return kExitOk;
  }
  Interrupts interrupts(interruptCount, io.err);
  const StopCheck stopCheck(link, interrupts);
  const CommandResult result = findCommand(options.command)->run(options, Context{link, io, interrupts});
  if (result) return *result;
  io.err << result.failure().lines();
  return result.failure().exit;
}

}  // namespace netsetup::cli
