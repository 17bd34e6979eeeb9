#!/usr/bin/env bash
# Installs the Windows installer silently under Wine, round-trips the sample school with the
# installed quintaro-cli.exe (and nothing else on its path) against the Linux build, then removes
# it and checks that it took away what it installed and nothing else.
#   tools/windows/check-installer.sh SETUP.exe VERSION
set -euo pipefail
setup=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/setup.sh"
[ -x "$root/build/quintaro-cli" ] || quintaro_build "$root/build" -DBUILD_TESTING=OFF >&2
source "$root/tools/windows/wine-env.sh"
unset WINEPATH
folder="$WINEPREFIX/drive_c/QuintaroPrueba"
rm -rf "$folder"
"$wine" "$setup" /S '/D=C:\QuintaroPrueba'
"$wineserver" -w
for f in quintaro.exe quintaro-cli.exe Qt6Core.dll platforms/qwindows.dll translations/qtbase_es.qm Desinstalar.exe; do
    [ -f "$folder/$f" ] || { echo "El instalador no ha puesto $f" >&2; exit 1; }
done
"$wine" "$folder/quintaro-cli.exe" --version

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/win" "$work/linux"
cp "$root/data/escuela.xml" "$work/win/escuela.xml"
cp "$root/data/escuela.xml" "$work/linux/escuela.xml"
"$wine" "$folder/quintaro-cli.exe" exportar "$work/win/escuela.xml" --marcos M,T --dir "$work/win/VTEMP" >/dev/null
"$root/build/quintaro-cli" exportar "$work/linux/escuela.xml" --marcos M,T --dir "$work/linux/VTEMP" >/dev/null
for table in ASIGNOMT PROFT AULAT DIASHORAST GRUPOST ASIGT; do
    # Byte for byte but the date of the last change (bytes 1 to 3).
    cmp <(tail -c +5 "$work/win/VTEMP/$table.DBF") <(tail -c +5 "$work/linux/VTEMP/$table.DBF") >/dev/null \
        || { echo "La tabla $table de Windows difiere de la de Linux" >&2; exit 1; }
done
"$wine" "$folder/quintaro-cli.exe" velmora --dir "$work/win/VTEMP" >/dev/null
"$root/build/quintaro-cli" velmora --dir "$work/linux/VTEMP" >/dev/null
"$wine" "$folder/quintaro-cli.exe" importar "$work/win/escuela.xml" --dir "$work/win/VTEMP" >/dev/null
"$root/build/quintaro-cli" importar "$work/linux/escuela.xml" --dir "$work/linux/VTEMP" >/dev/null
cmp "$work/win/ResultadoZentarescuela.xml" "$work/linux/ResultadoZentarescuela.xml" \
    || { echo "El documento resultado de Windows difiere del de Linux" >&2; exit 1; }
echo "Instalado en Wine: las seis tablas y el documento resultado son iguales que en Linux."

# A file of the user's stays; everything installed goes.
echo "[Transformadores]" >"$folder/Velmora.ini"
"$wine" "$folder/Desinstalar.exe" /S
"$wineserver" -w
for _ in $(seq 1 30); do # the uninstaller goes on from a copy of itself
    [ -f "$folder/quintaro.exe" ] || break
    sleep 1
done
left=$(cd "$folder" && find . -type f | sort)
[ "$left" = "./Velmora.ini" ] || { echo "La desinstalación dejó: $left" >&2; exit 1; }
rm -rf "$folder"
echo "Desinstalado: solo queda lo que no puso el instalador."
