#include "window/win32/PortList.h"

#include <commctrl.h>

#include "link/AdapterLatency.h"
#include "text/Wide.h"

namespace netsetup {

std::wstring portListTip(const std::vector<PresentPort>& ports) {
  if (ports.empty()) return L"На этом компьютере нет COM-портов";
  std::wstring tip = L"COM-порты этого компьютера:";
  for (const PresentPort& port : ports) {
    const std::wstring com = L"COM" + std::to_wstring(port.number);
    std::wstring name = port.name;
    // Friendly names usually end in the port's own name: "USB Serial Port (COM3)".
    const std::wstring suffix = L" (" + com + L")";
    if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      name.resize(name.size() - suffix.size());
    }
    if (port.latencyTimerMs) name += (name.empty() ? L"" : L", ") + toWide(latencyTimerText(*port.latencyTimerMs, Language::Russian));
    tip += L"\n" + com + (name.empty() ? L"" : L" \u2014 " + name);
  }
  return tip;
}

HWND addPortListTip(HWND owner, HWND portList, int maxWidth) {
  HWND tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(owner, GWLP_HINSTANCE)), nullptr);
  if (!tip) return nullptr;
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(portList);
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, maxWidth);  // lines break at "\n"
  ::SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
  return tip;
}

}  // namespace netsetup
