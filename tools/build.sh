#!/usr/bin/env bash
# tools/build.sh DIR [cmake options...]: configures and builds Velmora into DIR.
# With VELMORA_TARGETS="a b" only those targets (and what they need) are built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
launcher=()
# A compiler cache, where one is installed, makes rebuilds and second trees quick.
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
targets=()
[[ -n "${VELMORA_TARGETS:-}" ]] && for target in $VELMORA_TARGETS; do targets+=(--target "$target"); done
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
