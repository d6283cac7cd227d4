#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "config/SettingsLocation.h"
#include "link/Umod07.h"
#include "window/StartOptions.h"
#include "window/win32/Main.h"
#include "window/win32/MessageText.h"
#include "text/Wide.h"

// The one channel to the instrument. It exists before the window and lives as long as the
// process; both actions share it, one at a time.
static netsetup::Tmod07 TheLink;

namespace {

std::wstring executablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // cut short: a long path
  }
}

std::vector<std::string> arguments() {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i) args.push_back(netsetup::toUtf8(wide[i]));
  if (wide) ::LocalFree(wide);
  return args;
}

// A window program has no console of its own: the answer goes to standard output where that is a
// file or a pipe (netsetup.exe --version > v.txt), in a box otherwise.
int answer(const std::string& text, const std::wstring& title) {
  const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  if (out && out != INVALID_HANDLE_VALUE && ::GetFileType(out) != FILE_TYPE_UNKNOWN &&
      ::GetFileType(out) != FILE_TYPE_CHAR) {
    return ::WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size()
               ? 0
               : 1;
  }
  ::MessageBoxW(nullptr, netsetup::toWide(text).c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  const std::wstring exe = executablePath();
  if (const auto text = netsetup::answerBeforeWindow(arguments(), NETSETUP_VERSION, "%APPDATA%\\netsetup\\netsetup.ini")) {
    return answer(*text, netsetup::applicationTitle(exe));
  }

  // The manifest declares it too; this covers a copy that lost its manifest. Either way the
  // window scales itself once and the system does not scale it again.
  ::SetProcessDPIAware();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);

  netsetup::TMainFrm MainFrm(TheLink, netsetup::applicationTitle(exe),
                             netsetup::settingsLocationFor(netsetup::toUtf8(exe)));
  if (!MainFrm.create(instance, showCommand)) return 1;

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (MainFrm.takeEnterOnButton(message)) continue;
    if (MainFrm.handle() && ::IsDialogMessageW(MainFrm.handle(), &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
