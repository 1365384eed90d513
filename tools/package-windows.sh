#!/usr/bin/env bash
# tools/package-windows.sh [DIR]: builds velmora.exe (see tools/test-windows.sh for the
# build folder DIR) and makes DIR/velmora-<version>-setup.exe, the installer
# (packaging/windows/), and DIR/velmora-<version>-windows-x64.zip with the same stripped
# velmora.exe and the README.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(mkdir -p "${1:-$root/build-windows}" && cd "${1:-$root/build-windows}" && pwd)

"$root/tools/deps.sh" nsis
"$root/tools/windows-deps.sh" "$dir/deps"
VELMORA_TARGETS=velmora_setup "$root/tools/build.sh" "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DVELMORA_WINDOWS_DEPS="$dir/deps" -DCMAKE_BUILD_TYPE=Release
version=$(sed -n 's/^VELMORA_VERSION:INTERNAL=//p' "$dir/CMakeCache.txt")
name=velmora-${version}-windows-x64
# The installer's folder: velmora.exe stripped, README.md.
rm -f "$dir/$name.zip"
(cd "$dir/packaging/windows" && cmake -E tar cf "$dir/$name.zip" --format=zip "$name")
echo "$dir/velmora-$version-setup.exe"
echo "$dir/$name.zip"
