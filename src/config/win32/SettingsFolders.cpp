#include <windows.h>

#include <cstdlib>

#include "config/SettingsLocation.h"
#include "text/Utf16.h"

namespace netsetup {

namespace {

std::wstring wide(const std::string& utf8) {
  const std::u16string units = utf8ToUtf16(utf8);
  return std::wstring(units.begin(), units.end());
}

}  // namespace

std::string userSettingsPath() {
  const wchar_t* appData = ::_wgetenv(L"APPDATA");
  if (!appData || !*appData) return {};
  const std::wstring path = std::wstring(appData) + L"\\netsetup\\netsetup.ini";
  return utf16ToUtf8(std::u16string(path.begin(), path.end()));
}

bool folderWritable(const std::string& folder) {
  // Windows says little in advance about a folder's permissions: try making a file there.
  wchar_t name[MAX_PATH];
  if (::GetTempFileNameW(wide(folder).c_str(), L"nst", 0, name) == 0) return false;
  ::DeleteFileW(name);
  return true;
}

}  // namespace netsetup
