#!/usr/bin/env bash
# Runs a program of the Windows build under Wine, with the DLLs of the cross prefix and of the
# mingw runtime on its path and Qt set for tests (offscreen, messages on stderr). CMake uses it as
# the emulator that runs the Windows tests.
#   QUINTARO_MINGW_PREFIX=… tools/windows/wine-run.sh PROGRAM.exe [ARGS…]
set -euo pipefail
prefix=${QUINTARO_MINGW_PREFIX:?QUINTARO_MINGW_PREFIX names the cross prefix}
source "$(dirname "$0")/wine-env.sh"
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
threads=$(dirname "$(x86_64-w64-mingw32-gcc-posix -print-file-name=libwinpthread-1.dll)")
export WINEPATH="$(windows_path "$prefix/bin");$(windows_path "$runtime");$(windows_path "$threads")"
# Wine passes on QT_* variables only under these names, the prefix stripped.
export WINEQT_QPA_PLATFORM=${WINEQT_QPA_PLATFORM:-offscreen}
export WINEQT_PLUGIN_PATH=$(windows_path "$prefix/plugins")
export WINEQT_FORCE_STDERR_LOGGING=1
exec "$wine" "$@"
