#!/usr/bin/env bash
# The benchmark: at scales 1, 10 and 100 (or those given), times the export, the Velmora
# stand-in and the import (median of 5 whole-process runs, hyperfine) beside xmllint parsing the
# input document and re-saving the result document, with each one's peak memory.
#   bench/run.sh [SCALE...]
set -euo pipefail
source "$(dirname "$0")/../tools/setup.sh"
quintaro_install "${QUINTARO_RUN_PACKAGES[@]}" libxml2-utils hyperfine time bc
quintaro_build "$QUINTARO_ROOT/build-bench" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DQUINTARO_GUI=OFF
bin="$QUINTARO_ROOT/build-bench"
work=$(mktemp -d "${TMPDIR:-/tmp}/quintaro-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
scales=("$@")
[ ${#scales[@]} -gt 0 ] || scales=(1 10 100)

median() { # hyperfine's median, in seconds, of one command
    hyperfine --runs 5 --warmup 1 --style none --export-csv "$work/h.csv" "$1" >/dev/null 2>&1
    /usr/bin/python3 -c 'import csv,sys; print("%.3f" % float(next(csv.DictReader(open(sys.argv[1])))["median"]), end="")' "$work/h.csv"
}
peak() { # peak resident memory in MiB
    /usr/bin/time -f %M -o "$work/m" bash -c "$1" >/dev/null 2>&1
    awk '{printf "%.0f", $1/1024}' "$work/m"
}

printf '| scale | XML MB | export s | stand-in s | import s | xmllint --noout s | xmllint --output s | export/noout | import/output | export MiB | import MiB | noout MiB | output MiB |\n'
printf '|---|---|---|---|---|---|---|---|---|---|---|---|---|\n'
for s in "${scales[@]}"; do
    doc="$work/s$s.xml"
    "$bin/quintaro-generate-school" "$s" 42 "$doc"
    vt="$work/vt$s"
    exp="$bin/quintaro-cli exportar $doc --marcos M,T --dir $vt"
    sta="$bin/quintaro-cli velmora --dir $vt"
    imp="$bin/quintaro-cli importar $doc --dir $vt"
    $exp >/dev/null && $sta >/dev/null && $imp >/dev/null
    result="$work/ResultadoZentars$s.xml"
    parse="xmllint --noout $doc"
    save="xmllint --output $work/copy.xml $result"
    te=$(median "$exp"); ts=$(median "$sta"); ti=$(median "$imp"); tp=$(median "$parse"); to=$(median "$save")
    printf '| %s | %.1f | %s | %s | %s | %s | %s | %.2f | %.2f | %s | %s | %s | %s |\n' "$s" \
        "$(echo "$(stat -c %s "$doc") / 1048576" | bc -l)" "$te" "$ts" "$ti" "$tp" "$to" \
        "$(echo "$te / $tp" | bc -l)" "$(echo "$ti / $to" | bc -l)" \
        "$(peak "$exp")" "$(peak "$imp")" "$(peak "$parse")" "$(peak "$save")"
done
