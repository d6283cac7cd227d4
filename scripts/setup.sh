#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the window need; `setup.sh windows`
# adds the 32-bit Windows cross compiler, wine, the tools that make the programs' icon and the
# Windows Installer package (about 400 MB, so only the test command asks for them), `setup.sh
# fuzz` clang and libFuzzer for scripts/fuzz.sh, `setup.sh ansible` ansible-core for the
# collection's test and bench/ansible.sh. Idempotent: asks apt only when something is missing,
# so a second run costs a fraction of a second.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev googletest
  qt6-base-dev qt6-base-private-dev libgl-dev libqt6gui6
  fonts-liberation2 fonts-dejavu-core fontconfig
  xvfb xauth
  dbus at-spi2-core libatspi2.0-dev  # the window's test over AT-SPI, as screen readers see it
  dpkg-dev lintian desktop-file-utils file groff-base man-db
)
windows=(
  mingw-w64 wine wine32:i386 fonts-wine
  libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386 libxinerama1:i386
  libxcomposite1:i386 libxfixes3:i386
  librsvg2-bin icoutils
  msitools wixl osslsigncode
  locales  # the Russian locale the console test makes for itself
)
fuzz=(clang libfuzzer-14-dev)
ansible=(ansible-core python3-voluptuous openssh-server openssh-client)
for extra in "$@"; do
  case $extra in
    windows) packages+=("${windows[@]}") ;;
    fuzz) packages+=("${fuzz[@]}") ;;
    ansible) packages+=("${ansible[@]}") ;;
    *) echo "usage: scripts/setup.sh [windows] [fuzz] [ansible]" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup: these packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
