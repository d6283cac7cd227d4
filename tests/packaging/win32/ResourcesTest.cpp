// What Windows, Explorer and installers read from the two programs' files, read through the
// system's own calls: the manifest, the icon and the version.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "text/Wide.h"

namespace netsetup {
namespace {

std::string resource(HMODULE module, LPCWSTR type) {
  HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), type);
  const auto* bytes = found ? static_cast<const char*>(::LockResource(::LoadResource(module, found))) : nullptr;
  return bytes ? std::string(bytes, ::SizeofResource(module, found)) : std::string();
}

std::wstring versionValue(const std::string& block, const std::wstring& path) {
  void* value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) return L"(none)";
  if (path == L"\\") {  // the numbers, as a.b.c.d
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    return std::to_wstring(HIWORD(fixed->dwProductVersionMS)) + L"." + std::to_wstring(LOWORD(fixed->dwProductVersionMS)) +
           L"." + std::to_wstring(HIWORD(fixed->dwProductVersionLS)) + L"." +
           std::to_wstring(LOWORD(fixed->dwProductVersionLS));
  }
  return static_cast<const wchar_t*>(value);
}

TEST(ProgramResources, ManifestIconAndVersionInBothPrograms) {
  std::wstring quad = toWide(NETSETUP_VERSION);  // the project's version in Windows' four numbers
  while (std::count(quad.begin(), quad.end(), L'.') < 3) quad += L".0";
  for (const char* program : {NETSETUP_EXE, NETSETUP_CLI_EXE}) {
    SCOPED_TRACE(program);
    const std::wstring path = toWide(program);
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << ::GetLastError();
    // Without asInvoker a 32-bit "setup" program is taken for an installer and run elevated.
    const std::string manifest = resource(module, RT_MANIFEST);
    EXPECT_NE(manifest.find(R"(<requestedExecutionLevel level="asInvoker")"), std::string::npos) << manifest;
    for (const char* os : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                           "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) {
      EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"{") + os + "}\"/>"), std::string::npos) << os;
    }
    EXPECT_FALSE(resource(module, RT_GROUP_ICON).empty());
    ::FreeLibrary(module);

    DWORD ignored = 0;
    std::string block(::GetFileVersionInfoSizeW(path.c_str(), &ignored), '\0');
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    EXPECT_EQ(versionValue(block, L"\\"), quad);
    for (const wchar_t* name : {L"ProductVersion", L"FileVersion"}) {
      EXPECT_EQ(versionValue(block, std::wstring(L"\\StringFileInfo\\040904B0\\") + name), toWide(NETSETUP_VERSION));
    }
    EXPECT_EQ(versionValue(block, L"\\StringFileInfo\\040904B0\\ProductName"), L"netsetup");
  }
}

// What `program --version` writes to a pipe, as a script reads it.
std::string versionAnswer(const std::wstring& program) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!::CreatePipe(&read, &write, &inherit, 0)) return "(no pipe)";
  ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write;
  startup.hStdError = write;
  std::wstring line = L"\"" + program + L"\" --version";
  PROCESS_INFORMATION process{};
  const BOOL started = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  ::CloseHandle(write);
  std::string out;
  char buffer[256];
  for (DWORD got = 0; started && ::ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0;) out.append(buffer, got);
  ::CloseHandle(read);
  if (!started) return "(not started)";
  ::WaitForSingleObject(process.hProcess, 10000);
  ::CloseHandle(process.hProcess);
  ::CloseHandle(process.hThread);
  return out;
}

// The window program has no console; its answer still reaches a script through a pipe.
TEST(ProgramResources, BothProgramsSayTheirVersion) {
  EXPECT_EQ(versionAnswer(toWide(NETSETUP_EXE)), "netsetup " NETSETUP_VERSION "\n");
  EXPECT_EQ(versionAnswer(toWide(NETSETUP_CLI_EXE)), "netsetup-cli " NETSETUP_VERSION "\n");
}

}  // namespace
}  // namespace netsetup
