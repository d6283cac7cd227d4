#include "window/StartOptions.h"

#include "window/Controls.h"

namespace netsetup {

std::optional<std::string> answerBeforeWindow(const std::vector<std::string>& args, std::string_view version,
                                              std::string_view userSettings) {
  for (const std::string& arg : args) {
    if (arg == "--version") return "netsetup " + std::string(version) + "\n";
    if (arg == "--help" || arg == "/?") {
      return "Usage: netsetup [--version | --help]\n"
             "Opens the window that reads and changes the network settings of a VRN-207K instrument over a\n"
             "serial port or a TCP connection. The link settings are kept in netsetup.ini beside the\n"
             "program, or in " + std::string(userSettings) + " when the program's folder may not be written.\n";
    }
  }
  return std::nullopt;
}

std::string aboutText(std::string_view version, const std::string& settingsPath, const std::string& startedFrom) {
  std::string text = std::string(kMainFrm.caption) + "\nnetsetup " + std::string(version) + "\n\nФайл настроек: " +
                     settingsPath;
  // Until the user's own file is first saved, the settings came from the one beside the program.
  if (!startedFrom.empty() && startedFrom != settingsPath) text += "\n(начальные значения из " + startedFrom + ")";
  return text;
}

}  // namespace netsetup
