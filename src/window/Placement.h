#pragma once

namespace netsetup {

// A rectangle in screen pixels: its top-left corner and its size.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct ScreenPoint {
  int left = 0;
  int top = 0;
  bool operator==(const ScreenPoint&) const = default;
};

// Where a window designed at `window` (its outer rectangle, frame included) opens on a screen
// whose usable part, without task bars, is `workArea`: at its designed place when it fits
// there whole; otherwise moved just enough to fit. Along a side where the window is larger than
// the work area it starts at the work area's edge, so its caption and left part stay reachable.
ScreenPoint placeWindow(const ScreenRect& window, const ScreenRect& workArea);

}  // namespace netsetup
