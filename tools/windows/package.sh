#!/usr/bin/env bash
# ./package.sh windows: builds and tests the Windows programs, stages them with the DLLs they
# need, and writes the zip and the installer into dist/; then installs, uses and removes the
# installer under Wine.
set -euo pipefail
version=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
"$root/test.sh" windows
build=$root/build-windows
prefix=$(cat "$build/mingw-prefix")
export QUINTARO_MINGW_PREFIX=$prefix
name=quintaro-$version-windows-x64
stage=$root/dist/$name
rm -rf "$stage" && mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations"

# The DLLs a program needs, found by walking its imports through the prefix and the mingw runtime.
search=("$prefix/bin" "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
        "$(dirname "$(x86_64-w64-mingw32-gcc-posix -print-file-name=libwinpthread-1.dll)")")
copy_imports() {
    local dll found
    for dll in $(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'); do
        [ -e "$stage/$dll" ] && continue
        found=""
        for dir in "${search[@]}"; do
            [ -f "$dir/$dll" ] && found=$dir/$dll && break
        done
        [ -n "$found" ] || continue # a system DLL
        cp "$found" "$stage/$dll"
        copy_imports "$stage/$dll"
    done
}
cp "$build/quintaro.exe" "$build/quintaro-cli.exe" "$stage/"
cp "$prefix/plugins/platforms/qwindows.dll" "$stage/platforms/"
[ -f "$prefix/plugins/styles/qwindowsvistastyle.dll" ] && cp "$prefix/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
for program in "$stage"/*.exe "$stage"/platforms/*.dll "$stage"/styles/*.dll; do
    [ -f "$program" ] && copy_imports "$program"
done
cp /usr/share/qt6/translations/qtbase_es.qm "$stage/translations/"
cp "$root/data/icons/quintaro.ico" "$stage/"
cp "$root/README.md" "$stage/LEEME.md"
[ -f "$root/docs/manual.md" ] && cp "$root/docs/manual.md" "$stage/manual.md"
cp "$root/data/escuela.xml" "$stage/ejemplo-escuela.xml"

rm -f "$root/dist/$name.zip"
(cd "$root/dist" && zip -qr "$name.zip" "$name")

# The installer installs exactly the staged files and removes exactly them.
lists=$(mktemp -d)
trap 'rm -rf "$lists"' EXIT
(cd "$stage" && find . -type d | sort) | while read -r d; do
    [ "$d" = "." ] || echo "CreateDirectory \"\$INSTDIR\\${d#./}\"" | tr '/' '\\'
done >"$lists/install.nsh"
(cd "$stage" && find . -type f | sort) | while read -r f; do
    rel=${f#./}
    win=${rel//\//\\}
    echo "File \"/oname=$win\" \"$stage/$rel\""
done >>"$lists/install.nsh"
(cd "$stage" && find . -type f | sort) | while read -r f; do
    rel=${f#./}
    echo "Delete \"\$INSTDIR\\${rel//\//\\}\""
done >"$lists/uninstall.nsh"
(cd "$stage" && find . -mindepth 1 -type d | sort -r) | while read -r d; do
    echo "RMDir \"\$INSTDIR\\${d#./}\"" | tr '/' '\\'
done >>"$lists/uninstall.nsh"
setup=$root/dist/quintaro-$version-setup.exe
makensis -V2 -DVERSION="$version" -DSOURCE="$stage" -DOUTFILE="$setup" -DFILES_INSTALL="$lists/install.nsh" \
    -DFILES_UNINSTALL="$lists/uninstall.nsh" "$root/tools/windows/installer.nsi"

"$root/tools/windows/check-installer.sh" "$setup" "$version"
"$root/tools/windows/screenshot.sh" "$stage/quintaro.exe" "$root/dist/quintaro-$version-windows-ventana.png"
echo "Escritos: dist/$name.zip y dist/quintaro-$version-setup.exe"
