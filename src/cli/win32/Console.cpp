#include "cli/Console.h"

#include <windows.h>
#include <io.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <ctime>

#include "text/Utf16.h"

namespace netsetup::cli {

namespace {

volatile LONG interruptedFlag = 0;

BOOL WINAPI onControl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  ::InterlockedExchange(&interruptedFlag, 1);
  return TRUE;  // the tool stops at its next step and says what it found so far
}

}  // namespace

std::vector<std::string> commandLine(int, char**) {
  // The narrow argv holds the ANSI code page; the wide command line holds what was typed.
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i) {
    const std::wstring arg(wide[i]);
    args.push_back(utf16ToUtf8(std::u16string(arg.begin(), arg.end())));
  }
  if (wide) ::LocalFree(wide);
  return args;
}

void prepareConsole() {
  ::SetConsoleOutputCP(CP_UTF8);
  ::SetConsoleCtrlHandler(onControl, TRUE);
}

bool interrupted() { return ::InterlockedCompareExchange(&interruptedFlag, 0, 0) != 0; }

bool errorIsTerminal() { return ::_isatty(::_fileno(stderr)) != 0; }

std::string utcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  ::gmtime_s(&utc, &now);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

std::string localTimeOfDay() {
  SYSTEMTIME t;
  ::GetLocalTime(&t);
  char text[32];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u.%03u", t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
  return text;
}

}  // namespace netsetup::cli
