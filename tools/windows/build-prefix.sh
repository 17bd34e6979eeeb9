#!/usr/bin/env bash
# Builds what Quintaro needs on Windows from Debian's own sources, once, into a cache outside the
# checkout: Qt (Core, Gui, Widgets, PrintSupport, Test, the windows platform plugin), libxml2 and GoogleTest,
# cross-compiled with mingw-w64. Prints the prefix. The cache is named by the source versions
# fetched and by the Qt modules built (qt_modules), so a new Debian version (a security update of
# libxml2, say) or another Qt module builds a new prefix.
#   tools/windows/build-prefix.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# Qt and GoogleTest: the versions the Linux build uses here (the newest Debian has when they are
# not installed); libxml2: the newest, so Debian's security updates reach the Windows build.
installed_source() {
    dpkg-query -W -f='${source:Version}' "$1" 2>/dev/null || true
}
pinned() {
    local version
    version=$(installed_source "$2")
    if [ -n "$version" ]; then echo "$1=$version"; else echo "$1"; fi
}
QUINTARO_WINDOWS_SOURCES=("$(pinned qt6-base qt6-base-dev)" libxml2 "$(pinned googletest libgtest-dev)")
cache=${XDG_CACHE_HOME:-$HOME/.cache}/quintaro
src=$cache/src
fetched=$("$here/fetch-sources.sh" "$src" "${QUINTARO_WINDOWS_SOURCES[@]}")
versions=$(echo "$fetched" | tr '\n=' '-_' | sed 's/-$//')
# Qt's modules beyond Core, Gui and Widgets; a change here names a new prefix.
qt_modules=printsupport
prefix=$cache/mingw-$versions-$qt_modules
[ -f "$prefix/.complete" ] && { echo "$prefix"; exit 0; }
work=$cache/build-$versions
mkdir -p "$work" "$prefix"
toolchain=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/mingw-toolchain.cmake" -DCMAKE_BUILD_TYPE=Release
           -DCMAKE_INSTALL_PREFIX="$prefix" -DQUINTARO_MINGW_PREFIX="$prefix")

echo "== libxml2 para Windows" >&2
source_dir() { echo "$src/$(echo "$fetched" | sed -n "s/^$1=/$1_/p")"; }
cmake -S "$(source_dir libxml2)" -B "$work/libxml2" "${toolchain[@]}" -DBUILD_SHARED_LIBS=ON \
    -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ICU=OFF -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ZLIB=OFF \
    -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF -DLIBXML2_WITH_TESTS=OFF \
    -DLIBXML2_WITH_PROGRAMS=OFF >&2
cmake --build "$work/libxml2" --target install >&2

echo "== GoogleTest para Windows" >&2
cmake -S "$(source_dir googletest)" -B "$work/gtest" "${toolchain[@]}" -Dgtest_disable_pthreads=OFF >&2
cmake --build "$work/gtest" --target install >&2

echo "== Qt para Windows (unos 20 minutos con 2 núcleos)" >&2
features=()
for off in opengl dynamicgl vulkan dbus sql network concurrent xml zstd icu tabletevent directwrite3 \
           system_zlib system_pcre2 system_freetype system_harfbuzz system_png system_jpeg; do
    features+=("-DFEATURE_$off=OFF")
done
cmake -S "$(source_dir qt6-base)" -B "$work/qt" "${toolchain[@]}" -DBUILD_SHARED_LIBS=ON \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF "${features[@]}" >&2
cmake --build "$work/qt" >&2
cmake --install "$work/qt" >&2

rm -rf "$work"
touch "$prefix/.complete"
echo "$prefix"
