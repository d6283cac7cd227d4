#!/usr/bin/env bash
# Makes the installable package, from a fresh clone as from an existing build: the Debian package
# (build/netsetup_VERSION_amd64.deb), or with `windows` the zip of the two Windows programs and
# the Windows Installer package (build-windows/netsetup-VERSION-win32.zip and .msi). Installs what the build needs on the first run
# (scripts/setup.sh), configures, builds, and packs with cpack.
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-linux}" in
  linux) preset=default setup=() ;;
  windows) preset=windows setup=(windows) ;;
  *) echo "usage: scripts/package.sh [linux|windows]" >&2; exit 2 ;;
esac
scripts/setup.sh "${setup[@]}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target package
