#pragma once
#include <string>

#include "cli/session/AreaWrite.h"
#include "cli/session/CliOptions.h"
#include "cli/session/Target.h"

namespace netsetup::cli {

// Where the records of the tool's work go: backups, and the log of writes. Paths are absolute,
// so a message or a command to paste names the same file wherever it is read.

// The folder backups go to without --backup or --backup-dir: "backups" in the user's state
// folder (userStateFolder), or the current folder on a system that names none.
std::string defaultBackupFolder();

// A write's backup of `target`: --backup FILE, else a free name in --backup-dir or the default
// folder, named after the instrument (--name, the address, the link).
BackupPlace backupPlace(const CliOptions& options, const Target& target);

// The log of writes: --log FILE, else writes.jsonl in the user's state folder (the current
// folder on a system that names none); recorded as the command, under --name.
std::string logPath(const CliOptions& options);
LogPlace logPlace(const CliOptions& options);

}  // namespace netsetup::cli
