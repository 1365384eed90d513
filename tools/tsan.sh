#!/usr/bin/env bash
# tools/tsan.sh [GTEST_FILTER]: builds the browser and picture tests with ThreadSanitizer
# into build-tsan and runs the tests that use the decoding worker (by default those of
# preloading and of the first picture) with many quick moves, and those of the
# two-thread display decoder, encoder and BMP reader. Qt itself is not
# instrumented: races reported inside Qt's own libraries are suppressed, ours are not.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh"
VELMORA_TARGETS="test_browser test_qt_window test_picture test_imagefile" "$root/tools/build.sh" "$root/build-tsan" -DCMAKE_BUILD_TYPE=Debug \
  -DVELMORA_BENCH=OFF -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g -fsanitize=thread" \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread
export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tools/tsan.supp"
"$root/build-tsan/tests/test_qt_window" --gtest_filter="${1:-Preloading.*:Window.*:PixelRatio.*}" --gtest_brief=1
"$root/build-tsan/tests/test_browser" --gtest_filter='Navigation.*:FilterAndFiles.*' --gtest_brief=1
"$root/build-tsan/tests/test_picture" --gtest_filter='ReducedDecode.*:JpegFuzzCorpus.*:JpegHalves.*' --gtest_brief=1
"$root/build-tsan/tests/test_imagefile" --gtest_filter='LargeBmp.*' --gtest_brief=1
