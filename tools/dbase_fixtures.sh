#!/bin/sh
# Writes the dBase tables of tests/data/dbase with other programs than Quintaro, so that the
# dBase layer is tested on files it did not write itself. Run it only to make them again; the
# tests read the committed files. Needs gdal-bin and python3-dbf (Debian packages).
set -eu
out=$(cd "$(dirname "$0")/.." && pwd)/tests/data/dbase
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# GDAL (ogr2ogr): dBase III, no language driver byte (CP1252 said beside it), and code page 850.
printf '%s\n' 'COD,NOMBRE,HORAS,NOTA,ACTIVA' 'MAT,Matemáticas,4,7.25,1' 'ESP,Español y Literatura,3,-1.5,0' \
    'FRA,Français,2,0,1' 'ALE,Alemán – opción,1,10.125,0' > escuela.csv
sed 's/ – / y /' escuela.csv > escuela850.csv # 850 has no dash
for csv in escuela escuela850; do
    echo '"String(10)","String(40)","Integer(4)","Real(8.3)","Integer(Boolean)"' > $csv.csvt
done
ogr2ogr -f "ESRI Shapefile" -lco ENCODING=CP1252 gdal_dbase3.dbf escuela.csv
ogr2ogr -f "ESRI Shapefile" -lco ENCODING=LDID/2 gdal_dbase3_cp850.dbf escuela850.csv
for t in gdal_dbase3 gdal_dbase3_cp850; do # the row marked deleted, left in place
    ogrinfo -q -update -oo AUTO_REPACK=NO $t.dbf -dialect SQLite -sql "DELETE FROM $t WHERE COD='ESP'"
done

# python-dbf: Visual FoxPro in Windows-1252 and dBase III in code page 437, with logicals and dates.
/usr/bin/python3 - <<'PY'
import datetime
import dbf
for kind, codepage, name in [("vfp", "cp1252", "pydbf_foxpro.dbf"), ("db3", "cp437", "pydbf_dbase3_cp437.dbf")]:
    t = dbf.Table(name, "COD C(10); NOMBRE C(40); HORAS N(4,0); NOTA N(8,3); ACTIVA L; ALTA D",
                  dbf_type=kind, codepage=codepage)
    t.open(dbf.READ_WRITE)
    for row in [("MAT", "Matemáticas", 4, 7.25, True, datetime.date(2026, 9, 1)),
                ("ESP", "Español y Literatura", 3, -1.5, False, datetime.date(2026, 9, 2)),
                ("FRA", "Français", 2, 0, True, None),
                ("ALE", "Alemán opción", 1, 10.125, None, datetime.date(2027, 1, 31))]:
        t.append(row)
    with t[1] as record:
        dbf.delete(record)
    t.close()
PY
mkdir -p "$out"
cp gdal_dbase3.dbf gdal_dbase3_cp850.dbf pydbf_foxpro.dbf pydbf_dbase3_cp437.dbf "$out"/
echo "Tablas en $out"
