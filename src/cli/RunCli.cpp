#include <algorithm>
#include <map>

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/FieldWrite.h"
#include "cli/HelpText.h"

namespace netsetup::cli {

namespace {

// A script that asked apply for JSON reads its answer there even when the line itself is wrong.
bool asksForApplyJson(const std::vector<std::string>& args) {
  const auto has = [&](std::string_view word) { return std::find(args.begin(), args.end(), word) != args.end(); };
  return has("apply") && has("--json");
}

}  // namespace

int runCli(const std::vector<std::string>& args, Tmod07& link, Io io) {
  const Result<CliOptions, UsageError> parsed = parseArguments(args);
  if (!parsed) {
    if (asksForApplyJson(args)) io.out << formatApplyJson({}, false, kExitUsage, parsed.failure().message);
    io.err << kComplaintPrefix << parsed.failure().message << "\n(netsetup-cli --help describes every command)\n";
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
  using Command = int (*)(const CliOptions&, Tmod07&, Io);
  static const std::map<std::string, Command> commands{
      {"identify", runIdentify}, {"read", runRead},       {"backup", runBackup}, {"diff", runDiff},
      {"write", runWrite},       {"restore", runRestore}, {"scan", runScan},     {"batch", runBatch},
      {"apply", runApply},
  };
  return commands.at(options.command)(options, link, io);
}

}  // namespace netsetup::cli
