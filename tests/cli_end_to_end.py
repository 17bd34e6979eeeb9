#!/usr/bin/python3
"""The real quintaro-cli on the sample school, every table read back by an independent reader.

dbfread reads the level III/IV tables; DIASHORAST, whose field names need level 7, is read by the
small level-7 reader below, written from the format description and sharing nothing with the
program's own code.
"""
import os
import shutil
import struct
import subprocess
import tempfile

import dbfread
import xml.etree.ElementTree as ET

from cli_harness import CLI, RUNNER, WINDOWS, check, finish, run, sample_round_trip

SAMPLE = os.environ["QUINTARO_SAMPLE"]




def read_level7(path):
    with open(path, "rb") as f:
        data = f.read()
    version, count, header_len, record_len = data[0], *struct.unpack("<IHH", data[4:12])
    assert version & 7 == 4, "not level 7"
    fields, pos, offset = [], 68, 1
    while data[pos] != 0x0D:
        d = data[pos:pos + 48]
        fields.append((d[:32].split(b"\0")[0].decode("ascii"), chr(d[32]), d[33], offset))
        offset += d[33]
        pos += 48
    rows = []
    for i in range(count):
        rec = data[header_len + i * record_len: header_len + (i + 1) * record_len]
        if rec[:1] == b"*":
            continue
        rows.append({n: rec[o:o + l].decode("cp1252").rstrip(" ") for n, t, l, o in fields})
    return [(n, t, l) for n, t, l, o in fields], rows


def table(vtemp, name):
    return dbfread.DBF(os.path.join(vtemp, name + ".DBF"), encoding="cp1252", char_decode_errors="strict")


SPLIT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "instituto_desdobles.xml")


def SAMPLE_COPY(tmp):
    path = os.path.join(tmp, "escuela.xml")
    shutil.copy(SAMPLE, path)
    return path


with tempfile.TemporaryDirectory() as tmp:
    doc = os.path.join(tmp, "escuela.xml")
    shutil.copy(SAMPLE, doc)
    vtemp = os.path.join(tmp, "VTEMP")

    # Usage errors come before any table is touched.
    p = run("exportar", doc, "--dir", vtemp, code=2)
    check("M, T" in p.stderr, "without --marcos the frames are listed: " + p.stderr)
    run("exportar", doc, "--marcos", "Z", "--dir", vtemp, code=2)
    check(not os.path.exists(vtemp), "a usage error left a working folder behind")
    p = run("exportar", doc, "--marco", "M", "--dir", vtemp, code=2)
    check("no tiene la opción --marco" in p.stderr, "unknown option in Spanish: " + p.stderr)
    p = run("exportar", doc, "--dir", vtemp, "--marcos", code=2)
    check("Falta el valor de --marcos" in p.stderr, "missing value in Spanish: " + p.stderr)
    p = run("exportar", doc, "--marcos", "M", "--marcos", "T", "--dir", vtemp, code=2)
    check("La opción --marcos está repetida" in p.stderr, "a repeated option is a usage error: " + p.stderr)
    run("exportar", os.path.join(tmp, "no.xml"), "--dir", vtemp, code=3)
    p = run("exportar", code=2)
    check("Falta DOC.xml" in p.stderr, "a missing document argument is said: " + p.stderr)
    run("EXPORTAR", "--help")  # the command in any letter case, as the window takes it

    p = run("exportar", doc, "--marcos", "T,M", "--dir", vtemp)
    check("Proceso finalizado" in p.stdout, "no Proceso finalizado")
    check("QUINTARO_ANTERIORES" not in p.stdout, "the first export promised a previous set: " + p.stdout)
    check("ASIGT      37 filas" in p.stdout, "row counts: " + p.stdout)
    check("sesión 127: materia 'Latín'" in p.stdout, "dropped lesson not reported: " + p.stdout)
    check("profesor no está en PROFT: 1" in p.stdout, "teacher not found not reported")

    asignomt = table(vtemp, "ASIGNOMT")
    check(asignomt.field_names == ["COD", "CODLARGO", "NOMBRE", "MATERIA", "CODTAREA", "ESTAREA"], "ASIGNOMT fields")
    rows = list(asignomt)
    check(len(rows) == 19, "ASIGNOMT rows")
    check(rows[11]["COD"] == "Astronomí1" and rows[11]["NOMBRE"] == "Astronomía Aplicada", "ASIGNOMT Astronomí1")
    check(rows[17] == {"COD": "Guardia de", "CODLARGO": "Guardia de", "NOMBRE": "Guardia de patio", "MATERIA": "",
                       "CODTAREA": "Guardia de", "ESTAREA": True}, "ASIGNOMT task row: %r" % (rows[17],))
    check(rows[0]["ESTAREA"] is False, "ESTAREA false")

    proft = list(table(vtemp, "PROFT"))
    check([r["ABREV"] for r in proft] == ["MGL", "JPR", "AMS", "LFC", "RDO", "CNV", "ÍÑIGO", "MGL1", "PAB"], "PROFT codes")
    check(proft[0]["DNI"] is None and proft[6]["NOMBRE"] == "Íñigo Sánchez Ibáñez", "PROFT values")

    aulat = table(vtemp, "AULAT")
    check(aulat.field_names == ["ABREV", "NOMBRE", "EDIFICIO", "MAXALUM", "ES_GENERICA"], "AULAT fields (11-character name)")
    aulas = list(aulat)
    check([(r["ABREV"], r["ES_GENERICA"]) for r in aulas[-3:]] == [("Aula rupo1", "S"), ("Aula rupo2", "S"), ("Aula rupo3", "S")],
          "generic rooms")
    check(aulas[3]["ABREV"] == "Laboratori" and aulas[4]["ABREV"] == "Laborator1", "room codes")

    grupos = list(table(vtemp, "GRUPOST"))
    check([(g["ABREV"], g["MARCO"]) for g in grupos] ==
          [("ESO1A", "0"), ("ESO1B", "0"), ("ESO2A", "0"), ("ESO3A", "0"), ("BACH1A", "1"), ("BACH2A", "1")], "GRUPOST")

    asigt = list(table(vtemp, "ASIGT"))
    check(len(asigt) == 37, "ASIGT rows")
    check(asigt[0]["CASIG"] == "Matemática" and asigt[0]["HORAS"] == 4 and asigt[0]["SESIONES"] == "1111"
          and asigt[0]["ES_SESION"] == 101, "ASIGT first row: %r" % (asigt[0],))
    tutoria = [r for r in asigt if r["ES_SESION"] == 137][0]
    check(tutoria["HORAS"] == 1 and tutoria["SESIONES"] == "1", "blank hours give 1")
    guard = [r for r in asigt if r["ES_SESION"] == 138][0]
    check(guard["CTAREA"] == "Guardia de" and guard["CASIG"] == "Guardia de", "task lookup by code")

    fields, periods = read_level7(os.path.join(vtemp, "DIASHORAST.DBF"))
    check([f[0] for f in fields][-4:] == ["ES_DIA", "ES_HORADESDE", "ES_HORAHASTA", "ES_TIPO"], "DIASHORAST names")
    check(len(periods) == 50, "DIASHORAST rows")
    check(periods[0]["DIHO"] == "11" and periods[0]["TEXTODIA"] == "Lunes" and periods[0]["MARCO"] == "0"
          and periods[0]["TEXTOHOR"] == "1-08:30-09:25", "DIASHORAST first row %r" % (periods[0],))
    check(periods[-1]["MARCOXML"] == "T" and periods[-1]["MARCO"] == "1", "afternoon frame code")

    check("Tablas de Velmora en " in p.stdout, "where the tables went: " + p.stdout)
    p = run("tabla", "asigt.dbf", "--dir", vtemp)
    check("Tabla ASIGT: 13 campos, 37 filas" in p.stdout, "tabla with a file name: " + p.stdout)
    p = run("tabla", "GRUPOST", "--dir", vtemp, "--csv")
    check(p.stdout.splitlines()[0] == "ABREV;TURNO;NIVEL;CURSO;GRUPO;DESCRIP;MARCO", "tabla --csv header")

    p = run("velmora", "--dir", vtemp)
    check("105 colocadas" in p.stdout, "stand-in: " + p.stdout)
    soluc = list(table(vtemp, "SOLUC"))
    check(len(soluc) == 105, "SOLUC rows")

    original = open(doc, "rb").read()
    p = run("importar", doc, "--dir", vtemp)
    check("Franjas (tramo) escritas: 105" in p.stdout, "import: " + p.stdout)
    check(open(doc, "rb").read() == original, "the chosen document changed")
    result = os.path.join(tmp, "ResultadoZentarescuela.xml")
    check(subprocess.run(["xmllint", "--noout", result]).returncode == 0, "result document is not well-formed")

# On a terminal the frames are asked for by identifier, each shown beside its name; a number is not
# taken for a list position.
if not WINDOWS:
    import pty
    with tempfile.TemporaryDirectory() as tmp:
        doc = os.path.join(tmp, "escuela.xml")
        shutil.copy(SAMPLE, doc)
        master, slave = pty.openpty()
        p = subprocess.Popen([CLI, "exportar", doc, "--dir", os.path.join(tmp, "VTEMP")], stdin=slave,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        os.close(slave)
        os.write(master, b"1\nT\n")  # a list position, then an identifier
        out, err = p.communicate(timeout=60)
        os.close(master)
        check(p.returncode == 0, "terminal prompt: " + out + err)
        check("  M — Mañana" in out and "Escriba el identificador" in out, "terminal prompt lists id — nombre: " + out)
        check("El documento no tiene el marco horario '1'; tiene: M, T" in err, "a number is refused: " + err)
        grupos = list(table(os.path.join(tmp, "VTEMP"), "GRUPOST"))
        check([g["MARCO"] for g in grupos] == ["0", "0"], "only the afternoon frame's groups: %r" % (grupos,))

# comprobar lists every mistake of a document at once and writes nothing; codigos names each code.
with tempfile.TemporaryDirectory() as tmp:
    text = open(SAMPLE, encoding="utf-8").read()
    text = text.replace("<numSesiones>3</numSesiones>", "<numSesiones>2,5</numSesiones>", 1)
    text = text.replace("<numSesiones>2</numSesiones>", "<numSesiones>tres</numSesiones>", 1)
    text = text.replace("<dia>0</dia>", "<dia>lunes</dia>", 1)
    doc = os.path.join(tmp, "tres_errores.xml")
    open(doc, "w", encoding="utf-8").write(text)
    before = sorted(os.listdir(tmp))
    p = run("comprobar", doc, "--marcos", "M,T", code=1)
    check("La exportación se detendría: 3 errores" in p.stdout, "comprobar counts three mistakes: " + p.stdout)
    for said in ("numSesiones '2,5' no es un número entero", "numSesiones 'tres' no es un número entero",
                 "dia 'lunes' no es un número entero"):
        check(said in p.stdout, f"comprobar lists {said!r}: " + p.stdout)
    check(sorted(os.listdir(tmp)) == before, "comprobar wrote something: %r" % (os.listdir(tmp),))
    p = run("comprobar", SAMPLE, "--marcos", "M,T")
    check("sin errores" in p.stdout, "the sample school checks clean: " + p.stdout)
    p = run("exportar", doc, "--marcos", "M,T", "--dir", os.path.join(tmp, "VTEMP"), code=1)
    check("quintaro-cli comprobar" in p.stderr, "a failed export suggests comprobar: " + p.stderr)
    p = run("codigos", SAMPLE, "--marcos", "M,T", "--csv")
    check("PROFT;MGL1;María González Luna;" in p.stdout.splitlines(), "codigos names each code: " + p.stdout)
    # A name the table cut shows the document's whole name beside it.
    p = run("codigos", SPLIT)
    check(f"(en el documento: Proyecto interdisciplinar de ciencias, tecnología, ingeniería, artes y matemáticas "
          f"aplicadas)" in p.stdout, "codigos shows the document's name beside a cut one: " + p.stdout)

# A school with split lessons: every lesson gets back exactly its own hours; then the export is
# undone with restaurar and redone.
with tempfile.TemporaryDirectory() as tmp:
    doc = os.path.join(tmp, "desdobles.xml")
    shutil.copy(SPLIT, doc)
    vtemp = os.path.join(tmp, "VTEMP")
    run("exportar", doc, "--dir", vtemp)
    run("velmora", "--dir", vtemp)
    p = run("importar", doc, "--dir", vtemp)
    check("Aviso" not in p.stdout, "the split school's import has warnings: " + p.stdout)
    result = ET.parse(os.path.join(tmp, "ResultadoZentardesdobles.xml")).getroot()
    counts = {}
    for sesion in result.find("horario").iter("sesion"):
        counts[sesion.text] = counts.get(sesion.text, 0) + 1
    check(counts == {"301": 2, "302": 2, "303": 3, "304": 1, "305": 2}, "slots per lesson: %r" % (counts,))

    asigt_before = open(os.path.join(vtemp, "ASIGT.DBF"), "rb").read()
    run("exportar", SAMPLE_COPY(tmp), "--marcos", "M,T", "--dir", vtemp)
    check(open(os.path.join(vtemp, "ASIGT.DBF"), "rb").read() != asigt_before, "the second export changed nothing")
    p = run("restaurar", "--dir", vtemp)
    check(open(os.path.join(vtemp, "ASIGT.DBF"), "rb").read() == asigt_before, "restaurar did not put ASIGT back")

# Disk full, as a file-size limit: each failure is told, and nothing already there is damaged.
with tempfile.TemporaryDirectory() as tmp:
    doc, vtemp, result = sample_round_trip(tmp)
    earlier = open(result, "rb").read()

    def limited(kib, *args):
        # SIGXFSZ ignored, so that a write past the limit fails with EFBIG instead of killing.
        return subprocess.run(["bash", "-c", f"trap '' XFSZ; ulimit -f {kib}; exec \"$@\"", "limit", *RUNNER, CLI, *args],
                              capture_output=True, text=True)

    p = limited(8, "exportar", doc, "--marcos", "M,T", "--dir", vtemp)
    # Wine tells a file-size limit as an invalid argument; Linux as what it is.
    check(p.returncode == 1 and "al convertir los marcos horarios (tabla DIASHORAST)" in p.stderr
          and ("No se pudo escribir la tabla" if WINDOWS else "disco lleno") in p.stderr, "disk full in export: " + p.stderr)
    p = limited(20, "importar", doc, "--dir", vtemp)
    check(p.returncode == 1 and "No se pudo guardar el documento" in p.stderr, "disk full in import: " + p.stderr)
    run("exportar", doc, "--marcos", "M,T", "--dir", vtemp)  # the tables of the failed export, anew
    check(open(result, "rb").read() == earlier, "a failed save damaged the earlier result document")
    check(not [f for f in os.listdir(tmp) if f.startswith("ResultadoZentarescuela.xml.")], "a temporary file was left")

finish()
