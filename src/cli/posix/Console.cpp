#include "cli/Console.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>

namespace netsetup::cli {

namespace {

volatile sig_atomic_t interruptedFlag = 0;

extern "C" void onInterrupt(int) { interruptedFlag = 1; }

}  // namespace

std::vector<std::string> commandLine(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

void prepareConsole() {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a wait in progress ends early, and the tool stops at its next step.
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);  // a service manager's or a script's stop, handled alike
  ::signal(SIGPIPE, SIG_IGN);
}

bool interrupted() { return interruptedFlag != 0; }

bool errorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

std::string localTimeOfDay() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  ::localtime_r(&seconds, &local);
  char text[32];
  const size_t length = std::strftime(text, sizeof text, "%H:%M:%S", &local);
  std::snprintf(text + length, sizeof text - length, ".%03d", static_cast<int>(ms));
  return text;
}

}  // namespace netsetup::cli
