#!/usr/bin/env bash
# Builds Quintaro and runs every test through CTest; exits non-zero on any failure.
# Then builds the core and its tests again with AddressSanitizer and UndefinedBehaviorSanitizer
# (any report aborts the test that made it) and runs them.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
quintaro_install "${QUINTARO_PACKAGES[@]}"

quintaro_build "$QUINTARO_ROOT/build"
(cd "$QUINTARO_ROOT/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")

echo "== Núcleo y pruebas con AddressSanitizer y UndefinedBehaviorSanitizer"
quintaro_build "$QUINTARO_ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DQUINTARO_SANITIZE=ON -DQUINTARO_GUI=OFF
(cd "$QUINTARO_ROOT/build-asan" && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j "$(nproc)")
