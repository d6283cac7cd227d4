#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "config/SettingsLocation.h"

namespace netsetup {

std::string userSettingsPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return std::string(config) + "/netsetup/netsetup.ini";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.config/netsetup/netsetup.ini";
  return {};
}

std::string userStateFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && state[0] == '/') return std::string(state) + "/netsetup";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/state/netsetup";
  return {};
}

bool folderWritable(const std::string& folder) {
  // With the effective ids, as the save itself will run.
  return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace netsetup
