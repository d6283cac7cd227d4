#include "cli/session/Records.h"

#include "cli/console/Files.h"
#include "files/FileStore.h"
#include "config/SettingsLocation.h"

namespace netsetup::cli {

std::string defaultBackupFolder() {
  const std::string state = userStateFolder();
  return files::absolutePath(state.empty() ? "." : files::inFolder(state, "backups"));
}

BackupPlace backupPlace(const CliOptions& options, const Target& target) {
  if (!options.backup.empty()) return {files::absolutePath(options.backup), "", "", false, options.name};
  const std::string folder = options.backupDir.empty() ? defaultBackupFolder() : files::absolutePath(options.backupDir);
  return {"", folder, backupStem(options.name, linkFileName(target.where), target.address), false, options.name};
}

std::string logPath(const CliOptions& options) {
  if (!options.log.empty()) return files::absolutePath(options.log);
  const std::string state = userStateFolder();
  return files::absolutePath(state.empty() ? "writes.jsonl" : files::inFolder(state, "writes.jsonl"));
}

LogPlace logPlace(const CliOptions& options) { return {logPath(options), options.command, options.name}; }

}  // namespace netsetup::cli
