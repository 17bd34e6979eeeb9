#!/usr/bin/env bash
# Stages the Windows programs as they are installed: the two programs, the DLLs they need, Qt's
# plugins and Spanish texts, the icon, the example school, and what a Windows user reads (the
# Léame and the manual as HTML, both opened by double-click).
#   tools/windows/stage.sh BUILD STAGE
set -euo pipefail
build=$1
stage=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
prefix=$(cat "$build/mingw-prefix")
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
cp "$root/data/escuela.xml" "$stage/ejemplo-escuela.xml"

# Text with Windows line ends and a byte-order mark, so that any Notepad shows its accents.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' "$root/docs/windows/Léame.txt"; } >"$stage/Léame.txt"
/usr/bin/python3 "$root/tools/windows/manual_html.py" "$root/docs/manual.md" "$stage/Manual de Quintaro.html"
