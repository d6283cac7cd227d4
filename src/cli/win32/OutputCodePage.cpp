#include "cli/win32/OutputCodePage.h"

namespace netsetup::cli {

void OutputCodePage::switchTo(UINT codePage) {
  const UINT found = get_();
  if (found == 0 || found == codePage) return;
  found_.store(found);
  set_(codePage);
}

void OutputCodePage::restore() {
  if (const UINT found = found_.exchange(0)) set_(found);
}

BOOL onConsoleEvent(DWORD type, OutputCodePage& codePage, std::atomic<unsigned>& interrupts) {
  if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT) {
    ++interrupts;
    return TRUE;
  }
  codePage.restore();
  return FALSE;  // the system's own handling ends the process
}

}  // namespace netsetup::cli
