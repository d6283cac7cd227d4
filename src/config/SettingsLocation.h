#pragma once
#include <functional>
#include <string>

namespace netsetup {

// Where the window reads and writes its settings file.
struct SettingsLocation {
  std::string readPath;
  std::string writePath;
  bool operator==(const SettingsLocation&) const = default;
};

// The file beside the program (`besidePath`) while its folder may be written, so a copy in a
// folder of its own stays portable. Otherwise (a program installed in /usr/bin) the user's own
// file `userPath`; until that exists, the file beside the program is read as its start.
SettingsLocation chooseSettingsLocation(const std::string& besidePath, const std::string& userPath,
                                        const std::function<bool(const std::string& folder)>& folderWritable,
                                        const std::function<bool(const std::string& file)>& fileExists);

// The choice for this program on this machine: beside the executable, or the user's file
// ($XDG_CONFIG_HOME/netsetup/netsetup.ini, by default ~/.config/netsetup/netsetup.ini; on Windows
// %APPDATA%\netsetup\netsetup.ini).
SettingsLocation settingsLocationFor(const std::string& executablePath);

// The user's own settings file, as above; empty when the system names no home for it.
std::string userSettingsPath();

// The user's own folder for what the tools keep of their work (the command-line tool's backups
// and log of writes): $XDG_STATE_HOME/netsetup, by default ~/.local/state/netsetup; on Windows
// %LOCALAPPDATA%\netsetup. Empty when the system names no home for it.
std::string userStateFolder();

// Whether this user may create files in `folder`.
bool folderWritable(const std::string& folder);

}  // namespace netsetup
