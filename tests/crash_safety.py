#!/usr/bin/python3
"""Nothing lost when a run is killed, a call fails or two runs meet, tried on the real quintaro-cli.

1. The order of a clean export over an existing set, read from strace: every staged file's data
   is on the disk before the first rename, and the folders are synced after the last.
2. Crashes: an export over an existing set, and a restaurar, each killed at every rename, unlink,
   rmdir, linkat and write it makes, and each given an I/O error at every openat and directory
   listing (strace's fault injection). After each, one harmless command (the next run, which
   finishes an interrupted swap) and the check: the working directory holds one whole set, old or
   new; the other is kept where restaurar finds it; the crashed run exited 0 only if the new set
   is in place; no journal is left; the chosen document is unchanged.
3. Two exports at once into one working directory, 20 times: never both refused, a refusal says
   so in Spanish, and the set is whole afterwards.
"""
import concurrent.futures
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile

from cli_harness import CLI, check, failures, run

SAMPLE = os.environ["QUINTARO_SAMPLE"]
SPLIT = os.environ["QUINTARO_SPLIT"]
TABLES = ["ASIGNOMT", "PROFT", "AULAT", "DIASHORAST", "GRUPOST", "ASIGT"]
def table_set(folder):
    """Each table's bytes as a digest (the date a table was written left out); None when one is missing."""
    found = {}
    names = {n.upper(): n for n in os.listdir(folder)} if os.path.isdir(folder) else {}
    for t in TABLES:
        name = names.get(t + ".DBF")
        if name is None:
            return None
        data = bytearray(open(os.path.join(folder, name), "rb").read())
        data[1:4] = b"\0\0\0"
        found[t] = hashlib.md5(data).hexdigest()
    return found


def state(work):
    return table_set(work), table_set(os.path.join(work, "QUINTARO_ANTERIORES"))


def prepare(root):
    """A working directory holding the split school's set, with the sample school's as the previous
    one; the sample school's document; the sets "sample" and "split"."""
    sample = os.path.join(root, "escuela.xml")
    split = os.path.join(root, "desdobles.xml")
    shutil.copy(SAMPLE, sample)
    shutil.copy(SPLIT, split)
    work = os.path.join(root, "base")
    for args in (["exportar", sample, "--marcos", "M,T"], ["exportar", split]):
        p = run(*args, "--dir", work, code=None)
        if p.returncode != 0:
            sys.exit(f"preparación: {args}: {p.stderr}")
    current, previous = state(work)
    return work, sample, current, previous


def count_calls(base, args, syscall):
    """How many times a clean run makes this call, on a copy of the working directory."""
    with tempfile.TemporaryDirectory() as tmp:
        work = os.path.join(tmp, "work")
        shutil.copytree(base, work)
        log = os.path.join(tmp, "trace")
        subprocess.run(["strace", "-f", "-qq", "-o", log, "-e", f"trace={syscall}", CLI, *args, "--dir", work],
                       capture_output=True)
        return sum(1 for line in open(log) if re.search(rf"\b{syscall}\(", line))


def order_of_a_clean_export(root, base, sample):
    work = os.path.join(root, "orden")
    shutil.copytree(base, work)
    log = os.path.join(root, "orden.trace")
    p = subprocess.run(["strace", "-f", "-qq", "-y", "-o", log, "-e", "trace=fsync,fdatasync,rename,renameat2",
                        CLI, "exportar", sample, "--marcos", "M,T", "--dir", work], capture_output=True, text=True)
    check(p.returncode == 0, "orden: la exportación falló: " + p.stderr)
    lines = open(log).read().splitlines()
    moves = [i for i, line in enumerate(lines) if "QUINTARO_NUEVAS/" in line and re.search(r"\brename", line)]
    check(len(moves) == 7, f"orden: {len(moves)} tablas movidas desde QUINTARO_NUEVAS, no 7")
    if not moves:
        return
    first, last = moves[0], moves[-1]
    for t in TABLES:
        synced = [i for i, line in enumerate(lines)
                  if re.search(r"\bf(data)?sync\(", line) and f"QUINTARO_NUEVAS/{t}.DBF>" in line]
        check(synced and synced[-1] < first, f"orden: {t} no está en el disco antes del primer cambio de nombre")
    after = "\n".join(lines[last + 1:])
    for folder in (work + ">", "QUINTARO_ANTERIORES.tmp>", "QUINTARO_NUEVAS>"):
        check(re.search(r"\bfsync\(\d+<[^>]*" + re.escape(folder), after),
              f"orden: la carpeta {folder[:-1]} no se sincroniza tras el último cambio de nombre")


def run_args(name, sample):
    return ["exportar", sample, "--marcos", "M,T"] if name == "exportar" else ["restaurar"]


def crash_cases(base, sample):
    cases = []
    for name in ("exportar", "restaurar"):
        args = run_args(name, sample)
        for syscall in ("rename", "renameat2", "unlink", "rmdir", "linkat", "write"):
            cases += [(name, syscall, "signal=KILL", n) for n in range(1, count_calls(base, args, syscall) + 1)]
        for syscall in ("openat", "getdents64"):
            cases += [(name, syscall, "error=EIO", n) for n in range(1, count_calls(base, args, syscall) + 1)]
    return cases


def run_crash(case, root, base, sample, old, new, document):
    name, syscall, fault, n = case
    work = os.path.join(root, f"caso_{name}_{syscall}_{fault.split('=')[0]}_{n}")
    shutil.copytree(base, work)
    args = run_args(name, sample)
    crashed = subprocess.run(["strace", "-f", "-qq", "-o", "/dev/null", "-e", f"trace={syscall}",
                              "-e", f"inject={syscall}:{fault}:when={n}", CLI, *args, "--dir", work],
                             capture_output=True, text=True)
    following = run("tabla", "ASIGT", "--dir", work, code=None)
    where = f"{name}, {fault} en la llamada {n} a {syscall}"
    problems = []
    current, previous = state(work)
    if following.returncode != 0:
        problems.append("la ejecución siguiente falló: " + following.stderr.strip())
    if current not in (old, new):
        problems.append("la carpeta de trabajo no tiene un juego entero")
    elif previous != (new if current == old else old):
        problems.append("el otro juego no está guardado en QUINTARO_ANTERIORES")
    if crashed.returncode == 0 and current != new:
        problems.append("terminó con 0 sin las tablas nuevas: " + crashed.stdout.strip())
    if os.path.exists(os.path.join(work, "QUINTARO_CAMBIO.JSON")):
        problems.append("quedó el diario del cambio")
    if open(sample, "rb").read() != document:
        problems.append("el documento elegido cambió")
    shutil.rmtree(work, ignore_errors=True)
    return where, problems


def two_runs_at_once(root, base, sample):
    work = os.path.join(root, "a_la_vez")
    shutil.copytree(base, work)
    expected = None
    refused = 0
    for pair in range(20):
        command = [CLI, "exportar", sample, "--marcos", "M,T", "--dir", work]
        both = [subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
                for _ in range(2)]
        results = [(p.wait(), p.stderr.read()) for p in both]
        for p in both:
            p.stdout.close()
            p.stderr.close()
        codes = sorted(code for code, _ in results)
        check(codes[0] == 0, f"a la vez, par {pair}: ninguna terminó: {results}")
        for code, err in results:
            if code != 0:
                refused += 1
                check("Otra ejecución de Quintaro está usando" in err, f"a la vez, par {pair}: {err}")
        current, previous = state(work)
        expected = expected or current
        check(current is not None and current == expected and previous is not None,
              f"a la vez, par {pair}: el juego no está entero")
    print(f"a la vez: 20 pares, {refused} ejecuciones rechazadas por la otra")


def main():
    if shutil.which("strace") is None:
        sys.exit("falta strace (apt-get install strace)")
    with tempfile.TemporaryDirectory() as root:
        base, sample, old, previous = prepare(root)
        document = open(sample, "rb").read()
        new = previous  # the export puts the sample school's set back, and restaurar does the same
        order_of_a_clean_export(root, base, sample)
        cases = crash_cases(base, sample)
        with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
            results = list(pool.map(lambda c: run_crash(c, root, base, sample, old, new, document), cases))
        for where, problems in results:
            for problem in problems:
                check(False, f"{where}: {problem}")
        print(f"fallos provocados: {len(cases)} casos")
        two_runs_at_once(root, base, sample)
    if failures:
        sys.exit(f"{len(failures)} fallos")
    print("sin pérdidas: 0 fallos")


main()
