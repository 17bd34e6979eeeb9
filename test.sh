#!/usr/bin/env bash
# Builds Quintaro and runs every test through CTest; exits non-zero on any failure.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
quintaro_install "${QUINTARO_PACKAGES[@]}"
quintaro_build "$QUINTARO_ROOT/build"
cd "$QUINTARO_ROOT/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
