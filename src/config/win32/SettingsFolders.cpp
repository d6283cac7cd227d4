#include <windows.h>

#include <cstdlib>

#include "config/SettingsLocation.h"
#include "text/Wide.h"

namespace netsetup {

std::string userSettingsPath() {
  const wchar_t* appData = ::_wgetenv(L"APPDATA");
  if (!appData || !*appData) return {};
  const std::wstring path = std::wstring(appData) + L"\\netsetup\\netsetup.ini";
  return toUtf8(path);
}

std::string userStateFolder() {
  const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA");
  if (!local || !*local) return {};
  return toUtf8(std::wstring(local) + L"\\netsetup");
}

bool folderWritable(const std::string& folder) {
  // Windows says little in advance about a folder's permissions: try making a file there.
  wchar_t name[MAX_PATH];
  if (::GetTempFileNameW(toWide(folder).c_str(), L"nst", 0, name) == 0) return false;
  // wine hands back a name even when it could not make the file: only a file that exists counts.
  if (::GetFileAttributesW(name) == INVALID_FILE_ATTRIBUTES) return false;
  ::DeleteFileW(name);
  return true;
}

}  // namespace netsetup
