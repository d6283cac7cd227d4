#include "cli/console/Console.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace netsetup::cli {

namespace {

volatile sig_atomic_t interruptTotal = 0;
bool outputClosedAtStart = false;

extern "C" void onInterrupt(int) { interruptTotal = interruptTotal + 1; }

// A standard stream closed by the caller would be reused by the next file the program opens (a
// serial port could receive the table meant for standard output): hold its number open, on a
// device where a write fails (standard output, so losing the result is reported) or vanishes.
bool holdOpen(int fd, const char* device) {
  if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) return false;
  const int held = ::open(device, fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
  if (held >= 0 && held != fd) {
    ::dup2(held, fd);
    ::close(held);
  }
  return true;
}

}  // namespace

std::vector<std::string> commandLine(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

void prepareConsole() {
  holdOpen(STDIN_FILENO, "/dev/null");
  outputClosedAtStart = holdOpen(STDOUT_FILENO, "/dev/full");
  holdOpen(STDERR_FILENO, "/dev/null");

  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a wait in progress ends early, and the tool stops at its next step.
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);  // a service manager's or a script's stop, handled alike
  ::sigaction(SIGHUP, &action, nullptr);   // the terminal or the session that started it is gone
  ::signal(SIGPIPE, SIG_IGN);
  ::signal(SIGXFSZ, SIG_IGN);  // a file-size limit fails the write, which is reported, not the process

  // The caller may die without a word (a configuration tool's worker killed on a time-out): the
  // kernel then sends SIGTERM. A caller that died before the request was made is seen by a new
  // parent process id.
  const pid_t parent = ::getppid();
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (::getppid() != parent) interruptTotal = interruptTotal + 1;
}

unsigned interruptCount() { return static_cast<unsigned>(interruptTotal); }

Result<void> finishStandardOutput() {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return {};
  if (outputClosedAtStart) return Failure{"cannot write standard output", "it is closed"};
  return Failure{"cannot write standard output", errno != 0 ? std::strerror(errno) : "a write failed"};
}

std::string userName() {
  const passwd* user = ::getpwuid(::geteuid());
  return user ? user->pw_name : std::to_string(::geteuid());
}

std::string computerName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || !name[0]) return "?";
  return name;
}

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

std::string_view serialPortExample() { return "/dev/ttyUSB0"; }

}  // namespace netsetup::cli
