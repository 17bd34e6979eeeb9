#!/usr/bin/env bash
# ./package.sh deb: a Release build, its tests, and dist/quintaro_<version>_<arch>.deb made by CPack
# (dependencies from dpkg-shlibdeps), checked with lintian.
set -euo pipefail
version=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/setup.sh"
quintaro_install "${QUINTARO_RUN_PACKAGES[@]}" dpkg-dev lintian file
build=$root/build-deb
# Debian's own build flags, hardening included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)
mkdir -p "$root/dist"
arch=$(dpkg --print-architecture)
deb=$root/dist/quintaro_${version}_${arch}.deb
cp "$build/quintaro_${version}_${arch}.deb" "$deb"
dpkg-deb --info "$deb" | sed -n 's/^ \(Depends\|Section\|Maintainer\):/\1:/p'
echo "== lintian"
lintian --tag-display-limit 0 "$deb" || { echo "lintian informa de errores" >&2; exit 1; }
echo "Escrito: dist/quintaro_${version}_${arch}.deb"
