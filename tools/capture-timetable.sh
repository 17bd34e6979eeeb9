#!/usr/bin/env bash
# Takes the manual's picture of the timetable view (docs/images/horario.png) from the window test,
# which shows the sample school's timetable after an import.
#   tools/capture-timetable.sh [BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
mkdir -p "$root/docs/images"
QT_QPA_PLATFORM=offscreen QUINTARO_CAPTURA="$root/docs/images/horario.png" \
    "$build/test_gui_main_window" afterAnImportTheTimetableOpensFromTheBox >/dev/null
echo "docs/images/horario.png"
