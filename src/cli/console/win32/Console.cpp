#include "cli/console/Console.h"

#include "link/win32/OpenDiagnosis.h"  // before windows.h: it brings winsock2.h

#include <windows.h>
#include <io.h>
#include <shellapi.h>

#include <atomic>
#include <cstdio>
#include <iostream>

#include "cli/console/win32/ConsoleStream.h"
#include "text/UniqueHandle.h"
#include "text/Wide.h"

namespace netsetup::cli {

namespace {

// CommandLineToArgvW's array, freed with LocalFree.
struct ArgumentListTraits {
  using Handle = wchar_t**;
  static Handle invalid() { return nullptr; }
  static void close(Handle list) { ::LocalFree(list); }
};
using ArgumentList = UniqueHandle<ArgumentListTraits>;

std::atomic<unsigned> interruptTotal{0};

// Runs on a thread of its own, while the tool goes on.
BOOL WINAPI onControl(DWORD type) { return onConsoleEvent(type, interruptTotal); }

// For the whole run: the standard streams are flushed at the very end, after any static object
// could have gone.
ConsoleStream* standardOutput = nullptr;

}  // namespace

std::vector<std::string> commandLine(int, char**) {
  // The narrow argv holds the ANSI code page; the wide command line holds what was typed.
  int count = 0;
  const ArgumentList wide(::CommandLineToArgvW(::GetCommandLineW(), &count));
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i) {
    args.push_back(toUtf8(wide.get()[i]));
  }
  // Windows programs answer /? with their help.
  if (args.size() == 1 && args.front() == "/?") args.front() = "--help";
  return args;
}

void prepareConsole() {
  standardOutput = new ConsoleStream(::GetStdHandle(STD_OUTPUT_HANDLE));
  std::cout.rdbuf(standardOutput);
  std::cerr.rdbuf(new ConsoleStream(::GetStdHandle(STD_ERROR_HANDLE)));
  ::SetConsoleCtrlHandler(onControl, TRUE);
}

unsigned interruptCount() { return interruptTotal.load(); }

Result<void> finishStandardOutput() {
  std::cout.flush();
  if (!standardOutput || standardOutput->error() == 0) return {};
  return Failure{"cannot write standard output", systemMessage(standardOutput->error())};
}

std::string userName() {
  wchar_t name[257] = {};
  DWORD size = 257;
  return ::GetUserNameW(name, &size) ? toUtf8(name) : "?";
}

std::string computerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  return ::GetComputerNameW(name, &size) ? toUtf8(name) : "?";
}

bool errorIsTerminal() { return ::_isatty(::_fileno(stderr)) != 0; }

std::string localTimeOfDay() {
  SYSTEMTIME t;
  ::GetLocalTime(&t);
  char text[32];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u.%03u", t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
  return text;
}

std::string_view serialPortExample() { return "COM3"; }

}  // namespace netsetup::cli
