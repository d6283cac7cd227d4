#pragma once
#include <windows.h>

#include <atomic>

namespace netsetup::cli {

// The console's output code page as the tool found it. The tool prints UTF-8, but the console
// outlives it: cmd.exe and older programs run afterwards in the same window would print through
// the tool's code page, so the one found is put back on every way out.
class OutputCodePage {
 public:
  using Get = UINT(WINAPI*)();
  using Set = BOOL(WINAPI*)(UINT);
  OutputCodePage(Get get, Set set) : get_(get), set_(set) {}

  // Switches to `codePage`, remembering the one found (nothing happens without a console).
  void switchTo(UINT codePage);
  // Puts the one found back once; any thread may call it, and call it again.
  void restore();

 private:
  Get get_;
  Set set_;
  std::atomic<UINT> found_{0};  // 0: nothing to put back
};

// A console control event: Ctrl+C and Ctrl+Break are only counted in `interrupts` (the tool
// stops at its next exchange and leaves by its usual way, which restores the code page); a
// close, log-off or shutdown ends the process as soon as the handler returns, so the code page
// goes back here. Returns whether the event was handled.
BOOL onConsoleEvent(DWORD type, OutputCodePage& codePage, std::atomic<unsigned>& interrupts);

}  // namespace netsetup::cli
