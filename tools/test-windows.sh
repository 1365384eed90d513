#!/usr/bin/env bash
# tools/test-windows.sh [--packages | --build | --tests] [DIR]: cross-builds the core,
# velmora.exe and their tests for 64-bit Windows with mingw-w64 into DIR (default
# build-windows) and runs the tests under Wine, in a Wine prefix of its own made afresh
# inside DIR. --packages only installs the Debian packages this needs; --build stops
# before the tests; --tests only runs them, in a DIR built before.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
steps=all
case ${1:-} in
  --build | --tests | --packages) steps=${1#--}; shift ;;
esac
dir=$(mkdir -p "${1:-$root/build-windows}" && cd "${1:-$root/build-windows}" && pwd)

wine=/usr/lib/wine/wine64
export WINEPREFIX=$dir/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
emulator="/usr/bin/env;WINEPREFIX=$WINEPREFIX;WINEDEBUG=-all;WINEDLLOVERRIDES=$WINEDLLOVERRIDES;$wine"

install_packages() {
  "$root/tools/deps.sh" g++-mingw-w64-x86-64-posix wine64 nasm tcl dpkg-dev xz-utils make cmake ninja-build \
    xvfb xauth fonts-wqy-microhei \
    libgtest-dev nsis
  "$root/tools/windows-deps.sh" --apt-sources
}

# The mingw-built libraries, kept per user between clones and keyed by what they are built
# from: the build script, the toolchain and the Debian source and compiler versions. A kept
# copy is used only when every file still has the checksum it was stored with.
deps_key() {
  local sources
  sources=$(awk '$1 == "apt-get" && $2 == "source" { for (i = 4; i <= NF && $i ~ /^[a-z0-9][a-z0-9.+-]*$/; i++) print $i }' \
    "$root/tools/windows-deps.sh")
  { cat "$root/tools/windows-deps.sh" "$root/cmake/mingw-w64-x86_64.cmake"
    dpkg-query -W g++-mingw-w64-x86-64-posix libgtest-dev libpq-dev
    # shellcheck disable=SC2086
    apt-get source --print-uris -qq $sources; } 2>/dev/null | sha256sum | cut -c1-32
}

build_all() {
  local deps_cache=${XDG_CACHE_HOME:-$HOME/.cache}/velmora/windows-deps key kept
  if [[ ! -f $dir/deps/.complete ]] && key=$(deps_key) && [[ -f $deps_cache/$key/.complete ]] &&
    (cd "$deps_cache/$key" && sha256sum --quiet -c .manifest); then
    echo "test-windows: the mingw-built libraries kept in $deps_cache/$key"
    rm -rf "$dir/deps" && cp -a "$deps_cache/$key" "$dir/deps"
  fi
  "$root/tools/windows-deps.sh" "$dir/deps"
  if key=$(deps_key) && [[ ! -f $deps_cache/$key/.complete ]]; then
    mkdir -p "$deps_cache" && kept=$(mktemp -d "$deps_cache/.new.XXXXXX") && cp -a "$dir/deps/." "$kept/" &&
      (cd "$kept" && find . -type f ! -name .manifest ! -name .complete -print0 | sort -z | xargs -0 sha256sum > .manifest) &&
      rm -rf "${deps_cache:?}/$key" && mv "$kept" "$deps_cache/$key" || rm -rf "${kept:-}"
  fi
  "$root/tools/build.sh" "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DVELMORA_WINDOWS_DEPS="$dir/deps" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator"
}

run_tests() {
  # A fresh prefix every run: nothing left in its registry or C: drive by an earlier one.
  rm -rf "$WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1
  # Wait for wineboot's server to end. No persistent server: the system processes it
  # starts would inherit a test's output pipe and keep CTest waiting.
  /usr/lib/wine/wineserver -w
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 300
}

# Plain if statements: errexit does not reach into a function called inside a && list.
if [[ $steps != tests ]]; then install_packages; fi
if [[ $steps == build || $steps == all ]]; then build_all; fi
if [[ $steps == tests || $steps == all ]]; then run_tests; fi
