#!/usr/bin/python3
"""Every table and result document, byte for byte, against the outputs recorded in
tests/data/golden_outputs.txt.

The recorded MD5s were taken from the tree-building export and import; the streaming export and
the spliced import must give the same bytes. Cases: the sample school as it is, in ISO-8859-1, in
UTF-16 and without an XML declaration; the split-lessons school; the benchmark's synthetic schools
at scales 1 and 10; the sample's FET file, and its result from a solution fet-cl 6.8.5 gave
(tests/data/escuela_activities.xml, random seeds 1 to 6), and that result's timetable page. The date a table was written (header bytes 1-3) is left out of its hash.

The MD5s decide. Beside them, tests/data/golden_detail.json keeps short digests of each field of
each table in at most 64 runs of rows (one row a run in small tables), and of the result
documents' lines likewise, so that a failure says which table, field and rows, or which lines,
differ.

  golden_outputs.py          compare
  golden_outputs.py --write  record the current outputs (only when a change is meant to alter them)
"""
import hashlib
import json
import os
import subprocess
import sys
import tempfile

from cli_harness import CLI, RUNNER

GENERATOR = os.environ["QUINTARO_GENERATOR"]
SOURCE = os.environ["QUINTARO_SOURCE_DIR"]
GOLDEN = os.path.join(SOURCE, "tests", "data", "golden_outputs.txt")
DETAIL = os.path.join(SOURCE, "tests", "data", "golden_detail.json")
RUNS = 64  # runs of rows (or lines) kept per field (or document)
TABLES = ["ASIGNOMT", "PROFT", "AULAT", "DIASHORAST", "GRUPOST", "ASIGT", "SOLUC"]


def run(*args):
    p = subprocess.run([*RUNNER, *args], capture_output=True)
    if p.returncode != 0:
        sys.exit(f"{args}: salida {p.returncode}\n{p.stdout.decode(errors='replace')}\n"
                 f"{p.stderr.decode(errors='replace')}")


def reencoded(text, encoding, declaration):
    """The sample in another encoding, its declaration saying so (or gone)."""
    head, rest = text.split("?>", 1)
    assert head.startswith("<?xml")
    if declaration is None:
        return rest.lstrip("\r\n").encode(encoding)
    return (f'<?xml version="1.0" encoding="{declaration}"?>' + rest).encode(encoding)


def documents(work):
    sample = open(os.path.join(SOURCE, "data", "escuela.xml"), encoding="utf-8").read()
    variants = {
        "escuela": sample.encode("utf-8"),
        "escuela_latin1": reencoded(sample, "iso-8859-1", "ISO-8859-1"),
        "escuela_utf16": reencoded(sample, "utf-16", "UTF-16"),
        "escuela_sin_declaracion": reencoded(sample, "utf-8", None),
    }
    for name, content in variants.items():
        path = os.path.join(work, name + ".xml")
        open(path, "wb").write(content)
        yield name, path, "M,T"
    path = os.path.join(work, "desdobles.xml")
    open(path, "wb").write(open(os.path.join(SOURCE, "tests", "data", "instituto_desdobles.xml"), "rb").read())
    yield "desdobles", path, "M"
    for scale in ("1", "10"):
        path = os.path.join(work, f"escala{scale}.xml")
        run(GENERATOR, scale, "42", path)
        yield f"escala{scale}", path, "M,T"


def table_hash(path):
    data = bytearray(open(path, "rb").read())
    data[1:4] = b"\0\0\0"
    return hashlib.md5(data).hexdigest()


def table_fields(data):
    """(name, offset, length) of each field, and the header and record lengths, of table bytes."""
    level7 = data[0] & 0x07 == 4
    start, size, name_bytes, type_at = (68, 48, 32, 32) if level7 else (32, 32, 11, 11)
    header_length = int.from_bytes(data[8:10], "little")
    record_length = int.from_bytes(data[10:12], "little")
    fields, pos, offset = [], start, 1
    while pos < header_length and data[pos] != 0x0D:
        name = data[pos:pos + name_bytes].split(b"\0")[0].decode("latin-1").strip()
        length = data[pos + type_at + 1]
        fields.append((name, offset, length))
        offset += length
        pos += size
    return fields, header_length, record_length


def runs(pieces):
    """Short digests of `pieces` in at most RUNS runs: (run length, digests)."""
    length = max(1, -(-len(pieces) // RUNS))
    digests = [hashlib.md5(b"\n".join(pieces[i:i + length])).hexdigest()[:6]
               for i in range(0, len(pieces), length)]
    return length, digests


def table_detail(path):
    data = bytearray(open(path, "rb").read())
    data[1:4] = b"\0\0\0"
    fields, header_length, record_length = table_fields(data)
    count = int.from_bytes(data[4:8], "little")
    records = [bytes(data[header_length + i * record_length:header_length + (i + 1) * record_length])
               for i in range(count)]
    detail = {"cabecera": hashlib.md5(data[:header_length]).hexdigest()[:6], "filas": count, "campos": {}}
    for name, offset, length in fields:
        detail["run"], detail["campos"][name] = runs([r[offset:offset + length] for r in records])
    return detail


def document_detail(path):
    lines = open(path, "rb").read().split(b"\n")
    run_length, digests = runs(lines)
    return {"lineas": len(lines), "run": run_length, "bloques": digests}


def outputs():
    """(key, MD5, detail) of every output of every case."""
    with tempfile.TemporaryDirectory() as work:
        for name, doc, frames in documents(work):
            vtemp = os.path.join(work, "vtemp_" + name)
            run(CLI, "exportar", doc, "--marcos", frames, "--dir", vtemp)
            run(CLI, "velmora", "--dir", vtemp)
            run(CLI, "importar", doc, "--dir", vtemp)
            for t in TABLES:
                path = os.path.join(vtemp, t + ".DBF")
                yield f"{name} {t}.DBF", table_hash(path), table_detail(path)
            result = os.path.join(os.path.dirname(doc), "ResultadoZentar" + os.path.basename(doc))
            yield f"{name} resultado", hashlib.md5(open(result, "rb").read()).hexdigest(), document_detail(result)
        # The sample through FET: its FET file, and the result of a recorded fet-cl solution.
        fet_work = os.path.join(work, "fet")
        os.makedirs(fet_work)
        doc = os.path.join(fet_work, "escuela.xml")
        open(doc, "wb").write(open(os.path.join(SOURCE, "data", "escuela.xml"), "rb").read())
        fet_file = os.path.join(fet_work, "escuela.fet")
        run(CLI, "fet", doc, "--marcos", "M,T", "--salida", fet_file)
        yield "escuela fet", hashlib.md5(open(fet_file, "rb").read()).hexdigest(), document_detail(fet_file)
        run(CLI, "importar", doc, "--fet", os.path.join(SOURCE, "tests", "data", "escuela_activities.xml"),
            "--marcos", "M,T")
        result = os.path.join(fet_work, "ResultadoZentarescuela.xml")
        yield "escuela resultado fet", hashlib.md5(open(result, "rb").read()).hexdigest(), document_detail(result)
        # The timetable page of that result.
        page = os.path.join(fet_work, "horario.html")
        run(CLI, "horario", result, "--html", page)
        yield "escuela horario html", hashlib.md5(open(page, "rb").read()).hexdigest(), document_detail(page)


def explain(key, found, recorded):
    """Where an output differs from the recorded one, as far as the detail tells."""
    if recorded is None:
        return ["  (sin detalle registrado)"]
    if "lineas" in found:
        lines = []
        if found["lineas"] != recorded["lineas"]:
            lines.append(f"  líneas: {recorded['lineas']} registradas, {found['lineas']} ahora")
        for i, (a, b) in enumerate(zip(recorded["bloques"], found["bloques"])):
            if a != b:
                first = i * recorded["run"] + 1
                lines.append(f"  la primera diferencia está en las líneas {first} a {first + recorded['run'] - 1}")
                break
        return lines
    lines = []
    if found["cabecera"] != recorded["cabecera"]:
        lines.append("  la cabecera (campos, longitudes o número de filas) difiere")
    if found["filas"] != recorded["filas"]:
        lines.append(f"  filas: {recorded['filas']} registradas, {found['filas']} ahora")
    for field, digests in recorded["campos"].items():
        now = found["campos"].get(field)
        if now is None:
            lines.append(f"  el campo {field} ya no está")
            continue
        for i, (a, b) in enumerate(zip(digests, now)):
            if a != b:
                first = i * recorded["run"] + 1
                rows = f"la fila {first}" if recorded["run"] == 1 else \
                    f"las filas {first} a {first + recorded['run'] - 1}"
                lines.append(f"  campo {field}: difiere en {rows}")
                break
    return lines or ["  difieren bytes fuera de los campos (marcas de borrado o final del archivo)"]


def main():
    results = list(outputs())
    found = {key: md5 for key, md5, _ in results}
    found_detail = {key: detail for key, _, detail in results}
    if sys.argv[1:] == ["--write"]:
        with open(GOLDEN, "w") as f:
            f.writelines(f"{key} {value}\n" for key, value in found.items())
        with open(DETAIL, "w") as f:  # one output a line, so that a change shows as a line
            f.write("{\n" + ",\n".join(json.dumps(key) + ": " + json.dumps(value, separators=(",", ":"))
                                        for key, value in sorted(found_detail.items())) + "\n}\n")
        print(f"{len(found)} salidas escritas en {GOLDEN} y {DETAIL}")
        return
    expected = dict(line.rsplit(" ", 1) for line in open(GOLDEN).read().splitlines() if line)
    recorded_detail = json.load(open(DETAIL)) if os.path.exists(DETAIL) else {}
    wrong = [key for key in expected if found.get(key) != expected[key]]
    for key in wrong:
        print(f"FALLO: {key} difiere de la salida registrada")
        if key in found_detail:
            print("\n".join(explain(key, found_detail[key], recorded_detail.get(key))))
    missing = sorted(set(found) - set(expected))
    if missing:
        print("FALLO: salidas sin registrar:", ", ".join(missing))
    if wrong or missing:
        sys.exit(1)
    print(f"{len(expected)} salidas idénticas a las registradas")


main()
