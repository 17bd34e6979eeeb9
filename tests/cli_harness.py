"""What the end-to-end scripts share: the program under test (and, for the Windows build, Wine
before it), a check that keeps going and counts, and a run that checks the exit code.
"""
import os
import shutil
import subprocess
import sys

CLI = os.environ["QUINTARO_CLI"]
# The Windows build runs under Wine: the runner comes before the program.
RUNNER = [part for part in os.environ.get("QUINTARO_RUNNER", "").split(";") if part]
WINDOWS = CLI.lower().endswith(".exe")
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FALLO:", what)


def run(*args, code=0, env=None):
    """quintaro-cli with these arguments; its exit code must be `code` (any, when None)."""
    p = subprocess.run([*RUNNER, CLI, *args], capture_output=True, text=True, encoding="utf-8", env=env)
    if code is not None:
        check(p.returncode == code, f"{args}: salida {p.returncode} (esperada {code})\n{p.stdout}\n{p.stderr}")
    return p


def sample_round_trip(folder):
    """The sample school copied into `folder`, exported, solved by the stand-in and imported: the
    copied document, its working folder and its result document."""
    doc = os.path.join(folder, "escuela.xml")
    shutil.copy(os.environ["QUINTARO_SAMPLE"], doc)
    vtemp = os.path.join(folder, "VTEMP")
    run("exportar", doc, "--marcos", "M,T", "--dir", vtemp)
    run("velmora", "--dir", vtemp)
    run("importar", doc, "--dir", vtemp)
    return doc, vtemp, os.path.join(folder, "ResultadoZentarescuela.xml")


def finish():
    print(f"{0 if failures else 1} passed, {len(failures)} failed")
    sys.exit(1 if failures else 0)
