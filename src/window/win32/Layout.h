#pragma once
#include <windows.h>

namespace netsetup {

// Lengths laid out in 96-dpi pixels, scaled once for the screen's density.
struct Scale {
  int dpi = 96;
  int operator()(int length) const { return ::MulDiv(length, dpi, 96); }
};

// The screen's density as this (DPI-aware) process sees it.
Scale screenScale();

// Where a window whose outer rectangle, frame included, is designed at `designed` opens: kept
// there when it fits the work area of the monitor its centre is on (or the nearest), else moved
// just enough to fit (window/Placement.h).
POINT placeOnMonitor(const RECT& designed);

// 8 point "Microsoft Sans Serif" with the Cyrillic character set: a TrueType face, so Cyrillic
// shows on every system locale. The caller deletes it.
HFONT createWindowFont(const Scale& scale);

// Creates the controls of the window's table as children of `window`, in tab order, each at its
// box's position plus its own, with the lists filled and the initial states set; each edit and
// list just after the label that names it for screen readers.
void createControls(HWND window, HFONT font, const Scale& scale);

}  // namespace netsetup
