#include "window/win32/MessageText.h"

#include <windows.h>

namespace netsetup {

std::wstring applicationTitle(std::wstring_view executablePath) {
  const size_t slash = executablePath.find_last_of(L"\\/");
  std::wstring name(slash == std::wstring_view::npos ? executablePath : executablePath.substr(slash + 1));
  name = name.substr(0, name.find(L'.'));
  // The system's case rules, so Cyrillic names fold as Latin ones do.
  if (name.size() > 1) ::CharLowerBuffW(name.data() + 1, static_cast<DWORD>(name.size() - 1));
  return name;
}

}  // namespace netsetup
