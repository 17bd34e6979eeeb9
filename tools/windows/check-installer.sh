#!/usr/bin/env bash
# Installs the Windows installer silently under Wine as a standard user would (no folder given:
# the per-user one), checks where everything went, round-trips the sample school with the
# installed quintaro-cli.exe (and nothing else on its path) against the Linux build, then removes
# it and checks that it took away what it installed and nothing else.
#   tools/windows/check-installer.sh SETUP.exe LINUX_BUILD
set -euo pipefail
setup=$1
linux_build=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/windows/wine-env.sh"
unset WINEPATH
fail() { echo "$*" >&2; exit 1; }
unix_path() { "$wine" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
windows_value() { "$wine" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }

local_app_data=$(windows_value LOCALAPPDATA)
folder=$(unix_path "$local_app_data\\Programs\\Quintaro")
start_menu=$(unix_path "$(windows_value APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Quintaro")
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quintaro'
rm -rf "$folder" "$start_menu"
"$wine" "$setup" /S
"$wineserver" -w
for f in quintaro.exe quintaro-cli.exe Qt6Core.dll platforms/qwindows.dll translations/qtbase_es.qm Desinstalar.exe \
    "Léame.txt" "Manual de Quintaro.html"; do
    [ -f "$folder/$f" ] || fail "El instalador no ha puesto $f en $local_app_data\\Programs\\Quintaro"
done
[ -f "$start_menu/Quintaro.lnk" ] || fail "El instalador no ha puesto Quintaro en el menú Inicio del usuario"
"$wine" reg query "$key" /v UninstallString 2>/dev/null | grep -q 'Desinstalar.exe' \
    || fail "El instalador no ha dejado su desinstalación en HKCU"
# What a Windows user reads: text with a byte-order mark and Windows line ends, the manual as HTML.
head -c 3 "$folder/Léame.txt" | cmp -s - <(printf '\xef\xbb\xbf') || fail "Léame.txt no empieza por la marca UTF-8"
grep -q $'\r$' "$folder/Léame.txt" || fail "Léame.txt no tiene finales de línea de Windows"
grep -q '<h2>El modo automático</h2>' "$folder/Manual de Quintaro.html" || fail "El manual HTML no tiene sus apartados"
help=$("$wine" "$folder/quintaro-cli.exe" --help 2>&1 | tr -d '\r')
case "$help" in
*docs/manual.md* | *"dentro de Wine"*) fail "La ayuda de Windows habla de docs/manual.md o de Wine: $help" ;;
esac
echo "$help" | grep -q 'Manual de Quintaro.html' || fail "La ayuda de Windows no dice dónde está el manual"
echo "Instalado para el usuario, sin administrador: $local_app_data\\Programs\\Quintaro, menú Inicio y HKCU."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/win" "$work/linux"
cp "$root/data/escuela.xml" "$work/win/escuela.xml"
cp "$root/data/escuela.xml" "$work/linux/escuela.xml"
"$wine" "$folder/quintaro-cli.exe" exportar "$work/win/escuela.xml" --marcos M,T --dir "$work/win/VTEMP" >/dev/null
"$linux_build/quintaro-cli" exportar "$work/linux/escuela.xml" --marcos M,T --dir "$work/linux/VTEMP" >/dev/null
for table in ASIGNOMT PROFT AULAT DIASHORAST GRUPOST ASIGT; do
    # Byte for byte but the date of the last change (bytes 1 to 3).
    cmp <(tail -c +5 "$work/win/VTEMP/$table.DBF") <(tail -c +5 "$work/linux/VTEMP/$table.DBF") >/dev/null \
        || fail "La tabla $table de Windows difiere de la de Linux"
done
"$wine" "$folder/quintaro-cli.exe" velmora --dir "$work/win/VTEMP" >/dev/null
"$linux_build/quintaro-cli" velmora --dir "$work/linux/VTEMP" >/dev/null
"$wine" "$folder/quintaro-cli.exe" importar "$work/win/escuela.xml" --dir "$work/win/VTEMP" >/dev/null
"$linux_build/quintaro-cli" importar "$work/linux/escuela.xml" --dir "$work/linux/VTEMP" >/dev/null
cmp "$work/win/ResultadoZentarescuela.xml" "$work/linux/ResultadoZentarescuela.xml" \
    || fail "El documento resultado de Windows difiere del de Linux"
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
[ "$left" = "./Velmora.ini" ] || fail "La desinstalación dejó: $left"
[ ! -e "$start_menu" ] || fail "La desinstalación dejó la carpeta del menú Inicio"
! "$wine" reg query "$key" >/dev/null 2>&1 || fail "La desinstalación dejó su clave en HKCU"
rm -rf "$folder"
echo "Desinstalado: solo queda lo que no puso el instalador."
