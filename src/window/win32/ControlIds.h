#pragma once
#include "window/Controls.h"

namespace netsetup::ids {

// The window's class; its controls' dialog IDs are the table's (window/Controls.h).
inline constexpr wchar_t kWindowClass[] = L"TMainFrm";

}  // namespace netsetup::ids
