#!/usr/bin/env bash
# The Windows Installer package as an administrator meets it: made by cpack from a Windows build
# (with a rebuild of it, a signed one and an older one from the same programs), its tables read
# with msiinfo, then installed, changed, upgraded, repaired and removed silently by wine's msiexec
# in a wine prefix of its own. Where wine's msiexec and Windows differ, the checks follow the
# Windows Installer documentation and say so.
# Usage: test-msi.sh BUILD_DIR VERSION CPACK NETSETUP_SIM   (the window needs an X display: xvfb-run)
set -uo pipefail
usage="usage: test-msi.sh BUILD_DIR VERSION CPACK NETSETUP_SIM"
build=${1:?$usage}
version=${2:?$usage}
cpack=${3:?$usage}
sim=${4:?$usage}

# The Start-menu entry is named as the window is.
title=$(sed -n 's/.*kMainFrm{"MainFrm", "\([^"]*\)".*/\1/p' "$(dirname "$0")/../../src/window/Controls.h")
[[ -n $title ]] || { echo "FAIL: no window title in src/window/Controls.h" >&2; exit 1; }
# Changing it makes the next version install beside this one instead of replacing it.
upgrade_code="{115902E4-9442-43E3-8819-49FAC5F3909C}"
old_version=0.0.1

work=$(mktemp -d)
export WINEPREFIX=$work/wineprefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
installed="$WINEPREFIX/drive_c/Program Files/netsetup"
sim_pid=
window=
locked=
cleanup() {
  [[ -n $window ]] && kill -KILL "$window" 2>/dev/null
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null
  [[ $locked == immutable ]] && chattr -i "$installed" 2>/dev/null
  wineserver -k </dev/null >/dev/null 2>&1
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
fatal() {
  echo "FAIL: $*" >&2
  exit 1
}
for tool in msiinfo msiextract wine wineboot wineserver wrestool osslsigncode openssl; do
  command -v "$tool" >/dev/null || fatal "$tool is missing (scripts/setup.sh windows installs it)"
done
[[ -n ${DISPLAY:-} ]] || fatal "the window needs an X display; run under xvfb-run -a"

# Windows Installer versions have three numbers.
msi_version=$version
[[ $msi_version == *.*.* ]] || msi_version+=.0

# Packages of their own in the temporary folder, so a run never races a `package` build.
package() {  # FOLDER [cpack -D options]
  local out=$1
  shift
  "$cpack" -G ZIP --config "$build/CPackConfig.cmake" -B "$work/$out" "$@" >"$work/$out.log" 2>&1 ||
    { cat "$work/$out.log" >&2; fatal "cpack could not make the $out package"; }
}
package new
# A rebuild of the same version: the same product code, so it is taken for the installed product.
package rebuilt
package old -D CPACK_PACKAGE_VERSION=$old_version -D CPACK_PACKAGE_FILE_NAME=netsetup-$old_version-win32
new_msi=$work/new/netsetup-$version-win32.msi
rebuilt_msi=$work/rebuilt/netsetup-$version-win32.msi
old_msi=$work/old/netsetup-$old_version-win32.msi
[[ -f $new_msi && -f $rebuilt_msi && -f $old_msi ]] || fatal "no .msi beside the zip: $(ls "$work/new" "$work/old")"

# ---- The tables ---------------------------------------------------------------------------------
rows() {  # MSI TABLE: the rows, tab-separated, without msiinfo's three header lines
  msiinfo export "$1" "$2" | tail -n +4 | tr -d '\r'
}
property() {
  rows "$1" Property | awk -F'\t' -v name="$2" '$1 == name { print $2 }'
}
has_row() {  # MSI TABLE ROW-PATTERN WHAT
  rows "$1" "$2" | grep -qxE "$3" || fail "$4: no row matching '$3' in $2 of $(basename "$1"):
$(rows "$1" "$2")"
}
while read -r name want; do
  got=$(property "$new_msi" "$name")
  [[ $got == "$want" ]] || fail "property $name is '$got', expected '$want'"
done <<EOF
ProductVersion $msi_version
UpgradeCode $upgrade_code
ALLUSERS 1
ProductName netsetup
ARPURLINFOABOUT https://github.com/netsetup/netsetup
ARPHELPLINK https://github.com/netsetup/netsetup/blob/main/README.md
EOF
[[ $(property "$old_msi" ProductVersion) == "$old_version" ]] ||
  fail "the older package's ProductVersion is '$(property "$old_msi" ProductVersion)', expected $old_version"
t=$'\t'
for file in netsetup.exe netsetup-cli.exe README.txt; do
  has_row "$new_msi" File "[^$t]*$t[^$t]*$t$file$t.*" "$file is not installed"
done
# Not advertised: the target is the file itself.
has_row "$new_msi" Shortcut "[^$t]*${t}ProgramMenuFolder$t[^|$t]+\|$title${t}Window$t\[#netsetup.exe\]$t.*" "no Start-menu shortcut to the window"
[[ $(msiinfo suminfo "$new_msi" | sed -n 's/^Title: //p') == *netsetup* ]] || fail "the package's title does not name it: $(msiinfo suminfo "$new_msi")"
# Versioned programs, so that a repair or an upgrade compares versions: those of their own resource.
file_version() {  # EXE: FILEVERSION of its version resource (after VS_FIXEDFILEINFO's signature)
  local words=($(wrestool -x --raw -t 16 "$1" | od -An -v -tu4)) i
  for ((i = 0; i + 3 < ${#words[@]}; i++)); do
    ((words[i] == 0xFEEF04BD)) && echo $((words[i + 2] >> 16)).$((words[i + 2] & 65535)).$((words[i + 3] >> 16)).$((words[i + 3] & 65535))
  done
}
for file in netsetup.exe netsetup-cli.exe; do
  want=$(file_version "$work/new/_CPack_Packages/win32/ZIP/netsetup-$version-win32/$file")
  has_row "$new_msi" File "[^$t]*$t[^$t]*$t$file$t[0-9]+$t$want${t}1033$t.*" "$file is not versioned $want"
done
has_row "$new_msi" Environment "[^$t]*$t=-\*PATH$t\[~\];\[INSTALLDIR\]${t}PathEntry" "netsetup-cli's folder is not put on PATH"
has_row "$new_msi" FeatureComponents "CommandLinePath${t}PathEntry" "the PATH entry is not its own feature"
has_row "$new_msi" Feature "CommandLinePath${t}Programs$t[^$t]*$t[^$t]*$t[^$t]*${t}1$t.*" "the PATH feature is not an on-by-default child of the programs"
# msidbFeatureAttributesUIDisallowAbsent (16), which wixl drops.
[[ $(( $(rows "$new_msi" Feature | awk -F'\t' '$1 == "Programs" { print $8 + 0 }') & 16 )) == 16 ]] ||
  fail "the programs' feature may be absent: $(rows "$new_msi" Feature)"
# The refusals' messages can only be read here: wine's msiexec /qn logs none of them.
has_row "$new_msi" CustomAction "NoProgramsError${t}19$t$t.*ADDLOCAL=Programs.*" "no message for a command line that leaves the programs out"
has_row "$new_msi" LaunchCondition "Installed OR \(ALLUSERS=1 AND NOT MSIINSTALLPERUSER=1\)$t.*all users.*" "a per-user install is not refused"
has_row "$new_msi" InstallExecuteSequence "WriteEnvironmentStrings$t.*" "the PATH entry is never written"
has_row "$new_msi" InstallExecuteSequence "RemoveEnvironmentStrings$t.*" "the PATH entry is never removed"
has_row "$new_msi" Upgrade "$upgrade_code$t$t$msi_version$t.*${t}WIX_UPGRADE_DETECTED" "older versions are not replaced"
# Each version has a product code of its own, the same in every build of it; the components keep
# their GUIDs for good, or an upgrade loses files.
[[ $(property "$new_msi" ProductCode) != "$(property "$old_msi" ProductCode)" ]] ||
  fail "both versions have the product code $(property "$new_msi" ProductCode)"
[[ $(property "$new_msi" ProductCode) == "$(property "$rebuilt_msi" ProductCode)" ]] ||
  fail "two builds of $version have the product codes $(property "$new_msi" ProductCode) and $(property "$rebuilt_msi" ProductCode)"
components=$(sort <<EOF
Window {EBF9DF75-9916-47B6-BC11-2F92F1E8B776}
CommandLine {6E0E8F75-472B-43E1-A775-2105EEA7E199}
Readme {AE6BE044-AE7D-40B9-972B-1B50ADEDDA83}
InstallFolder {69F93BDE-CF1C-4847-85DC-A9E4747F3DA5}
PathEntry {AE59B3B7-FFBB-41D9-A923-2D83D23F36CE}
EOF
)
for msi in "$new_msi" "$old_msi"; do
  got=$(rows "$msi" Component | cut -f1,2 | tr '\t' ' ' | sort)
  [[ $got == "$components" ]] || fail "the components of $(basename "$msi") differ (- kept, + packaged):
$(diff <(echo "$components") <(echo "$got") | grep '^[<>]' | sed 's/^</-/; s/^>/+/')"
done

# ---- Signing -----------------------------------------------------------------------------------
osslsigncode verify -in "$new_msi" >/dev/null 2>&1 && fail "$(basename "$new_msi") is signed with nothing asked"
grep -q 'not signed' "$work/new.log" || fail "an unsigned build does not say so: $(cat "$work/new.log")"
# With a throwaway self-signed certificate: the programs before they are packed, then the package.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj "/CN=netsetup test" -addext extendedKeyUsage=codeSigning >"$work/openssl.log" 2>&1 ||
  fatal "openssl made no certificate: $(cat "$work/openssl.log")"
NETSETUP_SIGN_CERT=$work/cert.pem NETSETUP_SIGN_KEY=$work/key.pem package signed
signed_msi=$work/signed/netsetup-$version-win32.msi
msiextract -C "$work/signed/files" "$signed_msi" >/dev/null || fail "msiextract could not unpack $signed_msi"
mapfile -t signed < <(echo "$signed_msi"; find "$work/signed/files" "$work/signed/_CPack_Packages" -name '*.exe')
((${#signed[@]} == 5)) || fail "not the package and its two programs, packed and staged: ${signed[*]}"
for file in "${signed[@]}"; do
  osslsigncode verify -CAfile "$work/cert.pem" -in "$file" >"$work/verify.log" 2>&1 ||
    fail "$file is not signed with the test certificate: $(cat "$work/verify.log")"
done
# A time-stamping server that does not answer stops the build: no package without its stamp.
NETSETUP_SIGN_CERT=$work/cert.pem NETSETUP_SIGN_KEY=$work/key.pem NETSETUP_SIGN_TIMESTAMP=http://127.0.0.1:9/ \
  "$cpack" -G ZIP --config "$build/CPackConfig.cmake" -B "$work/stamp" >"$work/stamp.log" 2>&1 &&
  fail "a build whose time stamp failed succeeded"
grep -q 'could not sign' "$work/stamp.log" && [[ -z $(find "$work/stamp" -maxdepth 1 -name 'netsetup-*') ]] ||
  fail "a failed time stamp is not said, or left a package: $(cat "$work/stamp.log")"

# ---- Installed by wine's msiexec ----------------------------------------------------------------
(unset DISPLAY; wineboot --init) </dev/null >"$work/wineboot.log" 2>&1 || fatal "wineboot failed: $(cat "$work/wineboot.log")"
# What wineboot left running has no display for the window: end it. A wineserver started by
# whoever captures output keeps that output open: start it first.
wineserver -k </dev/null >/dev/null 2>&1
wineserver -w </dev/null >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
try_msiexec() {  # ACTION MSI [PROPERTY=VALUE...]: msiexec's exit status
  local action=$1 msi=$2
  shift 2
  wine msiexec "$action" "$(winepath -w "$msi")" /qn "$@" </dev/null >>"$work/msiexec.log" 2>&1
}
msiexec() {  # ACTION MSI [PROPERTY=VALUE...]
  try_msiexec "$@"
  local status=$?
  ((status == 0)) || fatal "msiexec $1 $(basename "$2") /qn ${*:3} ended with $status: $(cat "$work/msiexec.log")"
}
# Refusals end Windows Installer with 1603 (ERROR_INSTALL_FAILURE); a Linux exit status keeps
# its low 8 bits.
refused=$((1603 % 256))
entries() {  # VALUE (DisplayVersion unless named): that value of each Add/Remove Programs entry
             # named netsetup, one a line
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s </dev/null 2>/dev/null | tr -d '\r' |
    awk -v value="${1:-DisplayVersion}" '/^HKEY/ { name = ""; shown = "" } /^ +DisplayName +REG_SZ +netsetup$/ { name = 1 }
         $1 == value && $2 ~ /^REG_/ { shown = $0; sub(/^ +[^ ]+ +[^ ]+ +/, "", shown) }
         name && shown != "" { print shown; name = "" }'
}
default_folder='C:\Program Files\netsetup'
path_entries() {  # [FOLDER]: how often the system PATH holds the program folder
  wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v PATH </dev/null 2>/dev/null |
    tr -d '\r' | grep -oF "${1:-$default_folder}" | wc -l
}
count() {  # FIND-ARGS...: how many files under the prefix's C: match
  find "$WINEPREFIX/drive_c" "$@" | wc -l
}

one_copy() {  # VERSION [FOLDER]: the programs of exactly that version, once each, in that folder
  local folder=${2:-$default_folder} program
  [[ $(entries) == "$1" ]] || fail "with $1 installed the Add/Remove Programs entries are: $(entries | tr '\n' ' ')"
  [[ $(entries InstallLocation) == "$folder\\" ]] ||
    fail "the uninstall entry's InstallLocation is '$(entries InstallLocation)', not $folder\\"
  for program in netsetup.exe netsetup-cli.exe; do
    [[ $(count -iname "$program") == 1 && -f $(winepath -u "$folder\\$program") ]] ||
      fail "$program is not there once, in $folder: $(find "$WINEPREFIX/drive_c" -iname "$program")"
  done
  [[ $(path_entries "$folder") == 1 ]] || fail "PATH holds $folder $(path_entries "$folder") times"
}
removed() {  # WHAT: nothing of the package is left
  local program
  for program in netsetup.exe netsetup-cli.exe; do
    [[ $(count -iname "$program") == 0 ]] || fail "$program is still there after $1"
  done
  [[ -z $(entries) ]] || fail "the Add/Remove Programs entry stays after $1: $(entries)"
  [[ $(path_entries '\netsetup') == 0 ]] || fail "PATH still holds the program folder after $1"
  [[ $(count -iname '*.lnk' -path '*/Start Menu/*') == 0 ]] || fail "the Start-menu shortcut stays after $1"
}

msiexec /i "$new_msi"
one_copy "$msi_version"
for program in netsetup.exe netsetup-cli.exe; do
  cmp -s "$installed/$program" "$work/new/_CPack_Packages/win32/ZIP/netsetup-$version-win32/$program" ||
    fail "the installed $program is not the one packaged"
done
[[ -f $installed/README.txt ]] || fail "README.txt is not installed"
# It names every command the program has, and where backups and the log go.
commands=$(wine "$installed/netsetup-cli.exe" --help </dev/null 2>/dev/null | tr -d '\r' |
  sed -n '/^Commands:/,/^Each command/s/^  \([a-z]\+\) .*/\1/p')
[[ -n $commands ]] || fail "netsetup-cli --help lists no commands"
for command in $commands; do
  grep -q "^  $command " "$installed/README.txt" || fail "README.txt does not list the command $command"
done
for place in '%LOCALAPPDATA%\netsetup\backups' '%LOCALAPPDATA%\netsetup\writes.jsonl'; do
  grep -qF "$place" "$installed/README.txt" || fail "README.txt does not say where backups go ($place)"
done
# A per-machine package puts it in the all-users Start menu on Windows; wine uses the installer's.
[[ $(count -path "*/Start Menu/Programs/$title.lnk") == 1 ]] ||
  fail "no single '$title.lnk' in a Start-menu Programs folder: $(find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/*')"

# On a fresh PATH: wine's msiexec leaves the ";" behind on uninstall, and wine's cmd stops looking
# at an empty PATH entry (Windows does neither).
out=$(wine cmd /c netsetup-cli --version </dev/null 2>&1 | tr -d '\r')
[[ $out == "netsetup-cli $version" ]] || fail "netsetup-cli from PATH says '$out'"

"$sim" --tcp 127.0.0.1:0 >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do
  grep -q '^tcp ' "$work/sim.out" && break
  kill -0 "$sim_pid" 2>/dev/null || fatal "the simulator did not start: $(cat "$work/sim.err")"
  sleep 0.05
done
endpoint=$(sed -n 's/^tcp //p' "$work/sim.out")
out=$(wine 'C:\Program Files\netsetup\netsetup-cli.exe' --tcp "$endpoint" read </dev/null 2>&1 | tr -d '\r')
status=${PIPESTATUS[0]}
[[ $status == 0 && $out == *"ip "*[0-9]* && $out == *apn* ]] ||
  fail "the installed netsetup-cli could not read the simulator at $endpoint (exit $status): $out"

# The window as installed: a folder its user may not write, so its settings go to %APPDATA%. Only
# an immutable folder stops root; wine maps the read-only attribute to the same permissions.
if [[ $(id -u) -eq 0 ]]; then
  chattr +i "$installed" 2>/dev/null && locked=immutable
else
  chmod a-w "$installed" && locked=mode
fi
if [[ -n $locked ]] && ! touch "$installed/probe" 2>/dev/null; then
  wine 'C:\Program Files\netsetup\netsetup.exe' </dev/null >"$work/window.log" 2>&1 &
  window=$!
  sleep 2
  kill -0 "$window" 2>/dev/null || { wait "$window"; fail "the installed window ended at once (exit $?): $(cat "$work/window.log")"; }
  # taskkill without /f asks the window to close, as the close button does; it then saves.
  wine taskkill /im netsetup.exe </dev/null >/dev/null 2>&1
  for _ in $(seq 100); do
    kill -0 "$window" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$window" 2>/dev/null; then
    fail "the installed window did not close within 10 s (an error box about its settings file?)"
    kill -KILL "$window" 2>/dev/null
  fi
  wait "$window" 2>/dev/null
  window=
  user_ini=$(find "$WINEPREFIX/drive_c/users" -ipath '*/AppData/Roaming/netsetup/netsetup.ini')
  [[ -n $user_ini ]] || fail "the window saved no settings in %APPDATA%\\netsetup"
  [[ ! -e $installed/netsetup.ini ]] || fail "the window wrote netsetup.ini into Program Files"
else
  rm -f "$installed/probe"
  echo "test-msi: cannot make the program folder read-only here (chattr needs CAP_LINUX_IMMUTABLE): settings check skipped"
  # The uninstall still has to leave a user's own file alone.
  user_ini="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/netsetup/netsetup.ini"
  mkdir -p "$(dirname "$user_ini")" && printf '[#]\r\nUseIP=1\r\n' >"$user_ini"
fi
case $locked in
  immutable) chattr -i "$installed" ;;
  mode) chmod u+w "$installed" ;;
esac
locked=

# Changes to the installed copy, in order: the exit status, how often PATH then holds the folder,
# the properties. The programs and their one uninstall entry stay in each row.
while read -r want path props; do
  try_msiexec /i "$new_msi" $props
  status=$?
  [[ $status == "$want" ]] || fail "msiexec /i with $props on the installed copy ended with $status, expected $want"
  [[ $(entries) == "$msi_version" && $(count -iname netsetup.exe) == 1 && $(count -iname netsetup-cli.exe) == 1 ]] ||
    fail "$props took the programs or their uninstall entry away: $(entries)"
  [[ $(path_entries) == "$path" ]] || fail "after $props PATH holds the program folder $(path_entries) times, not $path"
done <<EOF
$refused 1 REMOVE=Programs
0 0 REMOVE=CommandLinePath
0 1 ADDLOCAL=CommandLinePath
EOF

msiexec /x "$new_msi"
removed "the uninstall"
[[ -z ${user_ini:-} || -f $user_ini ]] || fail "the uninstall removed the user's settings file"

# Fresh installs, by the properties on the command line: the exit status and how often PATH then
# holds the folder. A refusal installs nothing. Windows Installer installs a feature's parent with
# it (so ADDLOCAL=CommandLinePath brings the programs); wine's msiexec does not, and the package
# refuses: either way there is no PATH entry without the programs.
while read -r want path props; do
  try_msiexec /i "$new_msi" $props
  status=$?
  if [[ $want == with-parent ]]; then
    want=$refused
    ((status == 0)) && want=0 path=1
  fi
  [[ $status == "$want" ]] || fail "msiexec /i with $props ended with $status, expected $want"
  if ((status == 0)); then
    [[ $(entries) == "$msi_version" && $(count -iname netsetup.exe) == 1 && $(count -iname netsetup-cli.exe) == 1 ]] ||
      fail "$props installed the uninstall entry '$(entries)' without the programs"
    [[ $(path_entries) == "$path" ]] || fail "$props put the program folder on PATH $(path_entries) times, not $path"
    msiexec /x "$new_msi"
  fi
  removed "msiexec /i with $props"
done <<EOF
0 0 ADDLOCAL=Programs
0 0 ADDLOCAL=ALL REMOVE=CommandLinePath
$refused - REMOVE=CommandLinePath
with-parent 1 ADDLOCAL=CommandLinePath
$refused - ALLUSERS=""
$refused - MSIINSTALLPERUSER=1
$refused - ALLUSERS=2 MSIINSTALLPERUSER=1
EOF

# A rebuild of the installed version is refused: Windows stops at once with 1638 ("another version
# of this product is already installed"); wine's msiexec goes on and the package refuses (1603).
# Asked to, it replaces the installed copy.
msiexec /i "$new_msi"
try_msiexec /i "$rebuilt_msi"
(($? != 0)) || fail "a rebuild of the installed $version installed beside it"
one_copy "$msi_version"
msiexec /i "$rebuilt_msi" REINSTALL=ALL REINSTALLMODE=vamus
one_copy "$msi_version"
msiexec /x "$rebuilt_msi"
removed "the rebuilt package's uninstall"

# An upgrade: the older version first, then this one replaces it.
msiexec /i "$old_msi"
one_copy "$old_version"
msiexec /i "$new_msi"
one_copy "$msi_version"
msiexec /x "$new_msi"
removed "the upgraded package's uninstall"
# An upgrade that leaves the PATH entry off names the programs alone, as on a first install
# (Windows Installer also carries a choice made before over to an upgrade; wine's msiexec does not).
msiexec /i "$old_msi"
msiexec /i "$new_msi" ADDLOCAL=Programs
[[ $(entries) == "$msi_version" && $(path_entries) == 0 ]] ||
  fail "the upgrade with ADDLOCAL=Programs left the entries '$(entries)' and PATH holding the folder $(path_entries) times"
msiexec /x "$new_msi"
removed "the uninstall after an upgrade without PATH"

# A folder of one's own stays the folder: an upgrade and a repair that do not name it use it. The
# newer package is the signed one.
msiexec /i "$old_msi" 'INSTALLDIR=C:\Tools\netsetup'
one_copy "$old_version" 'C:\Tools\netsetup'
msiexec /i "$signed_msi"
one_copy "$msi_version" 'C:\Tools\netsetup'
# The repair of Add/Remove Programs (msiexec /f, which wine's msiexec does not do for an installed product).
rm "$(winepath -u 'C:\Tools\netsetup\netsetup-cli.exe')"
msiexec /i "$signed_msi" REINSTALL=ALL REINSTALLMODE=omus
one_copy "$msi_version" 'C:\Tools\netsetup'
msiexec /x "$signed_msi"
removed "the uninstall from C:\Tools\netsetup"

if ((failures)); then
  echo "test-msi: $failures check(s) failed" >&2
  exit 1
fi
echo "test-msi: $(basename "$new_msi") ($(stat -c %s "$new_msi") bytes) installs, upgrades $old_version, repairs and uninstalls, refuses what would leave the programs out"
