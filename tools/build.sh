#!/usr/bin/env bash
# tools/build.sh DIR [cmake options...]: configures and builds Velmora into DIR.
# With VELMORA_TARGETS="a b" only those targets (and what they need) are built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
launcher=()
# A compiler cache makes rebuilds and second trees quick. Paths below the tree's root
# are hashed relative to it, so a clone in another folder finds the same objects.
if command -v ccache >/dev/null; then
  cache="env;CCACHE_BASEDIR=$root;CCACHE_NOHASHDIR=true;ccache"
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER="$cache" -DCMAKE_CXX_COMPILER_LAUNCHER="$cache")
fi
cmake -S "$root" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
targets=()
[[ -n "${VELMORA_TARGETS:-}" ]] && for target in $VELMORA_TARGETS; do targets+=(--target "$target"); done
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
