#!/usr/bin/env bash
# Installs what is missing, builds Velmora and starts it on a sample collection.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh"
# Only the program and the collection tool: the tests and benchmarks wait for tools/test.sh.
VELMORA_TARGETS="velmora velmora_make_collection" "$root/tools/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo

sample="$root/sample"
if [[ ! -f "$sample/pictures.vlm" ]]; then
  mkdir -p "$sample"
  "$root/build/tools/velmora_make_collection" "$sample/pictures.vlm.part" --count 6 --size 1024x768
  mv "$sample/pictures.vlm.part" "$sample/pictures.vlm"
fi

cd "$sample"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display found: starting Velmora on a virtual X server (xvfb-run)."
  exec xvfb-run -a "$root/build/app/velmora" "$@"
fi
exec "$root/build/app/velmora" "$@"
