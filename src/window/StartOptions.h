#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace netsetup {

// The window takes no options of its own: --version and --help (and /?, as Windows programs
// answer it) are answered before any window opens. `args` without the program name;
// `userSettings` names the user's own settings file as this platform's users know it. The text
// to print, or nullopt to open the window.
std::optional<std::string> answerBeforeWindow(const std::vector<std::string>& args, std::string_view version,
                                              std::string_view userSettings);

// The window's "about" text: its version and the settings file in use.
std::string aboutText(std::string_view version, const std::string& settingsPath, const std::string& startedFrom);

}  // namespace netsetup
