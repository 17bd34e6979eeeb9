#!/usr/bin/python3
"""Every table and result document, byte for byte, against the outputs recorded in
tests/data/golden_outputs.txt.

The recorded MD5s were taken from the tree-building export and import; the streaming export and
the spliced import must give the same bytes. Cases: the sample school as it is, in ISO-8859-1, in
UTF-16 and without an XML declaration; the split-lessons school; the benchmark's synthetic schools
at scales 1 and 10. The date a table was written (header bytes 1-3) is left out of its hash.

  golden_outputs.py          compare
  golden_outputs.py --write  record the current outputs (only when a change is meant to alter them)
"""
import hashlib
import os
import subprocess
import sys
import tempfile

CLI = os.environ["QUINTARO_CLI"]
GENERATOR = os.environ["QUINTARO_GENERATOR"]
SOURCE = os.environ["QUINTARO_SOURCE_DIR"]
RUNNER = [part for part in os.environ.get("QUINTARO_RUNNER", "").split(";") if part]
GOLDEN = os.path.join(SOURCE, "tests", "data", "golden_outputs.txt")
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


def outputs():
    with tempfile.TemporaryDirectory() as work:
        for name, doc, frames in documents(work):
            vtemp = os.path.join(work, "vtemp_" + name)
            run(CLI, "exportar", doc, "--marcos", frames, "--dir", vtemp)
            run(CLI, "velmora", "--dir", vtemp)
            run(CLI, "importar", doc, "--dir", vtemp)
            for t in TABLES:
                yield f"{name} {t}.DBF", table_hash(os.path.join(vtemp, t + ".DBF"))
            result = os.path.join(os.path.dirname(doc), "ResultadoZentar" + os.path.basename(doc))
            yield f"{name} resultado", hashlib.md5(open(result, "rb").read()).hexdigest()


def main():
    found = dict(outputs())
    if sys.argv[1:] == ["--write"]:
        with open(GOLDEN, "w") as f:
            f.writelines(f"{key} {value}\n" for key, value in found.items())
        print(f"{len(found)} salidas escritas en {GOLDEN}")
        return
    expected = dict(line.rsplit(" ", 1) for line in open(GOLDEN).read().splitlines() if line)
    wrong = [key for key in expected if found.get(key) != expected[key]]
    for key in wrong:
        print(f"FALLO: {key} difiere de la salida registrada")
    missing = sorted(set(found) - set(expected))
    if missing:
        print("FALLO: salidas sin registrar:", ", ".join(missing))
    if wrong or missing:
        sys.exit(1)
    print(f"{len(expected)} salidas idénticas a las registradas")


main()
