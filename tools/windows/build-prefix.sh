#!/usr/bin/env bash
# Builds what Quintaro needs on Windows from Debian's own sources, once, into a cache outside the
# checkout: Qt (Core, Gui, Widgets, Test, the windows platform plugin), libxml2 and GoogleTest,
# cross-compiled with mingw-w64. Prints the prefix. Reused while the versions match.
#   tools/windows/build-prefix.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
versions="qt6.4.2-libxml2.2.9.14-gtest1.12.1"
cache=${XDG_CACHE_HOME:-$HOME/.cache}/quintaro
prefix=$cache/mingw-$versions
[ -f "$prefix/.complete" ] && { echo "$prefix"; exit 0; }

src=$cache/src
"$here/fetch-sources.sh" "$src" qt6-base=6.4.2+dfsg-10 libxml2 googletest=1.12.1-0.2 >&2
work=$cache/build-$versions
mkdir -p "$work" "$prefix"
toolchain=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/mingw-toolchain.cmake" -DCMAKE_BUILD_TYPE=Release
           -DCMAKE_INSTALL_PREFIX="$prefix" -DQUINTARO_MINGW_PREFIX="$prefix")

echo "== libxml2 para Windows" >&2
cmake -S "$(ls -d "$src"/libxml2_*/ | head -1)" -B "$work/libxml2" "${toolchain[@]}" -DBUILD_SHARED_LIBS=ON \
    -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ICU=OFF -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ZLIB=OFF \
    -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF -DLIBXML2_WITH_TESTS=OFF \
    -DLIBXML2_WITH_PROGRAMS=OFF >&2
cmake --build "$work/libxml2" --target install >&2

echo "== GoogleTest para Windows" >&2
cmake -S "$(ls -d "$src"/googletest_*/ | head -1)" -B "$work/gtest" "${toolchain[@]}" -Dgtest_disable_pthreads=OFF >&2
cmake --build "$work/gtest" --target install >&2

echo "== Qt para Windows (unos 20 minutos con 2 núcleos)" >&2
features=()
for off in opengl dynamicgl vulkan dbus sql network printsupport concurrent xml zstd icu tabletevent directwrite3 \
           system_zlib system_pcre2 system_freetype system_harfbuzz system_png system_jpeg; do
    features+=("-DFEATURE_$off=OFF")
done
cmake -S "$(ls -d "$src"/qt6-base_*/ | head -1)" -B "$work/qt" "${toolchain[@]}" -DBUILD_SHARED_LIBS=ON \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF "${features[@]}" >&2
cmake --build "$work/qt" >&2
cmake --install "$work/qt" >&2

rm -rf "$work"
touch "$prefix/.complete"
echo "$prefix"
