#!/usr/bin/env bash
# The Debian package as a user gets it: made by cpack from a build, unpacked (never installed),
# then its control fields, files, programs, desktop entry and man pages tried; lintian when present.
# Usage: test-package.sh BUILD_DIR VERSION [CPACK]
set -uo pipefail

build=${1:?usage: test-package.sh BUILD_DIR VERSION [CPACK]}
version=${2:?usage: test-package.sh BUILD_DIR VERSION [CPACK]}
cpack=${3:-cpack}

work=$(mktemp -d)
window=
cleanup() {
  [[ -n $window ]] && kill -KILL "$window" 2>/dev/null
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

need() {
  command -v "$1" >/dev/null || { echo "test-package: $1 is missing (scripts/setup.sh installs it)" >&2; exit 1; }
}
need dpkg-deb
need dpkg-shlibdeps
need desktop-file-validate
need file
need groff
need lexgrog

# A package of its own in the temporary folder, so a run never races a `package` build.
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack could not make the package"
  exit 1
fi
arch=$(dpkg --print-architecture)
deb=$work/out/netsetup_${version}_${arch}.deb
if [[ ! -f $deb ]]; then
  fail "no $(basename "$deb") in: $(ls "$work/out")"
  exit 1
fi

# Control fields: name value (a glob).
while read -r name want; do
  got=$(dpkg-deb -f "$deb" "$name")
  # shellcheck disable=SC2053  # $want is a pattern
  [[ $got == $want ]] || fail "control field $name is '$got', expected '$want'"
done <<EOF
Package netsetup
Version $version
Architecture $arch
Section utils
Priority optional
Maintainer *<*@*>
Depends *libc6*
Depends *libqt6widgets6*
Description ?*
EOF

# Every file the package holds, with its mode and owner, and nothing else.
expected=$(sort <<'EOF'
-rwxr-xr-x root/root ./usr/bin/netsetup
-rwxr-xr-x root/root ./usr/bin/netsetup-cli
-rwxr-xr-x root/root ./usr/bin/netsetup-sim
-rw-r--r-- root/root ./usr/share/applications/netsetup.desktop
-rw-r--r-- root/root ./usr/share/doc/netsetup/README.md
-rw-r--r-- root/root ./usr/share/doc/netsetup/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/netsetup/copyright
-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/netsetup.svg
-rw-r--r-- root/root ./usr/share/man/man1/netsetup-cli.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/netsetup-sim.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/netsetup.1.gz
EOF
)
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $1, $2, $6}' | sort)
[[ $actual == "$expected" ]] || fail "the package's files differ (- expected, + packaged):
$(diff <(echo "$expected") <(echo "$actual") | grep '^[<>]' | sed 's/^</-/; s/^>/+/')"
odd_dirs=$(dpkg-deb -c "$deb" | awk '$1 ~ /^d/ && ($1 != "drwxr-xr-x" || $2 != "root/root")')
[[ -z $odd_dirs ]] || fail "folders not drwxr-xr-x root/root: $odd_dirs"

# Unpacked into a folder other users may enter: the window runs as one of them below.
root=$work/root
mkdir -p "$root"
chmod 755 "$work" "$root"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x failed"

for program in netsetup netsetup-cli netsetup-sim; do
  exe=$root/usr/bin/$program
  [[ -x $exe ]] || { fail "$program is not in /usr/bin"; continue; }
  [[ $(file -b "$exe") == *", stripped"* ]] || fail "$program is not stripped: $(file -b "$exe")"
  out=$(QT_QPA_PLATFORM=offscreen "$exe" --version 2>&1)
  [[ $? -eq 0 && $out == "$program $version" ]] || fail "$program --version says '$out'"
  out=$(QT_QPA_PLATFORM=offscreen "$exe" --help 2>&1)
  [[ $? -eq 0 && $out == *Usage:*$program* ]] || fail "$program --help failed: $out"

  page=$root/usr/share/man/man1/$program.1.gz
  if [[ -f $page ]]; then
    # groff warns about what man shows garbled; lexgrog reads NAME as apropos does.
    warnings=$(zcat "$page" | groff -k -man -Tutf8 -ww -z 2>&1)
    [[ -z $warnings ]] || fail "man page of $program: $warnings"
    lexgrog "$page" >/dev/null 2>&1 || fail "man page of $program has no NAME line apropos can read"
  fi
done

desktop=$root/usr/share/applications/netsetup.desktop
out=$(desktop-file-validate "$desktop" 2>&1) && [[ -z $out ]] || fail "desktop-file-validate: $out"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[[ -n $exec_program && -x $root/usr/bin/$exec_program ]] || fail "Exec=$exec_program is not a packaged program"
icon=$(sed -n 's/^Icon=//p' "$desktop")
svg=$root/usr/share/icons/hicolor/scalable/apps/$icon.svg
[[ $(file -b "$svg" 2>&1) == SVG* ]] || fail "Icon=$icon: $svg is no SVG image"
grep -q '^License: OFL-1.1' "$root/usr/share/doc/netsetup/copyright" || fail "copyright does not name the font's license"
# A version raised in CMakeLists.txt needs its changelog entry too.
changelog_version=$(dpkg-parsechangelog -l "$root/usr/share/doc/netsetup/changelog.gz" -S Version 2>&1)
[[ $changelog_version == "$version" ]] || fail "the changelog's latest entry is '$changelog_version', the package $version"

if command -v lintian >/dev/null; then
  lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1
  cat "$work/lintian.log"
  grep -q '^E:' "$work/lintian.log" && fail "lintian found errors (above)"
else
  echo "lintian is not installed: skipped"
fi

# The window as an installed program: its folder not writable, no settings file anywhere yet.
# root may write anywhere, so as root it runs as nobody.
home=$work/home
mkdir -p "$home"
chmod a-w "$root/usr/bin"
as_user=()
if [[ $(id -u) -eq 0 ]]; then
  chown nobody:nogroup "$home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
"${as_user[@]}" env HOME="$home" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen \
  "$root/usr/bin/netsetup" >"$work/window.log" 2>&1 &
window=$!
sleep 2
if kill -0 "$window" 2>/dev/null; then
  kill -TERM "$window"
  wait "$window" 2>/dev/null
else
  wait "$window"
  fail "the window ended within 2 s (exit $?): $(cat "$work/window.log")"
fi
window=

if ((failures)); then
  echo "test-package: $failures check(s) failed" >&2
  exit 1
fi
echo "test-package: $(basename "$deb") ($(stat -c %s "$deb") bytes) passed"
