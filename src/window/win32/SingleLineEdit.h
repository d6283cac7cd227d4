#pragma once
#include <windows.h>

namespace netsetup {

// Makes a single-line edit (or an editable list's edit) keep to one line: of pasted text only the
// first line goes in, without control characters, and typed control characters are dropped. Also
// lifts the control's default limit of 32,767 characters, so a long paste is refused by the
// field's own checks rather than cut silently.
void keepSingleLine(HWND edit);

}  // namespace netsetup
