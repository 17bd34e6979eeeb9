#!/usr/bin/env bash
# The benchmark: at scales 1, 10 and 100 (or those given), times the export, the Velmora
# stand-in and the import beside xmllint parsing the input document and re-saving the result
# document, with each one's peak memory, and checks the targets (bench/measure.py).
#   bench/run.sh [SCALE...]            QUINTARO_BENCH_ROUNDS (default 9) rounds per scale
set -euo pipefail
source "$(dirname "$0")/../tools/setup.sh"
quintaro_install "${QUINTARO_RUN_PACKAGES[@]}" libxml2-utils
quintaro_build "$QUINTARO_ROOT/build-bench" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DQUINTARO_GUI=OFF
work=$(mktemp -d "${TMPDIR:-/tmp}/quintaro-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
scales=("$@")
[ ${#scales[@]} -gt 0 ] || scales=(1 10 100)
/usr/bin/python3 "$QUINTARO_ROOT/bench/measure.py" "$QUINTARO_ROOT/build-bench" "$work" \
    "${QUINTARO_BENCH_ROUNDS:-9}" "${scales[@]}"
