#pragma once
#include <array>
#include <cstddef>

#include "actions/Actions.h"
#include "cli/CliOptions.h"
#include "cli/Session.h"
#include "link/Umod07.h"

namespace netsetup::cli {

// The baud list's entries in the order scan tries them: the common rates first (9600, 19200,
// then 115200 down), so a usual instrument is found in the first steps.
inline constexpr std::array<size_t, BaudRates.size()> kScanOrder{0, 1, 5, 4, 3, 2};

// Each command of the tool, on the one link the program owns; returns the exit status.
int runIdentify(const CliOptions& options, Tmod07& link, Io io);
int runRead(const CliOptions& options, Tmod07& link, Io io);
int runBackup(const CliOptions& options, Tmod07& link, Io io);
int runDiff(const CliOptions& options, Tmod07& link, Io io);
int runWrite(const CliOptions& options, Tmod07& link, Io io);
int runApply(const CliOptions& options, Tmod07& link, Io io);
int runRestore(const CliOptions& options, Tmod07& link, Io io);
int runScan(const CliOptions& options, Tmod07& link, Io io);
int runBatch(const CliOptions& options, Tmod07& link, Io io);

// Reads a settings sheet's fields; the exit status of a file that cannot be used.
int loadSheet(const std::string& path, Io io, FieldOverlay& overlay);

// Parses and runs a whole command line (help and version included).
int runCli(const std::vector<std::string>& args, Tmod07& link, Io io);

}  // namespace netsetup::cli
