#include <map>

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/HelpText.h"

namespace netsetup::cli {

int runCli(const std::vector<std::string>& args, Tmod07& link, Io io) {
  const Result<CliOptions, UsageError> parsed = parseArguments(args);
  if (!parsed) {
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
  };
  return commands.at(options.command)(options, link, io);
}

}  // namespace netsetup::cli
