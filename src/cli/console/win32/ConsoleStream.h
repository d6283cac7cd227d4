#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

namespace netsetup::cli {

// A standard stream of the tool on Windows. To a console, text goes through the console's
// wide-character write, which shows every character whatever the console's code page (Windows
// 7's code page 65001 included); to a file or a pipe it goes as UTF-8 bytes. A character cut by
// the end of a buffer waits for its last bytes, so neither ever gets half of one.
class ConsoleStream final : public std::streambuf {
 public:
  // Each writes everything it is given, or returns the Windows error that stopped it.
  using WriteWide = std::function<DWORD(std::wstring_view)>;
  using WriteBytes = std::function<DWORD(std::string_view)>;

  // The handle's own: a console when GetConsoleMode says so.
  explicit ConsoleStream(HANDLE handle);
  ConsoleStream(bool console, WriteWide wide, WriteBytes bytes)
      : console_(console), wide_(std::move(wide)), bytes_(std::move(bytes)) {}

  // The error of the first write that failed, 0 while none has.
  DWORD error() const { return error_; }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  // Writes what is held, all of it or up to the last whole character.
  void write(bool all);

  bool console_;
  WriteWide wide_;
  WriteBytes bytes_;
  std::string held_;
  DWORD error_ = 0;
};

// A console control event: Ctrl+C and Ctrl+Break are counted in `interrupts` (the tool stops at
// its next exchange and leaves by its usual way); a close, log-off or shutdown is left to the
// system's own handling, which ends the process. Returns whether the event was handled.
BOOL onConsoleEvent(DWORD type, std::atomic<unsigned>& interrupts);

}  // namespace netsetup::cli
