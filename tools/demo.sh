#!/usr/bin/env bash
# The whole round trip on the sample school, in a fresh working directory:
# export, the Velmora stand-in, import, and the timetable as a page of grids. Prints what each
# step did.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli="$root/build/quintaro-cli"
work=$(mktemp -d "${TMPDIR:-/tmp}/quintaro-demo.XXXXXX")
cp "$root/data/escuela.xml" "$work/escuela.xml"
vtemp="$work/VTEMP"

echo "== 1. Exportar: escuela.xml -> tablas de Velmora en $vtemp (marcos M y T)"
"$cli" exportar "$work/escuela.xml" --marcos M,T --dir "$vtemp"
echo
echo "== 2. Velmora (sustituto): coloca las sesiones y escribe SOLUC"
"$cli" velmora --dir "$vtemp"
echo
echo "== 3. Importar: SOLUC -> sección horario del documento resultado"
"$cli" importar "$work/escuela.xml" --dir "$vtemp"
echo
echo "Primeras franjas del documento resultado:"
grep -m 5 '<tramo ' "$work/ResultadoZentarescuela.xml"
echo
echo "== 4. El horario como rejillas por grupo, profesor y aula"
"$cli" horario "$work/ResultadoZentarescuela.xml" --html "$work/horario.html"
echo
echo "Tablas: $vtemp (véalas con: $cli tabla ASIGT --dir $vtemp)"
echo "Horario: $work/horario.html (ábralo con el navegador)"
