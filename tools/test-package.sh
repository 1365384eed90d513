#!/usr/bin/env bash
# tools/test-package.sh [--build-dir DIR]: the Debian package tried as a new user tries it.
#
# Builds the package (tools/package.sh; with --build-dir it packages that build tree),
# makes a minimal Debian 12 system with debootstrap from the mirror that this machine's
# APT sources name, installs the package there with apt-get (Recommends included, as
# apt does by default) and, inside that system as an ordinary user:
#   - runs velmora and velmora-make-collection with --version and --help, no display;
#   - checks that a reader is installed for every format the add dialog offers;
#   - starts velmora under Xvfb on a collection made by the installed tool and checks
#     that the window shows the first picture;
#   - adds a PNG, a WebP and a TIFF file through the add dialog (titled 打开, Qt's Chinese), driven with xdotool,
#     and reads the pictures back from the collection file;
#   - presses the web-site button (no browser there) and sees standard error say why;
#   - sets the wallpaper on plain X11 with velmora --set-wallpaper.
# The X server, xdotool and the checks run on this machine; the minimal system holds
# only the package and what it pulls in, so a dependency the package forgets to declare
# is missing there as it would be for a user.
#
# The minimal system is cached in build-package-test/ (or $VELMORA_PACKAGE_TEST_CACHE; made
# afresh weekly, or when the APT sources change) with the packages apt downloaded, so a
# warm run takes about a minute.
# Everything is mounted and run in a folder under /var/tmp that is removed at the end,
# mounts first, also when a step fails. Skipped, with a line saying so, only when the
# mirror cannot be reached.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=()
while (($#)); do
  case $1 in
    --build-dir) build=(--build-dir "$2"); shift 2 ;;
    *) echo "usage: tools/test-package.sh [--build-dir DIR]" >&2; exit 2 ;;
  esac
done
if ((EUID != 0)); then
  echo "test-package: debootstrap, chroot and mount need root; running under sudo"
  exec sudo VELMORA_PACKAGE_TEST_CACHE="${VELMORA_PACKAGE_TEST_CACHE:-}" "$0" "${build[@]}"
fi
"$root/tools/deps.sh"

started=$SECONDS
cache="${VELMORA_PACKAGE_TEST_CACHE:-$root/build-package-test}"
rm -f "$cache/failed-screen.png"
helper="$root/tools/test-package-helper.py"
suite=bookworm
user=tester
home=/home/$user
mkdir -p "$cache"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
step() {
  echo "-- $* ($((SECONDS - started)) s)"
}

# --- the mirror ---------------------------------------------------------------------

# "URI SUITE" for each "deb" entry with the component main in the APT sources, in both
# the one-line and the deb822 format.
apt_entries() {
  local lists=() deb822=()
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    if [[ -f "$file" ]]; then lists+=("$file"); fi
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    if [[ -f "$file" ]]; then deb822+=("$file"); fi
  done
  if ((${#lists[@]})); then
    cat "${lists[@]}" | awk '
      $1 == "deb" {
        i = 2
        if ($i ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
        for (c = i + 2; c <= NF; c++) if ($c == "main") { print $i, $(i + 1); break }
      }'
  fi
  for file in "${deb822[@]}"; do
    awk '
      function flush(   n, m, u, s, i, j) {
        if (" " types " " ~ / deb / && " " components " " ~ / main / && enabled != "no") {
          n = split(uris, u, " "); m = split(suites, s, " ")
          for (i = 1; i <= n; i++) for (j = 1; j <= m; j++) print u[i], s[j]
        }
        types = uris = suites = components = key = ""; enabled = "yes"
      }
      BEGIN { enabled = "yes" }
      /^#/ { next }
      /^[ \t]*$/ { flush(); next }
      /^[ \t]/ { value[key] = value[key] " " $0 }
      /^[A-Za-z-]+:/ {
        key = tolower(substr($0, 1, index($0, ":") - 1))
        value[key] = substr($0, index($0, ":") + 1)
      }
      { types = value["types"]; uris = value["uris"]; suites = value["suites"]
        components = value["components"]; enabled = value["enabled"]; gsub(/[ \t]/, "", enabled) }
      /^[ \t]*$/ { delete value }
      END { flush() }' "$file"
  done
}

# The root's own sources: the machine's entries for Debian 12 and its updates.
sources=$(apt_entries | awk -v suite="$suite" '$2 == suite || $2 == suite "-updates" || $2 == suite "-security" {
  print "deb", $1, $2, "main" }' | awk '!seen[$0]++')
mirror=$(awk -v suite="$suite" '$3 == suite { print $2; exit }' <<<"$sources")
[[ -n "$mirror" ]] || fail "no APT source of this machine names Debian 12 ($suite) with the component main"
if ! wget -q -T 20 -t 2 -O /dev/null "${mirror%/}/dists/$suite/InRelease"; then
  echo "== package: SKIPPED: the Debian mirror $mirror (from this machine's APT sources) cannot be reached"
  exit 0
fi
# A proxy that APT uses is used inside the root and by debootstrap as well.
proxy=$(apt-config dump --format '%v%n' Acquire::http::Proxy 2>/dev/null | awk 'NR == 1')
if [[ -n "$proxy" ]]; then export http_proxy=$proxy; fi

# --- the package --------------------------------------------------------------------

step "building the package"
"$root/tools/package.sh" "${build[@]}" --output "$cache/dist" | tee "$cache/package.log"
deb=$(tail -n 1 "$cache/package.log")
[[ -f "$deb" ]] || fail "tools/package.sh made no package"
version=$(dpkg-deb -f "$deb" Version)

# --- the minimal system -------------------------------------------------------------

scratch=$(mktemp -d /var/tmp/velmora-package-test.XXXXXX)
rootfs="$scratch/root"
xvfb_pid=""
velmora_pid=""

mounts_below() {
  awk -v below="$1/" 'index($5 "/", below) == 1 { print $5 }' /proc/self/mountinfo | sort -r
}
# The trap may run inside a step whose output goes to a log: it writes to the script's own.
exec {script_out}>&1 {script_err}>&2
cleanup() {
  set +e
  exec >&"$script_out" 2>&"$script_err"
  [[ -n "$velmora_pid" ]] && kill "$velmora_pid" 2>/dev/null
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
  # Whatever still runs inside the root was started by this script.
  for proc in /proc/[0-9]*; do
    [[ "$(readlink "$proc/root" 2>/dev/null)" == "$scratch"/* ]] && kill -9 "${proc#/proc/}" 2>/dev/null
  done
  for point in $(mounts_below "$scratch"); do
    umount "$point" 2>/dev/null || umount -l "$point"
  done
  if [[ -z "$(mounts_below "$scratch")" ]]; then
    rm -rf --one-file-system "$scratch"
  else
    echo "test-package: $scratch still has mounts; left in place" >&2
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM
# In memory: dpkg's many small synchronous writes cost minutes on a busy disk.
mount -t tmpfs -o size=6g,mode=755 velmora-package-test "$scratch" 2>/dev/null ||
  echo "test-package: no tmpfs, working on disk in $scratch"

in_root() {  # runs a command in the root as root
  chroot "$rootfs" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"
}
# A command in the root as the user, in the home folder, with the VARIABLE=value words
# given before it; the program keeps the process (and so the pid) of chroot.
as_user=(chroot --userspec=1000:1000 "$rootfs" env -i HOME="$home" USER="$user" LOGNAME="$user"
  PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 XDG_RUNTIME_DIR=/run/user/1000 sh -c 'cd && exec env "$@"' sh)
as_user() { "${as_user[@]}" "$@"; }

pristine="$cache/$suite-minbase.tar"
if [[ ! -f "$pristine" || "$(cat "$pristine.sources" 2>/dev/null)" != "$sources" ||
  -n "$(find "$pristine" -mtime +6)" ]]; then
  step "making a minimal Debian 12 with debootstrap from $mirror"
  if ! debootstrap --variant=minbase "$suite" "$scratch/bootstrap" "$mirror" >"$scratch/debootstrap.log" 2>&1; then
    tail -n 20 "$scratch/debootstrap.log" >&2
    fail "debootstrap"
  fi
  echo "$sources" >"$scratch/bootstrap/etc/apt/sources.list"
  if [[ -n "$proxy" ]]; then
    echo "Acquire::http::Proxy \"$proxy\";" >"$scratch/bootstrap/etc/apt/apt.conf.d/01proxy"
  fi
  chroot "$scratch/bootstrap" apt-get clean
  tar -C "$scratch/bootstrap" -cf "$pristine.part" .
  rm -rf --one-file-system "$scratch/bootstrap"
  mv "$pristine.part" "$pristine"
  echo "$sources" >"$pristine.sources"
fi

step "installing $(basename "$deb") with apt-get"
mkdir "$rootfs"
tar -C "$rootfs" -xf "$pristine"
cp -L /etc/resolv.conf "$rootfs/etc/resolv.conf"
mount -t proc proc "$rootfs/proc"
mkdir -p "$cache/archives"
archives="$rootfs/var/cache/apt/archives"
cp "$cache"/archives/*.deb "$archives/" 2>/dev/null || true
cp "$deb" "$rootfs/tmp/"
if ! in_root apt-get update -q >"$scratch/apt.log" 2>&1 ||
  ! in_root apt-get install -y -q "/tmp/$(basename "$deb")" >>"$scratch/apt.log" 2>&1; then
  tail -n 30 "$scratch/apt.log" >&2
  fail "apt-get could not install the package"
fi
echo "apt-get set up $(grep -c "^Setting up" "$scratch/apt.log") packages: velmora and what it pulls in"
# The packages of this run are the cache of the next.
for file in "$cache"/archives/*.deb; do
  if [[ -f "$file" && ! -f "$archives/$(basename "$file")" ]]; then rm "$file"; fi
done
cp -n "$archives"/*.deb "$cache/archives/"

in_root useradd --create-home --uid 1000 --user-group --shell /bin/bash "$user"
install -d -m 700 -o 1000 -g 1000 "$rootfs/run/user/1000"

# --- without a display --------------------------------------------------------------

step "the programs without a display"
expect_output() {  # what, expected, command...
  local what=$1 expected=$2 output
  shift 2
  output=$(as_user "$@" 2>&1) || fail "$what: exit status $?: $output"
  [[ "$output" == *"$expected"* ]] || fail "$what: '$expected' not in: $output"
}
expect_output "velmora --version" "velmora $version" velmora --version
# C.UTF-8 speaks the program's own Chinese; --language en the English.
expect_output "velmora --help" "用法：velmora [OPTION]... [FILE.vlm]" velmora --help
expect_output "velmora --language en --help" "Usage: velmora [OPTION]... [FILE.vlm]" velmora --language en --help
expect_output "velmora-make-collection --version" "velmora-make-collection $version" velmora-make-collection --version
expect_output "velmora-make-collection --help" "Usage: velmora-make-collection [OPTION]... FILE" \
  velmora-make-collection --help
[[ -z "$(ls -A "$rootfs$home" | grep -v '^\.')" ]] || fail "--help or --version made files: $(ls "$rootfs$home")"

# --- the formats of the add dialog --------------------------------------------------

step "a reader for every format the add dialog offers"
extensions=$(git -C "$root" grep -h -o -E 'All Support Files\([^)]*\)' -- '*.h' | awk 'NR == 1' |
  grep -o -E '\*\.[A-Za-z0-9]+' | cut -c3- | tr 'A-Z' 'a-z' | sort -u)
[[ -n "$extensions" ]] || fail "the add dialog's filter was not found in the sources"
plugins=$(in_root sh -c 'ls -d /usr/lib/*/qt6/plugins/imageformats' 2>/dev/null | awk 'NR == 1')
[[ -n "$plugins" ]] || fail "no Qt image-format plugin folder in the root"
resolved() {  # a library or program whose every library is found in the root
  [[ -e "$rootfs$1" ]] || fail "$2: $1 is not installed"
  local missing
  missing=$(in_root ldd "$1" | grep 'not found' || true)
  [[ -z "$missing" ]] || fail "$2: $1 lacks $missing"
}
for extension in $extensions; do
  case $extension in
    jpg | jpeg | bmp) # velmora's own readers, on libjpeg-turbo
      [[ "$(in_root ldd /usr/bin/velmora)" == *"libjpeg.so.62 => /"* ]] || fail ".$extension: velmora has no libjpeg" ;;
    png) # read by QtGui itself, with libpng
      qtgui=$(in_root ldd /usr/bin/velmora | awk '/libQt6Gui\.so/ { print $3 }')
      [[ "$(in_root ldd "$qtgui")" == *"libpng16.so.16 => /"* ]] || fail ".png: QtGui has no libpng" ;;
    gif) resolved "$plugins/libqgif.so" ".gif" ;;
    webp) resolved "$plugins/libqwebp.so" ".webp" ;;
    tif | tiff) resolved "$plugins/libqtiff.so" ".$extension" ;;
    *) fail "the add dialog offers .$extension, for which this test knows no reader" ;;
  esac
done
echo "readers present for: $(echo $extensions)"

# The texts name every format the dialog offers.
format_names=$(for extension in $extensions; do
  case $extension in jpg | jpeg) echo JPEG ;; tif | tiff) echo TIFF ;; webp) echo WebP ;; *) echo "${extension^^}" ;; esac
done | sort -u)
texts=(
  "package description:$(dpkg-deb -f "$deb" Description)"
  "velmora(1):$(zcat "$rootfs/usr/share/man/man1/velmora.1.gz")"
  "AppStream data:$(cat "$rootfs"/usr/share/metainfo/*.metainfo.xml)"
)
for text in "${texts[@]}"; do
  for name in $format_names; do
    [[ "${text#*:}" == *"$name"* ]] || fail "the ${text%%:*} does not mention $name"
  done
done

# --- the window ---------------------------------------------------------------------

step "velmora under Xvfb"
mkdir "$scratch/screen"
Xvfb -displayfd 1 -screen 0 1280x1024x24 -br -noreset -nolisten tcp -fbdir "$scratch/screen" \
  >"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 150); do
  [[ -s "$scratch/display" ]] && break
  kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
  sleep 0.1
done
export DISPLAY=":$(head -n 1 "$scratch/display")"
[[ "$DISPLAY" != ":" ]] || fail "Xvfb reported no display"
screen="$scratch/screen/Xvfb_screen0"
# The X server is this machine's; the root reaches it through its abstract socket.
show_screen() {
  python3 "$helper" screenshot "$screen" "$cache/failed-screen.png" && echo "the screen: $cache/failed-screen.png" >&2
}
fail_on_screen() {
  show_screen
  fail "$@"
}

as_user velmora-make-collection --count 3 pictures.vlm >/dev/null
"${as_user[@]}" DISPLAY="$DISPLAY" velmora >"$scratch/velmora.out" 2>"$scratch/velmora.err" &
velmora_pid=$!
windows() { xdotool search --all --onlyvisible --pid "$velmora_pid" "$@" 2>/dev/null; }
# The first window of velmora's that matches, within `seconds`. A window closing while
# xdotool walks the tree ends that search with an X error, so each try is a fresh search.
wait_window() {
  local seconds=$1 found
  shift
  for _ in $(seq $((seconds * 5))); do
    found=$(windows "$@" | awk 'NR == 1')
    [[ -n "$found" ]] && { echo "$found"; return 0; }
    sleep 0.2
  done
  return 1
}
window=$(wait_window 30) || fail_on_screen "no velmora window: $(cat "$scratch/velmora.err")"
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "$(xdotool getwindowname "$window")" == Zantrel* ]] || fail "window title: $(xdotool getwindowname "$window")"
# The picture box is 545 x 401 at 232,56 of the window, black around the picture it shows.
box_x=$((X + 232)) box_y=$((Y + 56))
pixel() { python3 "$helper" pixel "$screen" "$1" "$2"; }
bright() { (( 16#${1:0:2} + 16#${1:2:2} + 16#${1:4:2} > 60 )); }
for _ in $(seq 50); do
  bright "$(pixel $((box_x + 272)) $((box_y + 200)))" && break
  sleep 0.1
done
centre=$(pixel $((box_x + 272)) $((box_y + 200)))
bright "$centre" || fail_on_screen "the picture box shows no picture: #$centre at its centre"
edge=$(pixel $((box_x + 2)) $((box_y + 200)))
[[ "$edge" == 000000 ]] || fail_on_screen "the picture box is not where it should be: #$edge at its left edge"
echo "the first picture is shown: #$centre at the box's centre"

# --- adding PNG, WebP and TIFF files ------------------------------------------------

step "adding PNG, WebP and TIFF files through the add dialog"
declare -A colours=([sunrise.png]=e05a1c [meadow.webp]=3c8d2f [harbour.tiff]=2a5fb4)
mkdir "$rootfs$home/incoming"
for file in "${!colours[@]}"; do
  python3 "$helper" picture "$rootfs$home/incoming/$file" 64 48 "${colours[$file]}"
done
chown -R 1000:1000 "$rootfs$home/incoming"

xdotool mousemove $((box_x + 272)) $((box_y + 200)) click 3
sleep 1
xdotool key l  # the popup menu's "从文件载入(&L )"
# The Chinese interface's file dialog speaks Chinese: Qt's own translation is installed and loaded.
dialog=$(wait_window 20 --name '^打开$') ||
  fail_on_screen "the add dialog did not open titled 打开: $(windows | xargs -rn1 xdotool getwindowname)"
xdotool windowfocus --sync "$dialog"
sleep 0.5
# First the folder, then the three files at once.
xdotool type --delay 20 "$home/incoming/"
xdotool key Return
sleep 1
xdotool type --delay 20 '"sunrise.png" "meadow.webp" "harbour.tiff"'
xdotool key Return

collection="$rootfs$home/pictures.vlm"
for _ in $(seq 100); do
  (($(python3 "$helper" pictures "$collection" | wc -l) == 6)) && break
  # Files that could not be added are listed in a message box.
  if (($(windows | wc -l) > 1)); then
    sleep 1
    break
  fi
  sleep 0.2
done
added=$(python3 "$helper" pictures "$collection" | tail -n +4)
expected=$(printf '%s\t64x48 %s\n' sunrise "${colours[sunrise.png]}" meadow "${colours[meadow.webp]}" \
  harbour "${colours[harbour.tiff]}")
close_colour() {  # RRGGBB RRGGBB: within 6 in each channel (JPEG keeps a flat colour that close)
  local i d
  for i in 0 2 4; do
    d=$((16#${1:i:2} - 16#${2:i:2}))
    ((d <= 6 && d >= -6)) || return 1
  done
}
same_pictures() {  # lists of "name<TAB>WxH RRGGBB", colours compared with close_colour
  local -a got want
  mapfile -t got <<<"$1"
  mapfile -t want <<<"$2"
  ((${#got[@]} == ${#want[@]})) || return 1
  for i in "${!want[@]}"; do
    [[ "${got[i]% *}" == "${want[i]% *}" ]] && close_colour "${got[i]##* }" "${want[i]##* }" || return 1
  done
}
same_pictures "$added" "$expected" || fail_on_screen "added pictures:
$added
expected:
$expected"
echo "added: $(echo $(cut -f1 <<<"$added"))"

# --- the web-site button ------------------------------------------------------------

step "the web-site button without a browser"
xdotool mousemove $((X + 8 + 44)) $((Y + 360 + 20)) click 1
for _ in $(seq 50); do
  grep -q 'velmora\.example' "$scratch/velmora.err" && break
  sleep 0.1
done
grep 'velmora\.example' "$scratch/velmora.err" || fail "standard error does not say why no browser started:
$(cat "$scratch/velmora.err")"
(($(windows | wc -l) == 1)) || fail_on_screen "the web-site button opened a window"
kill "$velmora_pid"
wait "$velmora_pid" 2>/dev/null || true
velmora_pid=""

# --- the wallpaper on plain X11 -----------------------------------------------------

step "the wallpaper on plain X11"
status=0
as_user DISPLAY="$DISPLAY" velmora --set-wallpaper meadow >"$scratch/wallpaper.out" 2>&1 || status=$?
((status == 0)) || fail "velmora --set-wallpaper exited with $status: $(cat "$scratch/wallpaper.out")"
grep -q "wallpaper set through X11 root window" "$scratch/wallpaper.out" ||
  fail "velmora --set-wallpaper said: $(cat "$scratch/wallpaper.out")"
[[ "$(file -b "$rootfs$home/.local/share/velmora/drive_c/WINDOWS/Web/Wallpaper/myWallPaper/meadow.bmp")" == "PC bitmap"* ]] ||
  fail "no wallpaper bitmap"
[[ "$(xprop -root _XROOTPMAP_ID)" == *"pixmap id"* ]] || fail "the root window names no background pixmap"
background=$(pixel 640 512)
close_colour "$background" "${colours[meadow.webp]}" || fail_on_screen "the root window shows #$background"
cat "$scratch/wallpaper.out"

echo "== package: passed in $((SECONDS - started)) s"
