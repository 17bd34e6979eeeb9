#!/usr/bin/env bash
# Installs what Quintaro needs on Debian, when it is missing, and configures builds. Sourced by
# run.sh, test.sh, package.sh and the benchmark.
set -euo pipefail

# To build and run the programs: Qt's Spanish texts and a font with Arial's metrics included.
QUINTARO_RUN_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev libxml2-dev
    qt6-translations-l10n fonts-liberation
)

# To test them as well: GoogleTest, an independent dBase reader, xmllint, strace for fault injection,
# FET, whose fet-cl solves the schools Quintaro hands it, and a browser and a PDF reader that read
# the timetable back.
QUINTARO_TEST_PACKAGES=(
    libgtest-dev libgmock-dev libxml2-utils
    python3 python3-dbfread strace fet chromium poppler-utils
)

# The Windows build: the cross compiler, Wine to run its tests, NSIS for the installer, and what
# the cross prefix is made with (Qt's host tools, Debian's sources).
QUINTARO_WINDOWS_PACKAGES=(
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 wine64 nsis zip
    qt6-base-dev-tools qt6-translations-l10n dpkg-dev xz-utils python3 python3-dbfread python3-markdown
    xvfb xauth imagemagick
)

quintaro_missing_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    echo "${missing[@]:-}"
}

quintaro_install() {
    local missing
    missing=$(quintaro_missing_packages "$@")
    [ -z "$missing" ] && return 0
    echo "Instalando paquetes que faltan: $missing"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    # shellcheck disable=SC2086
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}

quintaro_build() {
    local dir=$1
    shift
    # Debian's own interpreter, where python3-dbfread is installed (another python3 may come first;
    # builds without tests do not ask for it).
    cmake --no-warn-unused-cli -S "$QUINTARO_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DPython3_EXECUTABLE=/usr/bin/python3 "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

QUINTARO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
