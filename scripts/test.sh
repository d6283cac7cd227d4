#!/usr/bin/env bash
# Builds everything and runs every test: the Linux suites, then the Windows programs' suites
# under wine. `scripts/test.sh asan` runs the Linux suites in the AddressSanitizer +
# UndefinedBehaviorSanitizer build; `linux` or `windows` runs only that half.
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:-all}

linux() {
  local preset=$1
  scripts/setup.sh ansible  # the collection's test runs its playbook
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j "$(nproc)" --timeout 300
}

windows() {
  scripts/setup.sh windows
  # The Windows tests talk to the Linux simulator, so the Linux build comes first.
  cmake --preset default >/dev/null
  cmake --build --preset default --target netsetup-sim
  cmake --preset windows >/dev/null
  cmake --build --preset windows
  scripts/wine.sh build-windows
  # wine draws the Windows window on an X display of its own.
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset windows -j "$(nproc)" --timeout 300
}

case "$what" in
  all) linux default && windows ;;
  linux) linux default ;;
  asan) linux asan ;;
  windows) windows ;;
  *) echo "usage: scripts/test.sh [all|linux|windows|asan]" >&2; exit 2 ;;
esac
