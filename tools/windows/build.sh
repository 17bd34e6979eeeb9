#!/usr/bin/env bash
# Builds Quintaro for Windows in build-windows/, on the cross prefix (made when missing), with
# Wine as the emulator that runs its tests. Prints the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/setup.sh"
quintaro_install "${QUINTARO_WINDOWS_PACKAGES[@]}" >&2
prefix=$("$root/tools/windows/build-prefix.sh")
build=$root/build-windows
# A build configured on another prefix (older, or built with other Qt modules) keeps that
# prefix's Qt in its cache: configure it anew.
if [ -f "$build/mingw-prefix" ] && [ "$(cat "$build/mingw-prefix")" != "$prefix" ]; then
    rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/tools/windows/mingw-toolchain.cmake" -DQUINTARO_MINGW_PREFIX="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$root/tools/windows/wine-run.sh" \
    -DPython3_EXECUTABLE=/usr/bin/python3 >&2
QUINTARO_MINGW_PREFIX=$prefix cmake --build "$build" -j "$(nproc)" >&2
echo "$prefix" >"$build/mingw-prefix"
echo "$build"
