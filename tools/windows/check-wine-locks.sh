#!/usr/bin/env bash
# Velmora under Wine holds its tables with Windows locks, which Wine passes on as POSIX record
# locks. A Windows lock holder, built with mingw and run under Wine, holds SOLUC; the Linux build
# must then refuse to read it (import) or to replace it (the stand-in), and take it once let go.
#   tools/windows/check-wine-locks.sh LINUX_BUILD
set -euo pipefail
linux=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
holder_pid=""
cleanup() {
    [ -n "$holder_pid" ] && kill "$holder_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
x86_64-w64-mingw32-gcc-posix -municode -O2 -o "$work/lock_holder.exe" "$root/tools/windows/lock_holder.c"
cp "$root/data/escuela.xml" "$work/escuela.xml"
"$linux/quintaro-cli" exportar "$work/escuela.xml" --marcos M,T --dir "$work/VTEMP" >/dev/null
"$linux/quintaro-cli" velmora --dir "$work/VTEMP" >/dev/null

source "$root/tools/windows/wine-env.sh"
mkfifo "$work/in"
"$wine" "$work/lock_holder.exe" "Z:${work//\//\\}\\VTEMP\\SOLUC.DBF" <"$work/in" >"$work/out" &
holder_pid=$!
exec 3>"$work/in"
for _ in $(seq 1 60); do
    grep -q held "$work/out" 2>/dev/null && break
    sleep 0.5
done
grep -q held "$work/out" || { echo "El programa de Windows no llegó a tomar SOLUC" >&2; exit 1; }

fail=0
if out=$("$linux/quintaro-cli" importar "$work/escuela.xml" --dir "$work/VTEMP" 2>&1); then
    echo "La importación leyó SOLUC mientras un programa de Windows la tenía: $out" >&2
    fail=1
fi
echo "$out" | grep -q "SOLUC está en uso por otro programa" || { echo "Mensaje inesperado: $out" >&2; fail=1; }
if out=$("$linux/quintaro-cli" velmora --dir "$work/VTEMP" 2>&1); then
    echo "El sustituto de Velmora sustituyó SOLUC mientras un programa de Windows la tenía" >&2
    fail=1
fi
exec 3>&-
wait "$holder_pid" || true
holder_pid=""
"$linux/quintaro-cli" importar "$work/escuela.xml" --dir "$work/VTEMP" >/dev/null \
    || { echo "Una vez suelta, SOLUC no se pudo importar" >&2; fail=1; }
[ "$fail" = 0 ] && echo "Los bloqueos de Windows bajo Wine se respetan en Linux."
exit "$fail"
