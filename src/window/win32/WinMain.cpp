#include <windows.h>

#include <commctrl.h>

#include <string>

#include "config/SettingsLocation.h"
#include "link/Umod07.h"
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

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // The manifest declares it too; this covers a copy that lost its manifest. Either way the
  // window scales itself once and the system does not scale it again.
  ::SetProcessDPIAware();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);

  const std::wstring exe = executablePath();
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
