#!/usr/bin/env bash
# tools/build.sh DIR [cmake options...]: configures and builds Velmora into DIR.
# With VELMORA_TARGETS="a b" only those targets (and what they need) are built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
targets=()
[[ -n "${VELMORA_TARGETS:-}" ]] && for target in $VELMORA_TARGETS; do targets+=(--target "$target"); done
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
