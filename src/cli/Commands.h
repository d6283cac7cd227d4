#pragma once
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "actions/Actions.h"
#include "cli/session/CliFailure.h"
#include "cli/session/CliOptions.h"
#include "cli/session/Context.h"

namespace netsetup::cli {

// The baud list's entries in the order scan tries them: the common rates first (9600, 19200,
// then 115200 down), so a usual instrument is found in the first steps.
inline constexpr std::array<size_t, BaudRates.size()> kScanOrder{0, 1, 5, 4, 3, 2};

// Each command of the tool, on the one link the program owns: the exit status it ends with
// (0, or 1 for a diff that found one), or what failed, which runCli prints.
using CommandResult = CliResult<int>;
CommandResult runIdentify(const CliOptions& options, const Context& context);
CommandResult runRead(const CliOptions& options, const Context& context);
CommandResult runBackup(const CliOptions& options, const Context& context);
CommandResult runDiff(const CliOptions& options, const Context& context);
CommandResult runWrite(const CliOptions& options, const Context& context);
CommandResult runApply(const CliOptions& options, const Context& context);
CommandResult runRestore(const CliOptions& options, const Context& context);
CommandResult runScan(const CliOptions& options, const Context& context);
CommandResult runBatch(const CliOptions& options, const Context& context);
CommandResult runLog(const CliOptions& options, const Context& context);

// Parses and runs a whole command line (help and version included) and prints a failure on
// io.err. `interruptCount` says how many interrupts (Ctrl+C...) have come so far; the link's
// stop check is set from it for the run.
int runCli(const std::vector<std::string>& args, Tmod07& link, Io io,
           const std::function<unsigned()>& interruptCount = {});

}  // namespace netsetup::cli
