#!/usr/bin/env bash
# ./package.sh windows: builds and tests the Windows programs (the tests include installing,
# using and removing the installer under Wine), then writes the zip, the installer and a picture
# of the window into dist/.
set -euo pipefail
version=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
"$root/test.sh" windows
build=$root/build-windows
export QUINTARO_MINGW_PREFIX
QUINTARO_MINGW_PREFIX=$(cat "$build/mingw-prefix")
name=quintaro-$version-windows-x64
stage=$root/dist/$name
"$root/tools/windows/stage.sh" "$build" "$stage"
rm -f "$root/dist/$name.zip"
(cd "$root/dist" && zip -qr "$name.zip" "$name")
"$root/tools/windows/make-installer.sh" "$stage" "$version" "$root/dist/quintaro-$version-setup.exe"
"$root/tools/windows/screenshot.sh" "$stage/quintaro.exe" "$root/dist/quintaro-$version-windows-ventana.png"
echo "Escritos: dist/$name.zip y dist/quintaro-$version-setup.exe"
