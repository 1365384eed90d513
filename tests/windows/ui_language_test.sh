#!/bin/sh
# ui_language_test.sh PROGRAM...: velmora.exe, with nothing saved and no --language, speaks
# the user's display language, which Wine takes from the Unix locale: its help is English
# under en_US and Chinese under zh_CN (and under a French locale). The locales are made in
# a folder of the test's own (LOCPATH). Exit 77 (skipped) without localedef's sources.
set -eu
locales=$(mktemp -d)
trap 'rm -rf "$locales"' EXIT
for locale in en_US zh_CN fr_FR; do
  localedef -i "$locale" -f UTF-8 "$locales/$locale.UTF-8" 2>/dev/null || { echo "no locale sources: skipped"; exit 77; }
done
status=0
for case in "en_US.UTF-8 Usage: velmora" "zh_CN.UTF-8 用法：velmora" "fr_FR.UTF-8 用法：velmora"; do
  locale=${case%% *} expected=${case#* }
  help=$(env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LOCPATH="$locales" LANG="$locale" "$@" --help 2>&1) || true
  case "$help" in
    "$expected"*) echo "$locale: $expected" ;;
    *) echo "$locale: expected '$expected', got: $help" >&2; status=1 ;;
  esac
done
exit $status
