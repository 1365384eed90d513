#!/usr/bin/env bash
# cmake --install into a temporary DESTDIR: every file is in its place, the desktop
# entry, AppStream data and file type validate, the file type maps *.vlm onto SQLite,
# the installed program answers --version and --help without a display, and a first
# start as the menu starts it makes the per-user collection from the installed template.
# usage: install_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
source "$(dirname "$0")/check.sh"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

DESTDIR="$stage/root" cmake --install "$build" --prefix /usr >/dev/null
usr="$stage/root/usr"
expect_equal "installed files" "$(file_list "$stage/root")" "$(expected_files)"

# Icons: the PNG sizes match their folders.
for png in "$usr"/share/icons/hicolor/*x*/apps/velmora.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  [[ "$(file -b "$png")" == "PNG image data, ${size/x/ x }, "* ]] || fail "$png is not a $size PNG: $(file -b "$png")"
done

# Desktop entry: valid, and naming what is installed.
desktop="$usr/share/applications/example.velmora.Velmora.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
entry() { sed -n "s/^$1=//p" "$desktop"; }
exec_line=$(entry Exec)
[[ -x "$usr/bin/${exec_line%% *}" ]] || fail "Exec names no installed program: $exec_line"
[[ -f "$usr/share/icons/hicolor/scalable/apps/$(entry Icon).svg" ]] || fail "Icon names no installed icon"
expect_equal "MimeType" "$(entry MimeType)" "application/x-velmora-collection;"
expect_equal "Categories" "$(entry Categories)" "Graphics;Viewer;"

# AppStream data.
appstreamcli validate --no-net "$usr/share/metainfo/example.velmora.Velmora.metainfo.xml" >"$stage/appstream.log" ||
  { cat "$stage/appstream.log" >&2; fail "appstreamcli validate"; }
grep -q "<release version=\"$version\"" "$usr/share/metainfo/example.velmora.Velmora.metainfo.xml" ||
  fail "metainfo lacks the release $version"

# File type: well-formed, and in a MIME database built with the system's types a .vlm
# file is a Velmora collection, which is a kind of SQLite 3 database.
xmllint --noout "$usr/share/mime/packages/velmora.xml" || fail "xmllint on the MIME XML"
mkdir -p "$stage/mime/packages"
cp /usr/share/mime/packages/freedesktop.org.xml "$usr/share/mime/packages/velmora.xml" "$stage/mime/packages/"
PKGSYSTEM_ENABLE_FSYNC=0 update-mime-database "$stage/mime" >"$stage/mime.log" 2>&1 ||
  { cat "$stage/mime.log" >&2; fail "update-mime-database"; }
grep -qx '50:application/x-velmora-collection:\*.vlm' "$stage/mime/globs2" || fail "*.vlm is not in globs2"
grep -qx 'application/x-velmora-collection application/vnd.sqlite3' "$stage/mime/subclasses" ||
  fail "the collection type is not a sub-class of application/vnd.sqlite3"

# Manual page: it is velmora's, of this version, and groff reads it without a warning.
zcat "$usr/share/man/man1/velmora.1.gz" | grep -q "^.TH VELMORA 1 .*\"velmora $version\"" || fail "velmora.1 header"
if command -v groff >/dev/null; then
  for page in "$usr"/share/man/man1/*.1.gz "$usr"/share/man/zh_CN/man1/*.1.gz; do
    warnings=$(zcat "$page" | groff -k -man -Tutf8 -ww -z 2>&1)
    [[ -z "$warnings" ]] || fail "groff warns on $(basename "$page"): $warnings"
  done
fi

# The installed program without a display.
expect_equal "velmora --version" "$(without_display "$usr/bin/velmora" --version)" "velmora $version"
help=$(without_display "$usr/bin/velmora" --language en --help)
for text in "Usage: velmora [OPTION]... [FILE.vlm]" "--user-collection" "--set-wallpaper NAME [FILE.vlm]" \
  "--next-wallpaper [FILE.vlm]" "--version"; do
  [[ "$help" == *"$text"* ]] || fail "--help does not mention $text"
done
[[ "$(without_display "$usr/bin/velmora" --language zh --help)" == "用法："* ]] || fail "--help in Chinese is not"
status=0
without_display "$usr/bin/velmora" --no-such-option 2>"$stage/stderr" || status=$?
expect_equal "exit status of a bad option" "$status" 2
grep -q "unknown option '--no-such-option'" "$stage/stderr" || fail "no message for a bad option"

# A first start as the menu starts it (Exec without a file): the per-user collection is
# a copy of the installed empty collection, made before the window opens.
data_home="$stage/home/data"
(cd / && XDG_DATA_HOME="$data_home" QT_QPA_PLATFORM=offscreen timeout 60 "$usr/bin/velmora" --user-collection) &
program=$!
for _ in $(seq 200); do
  [[ -f "$data_home/velmora/pictures.vlm" ]] && break
  sleep 0.1
done
kill "$program" 2>/dev/null || fail "velmora --user-collection ended by itself"
wait "$program" 2>/dev/null || true
cmp -s "$data_home/velmora/pictures.vlm" "$usr/share/velmora/empty-collection.vlm" ||
  fail "the per-user collection is not the installed empty collection"

finish
