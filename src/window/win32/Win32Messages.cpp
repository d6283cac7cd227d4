#include "window/win32/Win32Messages.h"

#include "window/win32/MessageText.h"

namespace netsetup {

void Win32Messages::showMessage(HWND owner, const std::wstring& text) {
  ::MessageBoxW(owner, text.c_str(), title_.c_str(), MB_OK);
}

void Win32Messages::showError(HWND owner, const std::wstring& text) {
  ::MessageBoxW(owner, errorBoxText(text).c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
}

}  // namespace netsetup
