#!/usr/bin/env bash
# installer_round_trip.sh SETUP.EXE WORKDIR VERSION WINE64 WINESERVER
# In a Wine prefix of its own, made afresh in WORKDIR: installs Velmora silently for the
# current user and then for all users. Each time it checks the files, the user's note, the
# Start-menu shortcut (no working folder of its own), the .vlm association and the Uninstall entry, runs the installed velmora.exe,
# leaves collections where users keep them, uninstalls silently as the entry says, and
# checks that everything the installer added is gone and the collections are untouched.
set -euo pipefail
setup=$1 work=$2 version=$3 wine=$4 wineserver=$5

rm -rf "$work"
mkdir -p "$work/home" "$work/wineprefix"
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" HOME=$work/home
unset DISPLAY WAYLAND_DISPLAY
trap '"$wineserver" -k 2>/dev/null || true' EXIT
# One server and one set of system processes for the whole run, ended by the trap.
"$wineserver" -p >/dev/null 2>&1 </dev/null
"$wine" wineboot -i >/dev/null 2>&1

failures=0
fail() { echo "FAIL [$mode]: $*" >&2; failures=$((failures + 1)); }
expect() { [[ "$2" == "$3" ]] || fail "$1: '$2', expected '$3'"; }

# Windows programs write to files, never to a pipe: a system process that one of them
# starts would keep the pipe open. out holds the last output, CRs removed.
out=
run() {
  local status=0
  "$wine" "$@" >"$work/out" 2>/dev/null </dev/null || status=$?
  out=$(tr -d '\r' <"$work/out")
  return $status
}
# read_key KEY: its values, as `reg query` lists them, for value; empty when it is missing.
key=
read_key() { if run reg query "$1"; then key=$out; else key=; fi; }
# value NAME: the data of NAME ("(Default)": the default value) in the key read last, or <missing>.
value() {
  local line
  line=$(grep -F -m1 "    $1    REG_" <<<"$key") || { echo "<missing>"; return; }
  line=$(sed 's/^    .*    REG_[A-Z_]*    //' <<<"$line")
  [[ "$line" == "(value not set)" ]] && line="<missing>"
  echo "$line"
}
key_exists() { run reg query "$1"; }
# A path with %VARIABLES% as Windows expands it.
windows_path() { run cmd /c echo "$1"; out=${out#\"}; echo "${out%\"}"; }
unix_path() { local path=${1#[Cc]:\\}; echo "$WINEPREFIX/drive_c/${path//\\//}"; }

# mode, switch, registry root, install folder, Start-menu folder, whether another program
# also claims .vlm (then the .vlm key stays for it, else it goes)
cases=(
  "current user|/CURRENTUSER|HKCU|%LOCALAPPDATA%\\Programs\\Velmora|%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs|yes"
  "all users|/ALLUSERS|HKLM|%ProgramFiles%\\Velmora|%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs|no"
)
for row in "${cases[@]}"; do
  IFS='|' read -r mode switch root folder menu shared <<<"$row"
  other=HKLM
  [[ $root == HKLM ]] && other=HKCU
  folder=$(windows_path "$folder")
  menu=$(windows_path "$menu")
  dir=$(unix_path "$folder")
  classes="$root\\Software\\Classes"
  entry="$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora"

  run "$setup" /S "$switch" || fail "setup.exe /S $switch exited with $?"

  expect "installed files" "$(ls "$dir" 2>&1 | tr '\n' ' ')" "README.md Uninstall.exe velmora.exe "
  grep -qaF "$folder\\velmora.exe" "$(unix_path "$menu")/Velmora.lnk" || fail "no Start-menu shortcut to velmora.exe in $menu"
  # Its arguments are UTF-16: read without the zero bytes. It opens the user's own collection.
  tr -d '\000' < "$(unix_path "$menu")/Velmora.lnk" | grep -qa -- '--user-collection' ||
    fail "the Start-menu shortcut does not open the user's collection"
  # No working folder: an empty one just before the arguments' count and text (count 0 and
  # 17, or as Wine writes them, with a closing zero: 1 and 18); the program picks its own.
  od -An -tx1 -v "$(unix_path "$menu")/Velmora.lnk" | tr -d ' \n' | grep -qE '(00001100|010000001200)2d002d007500' ||
    fail "the Start-menu shortcut names a working folder, the same for every user"
  # The user's note, not the developer's README.
  grep -qF '%APPDATA%\Velmora\pictures.vlm' "$dir/README.md" && grep -qF '卸载' "$dir/README.md" &&
    ! grep -qiE 'apt|cmake|debian' "$dir/README.md" || fail "the installed README is not the user's note"
  read_key "$classes\\.vlm"
  expect ".vlm" "$(value "(Default)")" "Velmora.Collection"
  read_key "$classes\\Velmora.Collection\\shell\\open\\command"
  expect "open command" "$(value "(Default)")" "\"$folder\\velmora.exe\" \"%1\""
  read_key "$classes\\Velmora.Collection\\DefaultIcon"
  expect "icon" "$(value "(Default)")" "$folder\\velmora.exe,0"
  size=0
  for file in velmora.exe README.md Uninstall.exe; do size=$((size + $(stat -c %s "$dir/$file"))); done
  read_key "$entry"
  uninstall=$(value QuietUninstallString)
  expect "Uninstall entry" "$(value DisplayName)|$(value DisplayVersion)|$(value Publisher)" "Velmora|$version|Velmora"
  expect "Uninstall entry's folder and icon" "$(value InstallLocation)|$(value DisplayIcon)" "$folder|$folder\\velmora.exe,0"
  expect "Uninstall commands" "$(value UninstallString)|$uninstall" "\"$folder\\Uninstall.exe\"|\"$folder\\Uninstall.exe\" /S"
  expect "Uninstall flags and size" "$(value NoModify) $(value NoRepair) $(value EstimatedSize)" \
    "0x1 0x1 $(printf '0x%x' $(((size + 1023) / 1024)))"
  key_exists "$other\\Software\\Classes\\Velmora.Collection" && fail "the association also went to $other"
  key_exists "$other\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora" && fail "an Uninstall entry also in $other"

  run "$dir/velmora.exe" --version || fail "the installed velmora.exe --version exited with $?"
  expect "installed velmora.exe --version" "${out%%$'\n'*}" "velmora $version"

  # A user's collections beside the program and in its folder, and another program's claim on .vlm.
  head -c 4096 /dev/urandom >"$work/kept.vlm"
  head -c 4096 /dev/urandom >"$work/mine.vlm"
  cp "$work/kept.vlm" "$dir/../kept.vlm"
  cp "$work/mine.vlm" "$dir/mine.vlm"
  if [[ $shared == yes ]]; then
    run reg add "$classes\\.vlm\\OpenWithProgids" /v Other.Viewer /t REG_SZ /d "" /f || fail "reg add exited with $?"
  fi

  # As Windows runs it. The uninstaller goes on from a copy in %TEMP% and returns at
  # once; the Uninstall entry is the last thing that copy removes.
  program=${uninstall#\"}
  program=${program%%\"*}
  run "$program" ${uninstall##*\" } || fail "$uninstall exited with $?"
  for ((tries = 0; tries < 100; tries++)); do
    key_exists "$entry" || break
    sleep 0.2
  done

  expect "left in the install folder" "$(ls "$dir" 2>&1 | tr '\n' ' ')" "mine.vlm "
  cmp -s "$work/kept.vlm" "$dir/../kept.vlm" || fail "the collection beside the install folder changed"
  cmp -s "$work/mine.vlm" "$dir/mine.vlm" || fail "the collection in the install folder changed"
  [[ -e "$(unix_path "$menu")/Velmora.lnk" ]] && fail "the Start-menu shortcut is still there"
  key_exists "$classes\\Velmora.Collection" && fail "the ProgID is still there"
  key_exists "$entry" && fail "the Uninstall entry is still there"
  if [[ $shared == yes ]]; then
    read_key "$classes\\.vlm"
    expect ".vlm after uninstalling" "$(value "(Default)")" "<missing>"
    read_key "$classes\\.vlm\\OpenWithProgids"
    expect "claims on .vlm after uninstalling" "$(value Velmora.Collection)|$(value Other.Viewer)" "<missing>|"
  else
    key_exists "$classes\\.vlm" && fail "the .vlm key is still there"
  fi
  rm -rf "$dir"
done

((failures == 0)) || exit 1
echo "installer round trip done: for the current user and for all users"
