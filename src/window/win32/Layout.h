#pragma once
#include <windows.h>

#include <span>

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

enum class ControlKind { Group, Radio, Check, Button, Edit, List, EditableList, Label };

// One control: its group box (0 for the window), and its place relative to that box.
struct ControlPlace {
  int id;
  ControlKind kind;
  int group;
  const wchar_t* text;
  int left, top, width, height;  // labels size themselves to their text
};

// Every control in creation order, which is the tab order.
std::span<const ControlPlace> controlPlaces();

// Creates the controls as children of `window`, each at its box's position plus its own, with
// the lists filled and the initial states set.
void createControls(HWND window, HFONT font, const Scale& scale);

}  // namespace netsetup
