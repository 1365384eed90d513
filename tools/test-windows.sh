#!/usr/bin/env bash
# tools/test-windows.sh [DIR]: cross-builds the core, velmora.exe and their tests for
# 64-bit Windows with mingw-w64 into DIR (default build-windows) and runs the tests
# under Wine, in a Wine prefix of its own made afresh inside DIR.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(mkdir -p "${1:-$root/build-windows}" && cd "${1:-$root/build-windows}" && pwd)

"$root/tools/deps.sh" g++-mingw-w64-x86-64-posix wine64 nasm tcl dpkg-dev xz-utils make cmake ninja-build \
  xvfb xauth fonts-wqy-microhei \
  libgtest-dev nsis

"$root/tools/windows-deps.sh" "$dir/deps"

wine=/usr/lib/wine/wine64
export WINEPREFIX=$dir/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
emulator="/usr/bin/env;WINEPREFIX=$WINEPREFIX;WINEDEBUG=-all;WINEDLLOVERRIDES=$WINEDLLOVERRIDES;$wine"
"$root/tools/build.sh" "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DVELMORA_WINDOWS_DEPS="$dir/deps" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator"

# A fresh prefix every run: nothing left in its registry or C: drive by an earlier one.
rm -rf "$WINEPREFIX"
"$wine" wineboot -i >/dev/null 2>&1
# Wait for wineboot's server to end. No persistent server: the system processes it
# starts would inherit a test's output pipe and keep CTest waiting.
/usr/lib/wine/wineserver -w
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 300
