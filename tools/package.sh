#!/usr/bin/env bash
# tools/package.sh [--build-dir DIR] [--output DIR]: makes the Debian package
# velmora_<version>_<arch>.deb in DIR (default dist/) and checks it with lintian.
# Without --build-dir it builds the program in Release with Debian's hardening flags
# into build-package/; with it, it packages that build tree as it stands.
# Prints the package's path on its last line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=""
output="$root/dist"
while (($#)); do
  case $1 in
    --build-dir) build=$(cd "$2" && pwd); shift 2 ;;
    --output) output=$2; shift 2 ;;
    *) echo "usage: tools/package.sh [--build-dir DIR] [--output DIR]" >&2; exit 2 ;;
  esac
done

if [[ -z "$build" ]]; then
  "$root/tools/deps.sh"
  build="$root/build-package"
  # CMake reads CFLAGS, CXXFLAGS and LDFLAGS from the environment when it first configures.
  eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
  export CFLAGS="$CFLAGS $CPPFLAGS" CXXFLAGS="$CXXFLAGS $CPPFLAGS"
  VELMORA_TARGETS="velmora velmora_make_collection velmora_data" "$root/tools/build.sh" "$build" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF
fi

mkdir -p "$output"
output=$(cd "$output" && pwd)
staging=$(mktemp -d "$output/.cpack.XXXXXX")
trap 'rm -rf "$staging"' EXIT
(cd "$build" && cpack -G DEB -B "$staging" >"$staging/cpack.log") || { cat "$staging/cpack.log" >&2; exit 1; }
packages=("$staging"/velmora_*.deb)
[[ -f "${packages[0]}" ]] || { echo "cpack made no package" >&2; exit 1; }
deb="$output/$(basename "${packages[0]}")"
mv "${packages[0]}" "$deb"

if command -v lintian >/dev/null; then
  # Errors fail the build; warnings are printed (the README lists any that remain).
  lintian --fail-on error "$deb" 2> >(grep -v 'running with root privileges' >&2)
fi
echo "$deb"
