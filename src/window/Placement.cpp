#include "window/Placement.h"

#include <algorithm>

namespace netsetup {

namespace {

int placeAlong(int start, int length, int areaStart, int areaLength) {
  if (length >= areaLength || start < areaStart) return areaStart;
  return std::min(start, areaStart + areaLength - length);
}

}  // namespace

ScreenPoint placeWindow(const ScreenRect& window, const ScreenRect& workArea) {
  return {placeAlong(window.left, window.width, workArea.left, workArea.width),
          placeAlong(window.top, window.height, workArea.top, workArea.height)};
}

}  // namespace netsetup
