#!/usr/bin/python3
"""What a working folder holds is not trusted, tried on the real quintaro-cli.

1. A damaged or planted swap journal (absolute paths, "..", ".", moves that pull a file in from
   outside or push a table out, a FIFO, a link to /dev/zero or to a file elsewhere): every command
   that takes --dir refuses, says so in Spanish, and touches nothing, neither in the working folder
   nor in a victim folder outside it (checked byte for byte).
2. Quintaro's own folders made links to the victim: an export removes the link, never what it
   points to; restaurar refuses to take tables through one.
3. A power cut after every move of a swap, then Velmora worked on the new tables: the next run
   finishes forward and keeps the edited table; when the swap must be undone, an edited table is
   kept aside, never thrown away.
4. Outputs over inputs: --informe, --salida, --html and --pdf naming the document, the result
   document or a table (also through a link) are refused and the file is unchanged.
5. A fet-cl deaf to every request to stop: resolver stopped by SIGTERM, SIGHUP or Ctrl+C twice
   comes back at once and ends it; resolver killed outright takes it along too. A time limit of
   years is said back as a number.
6. The result document: a link in its place is not written through; a second import while one
   holds it is refused; on a read-only working folder (the lock file refused by strace) importar and
   tabla still read it; on a disk that takes no locks, the run says so.
"""
import fcntl
import json
import os
import shutil
import signal
import subprocess
import tempfile
import time

from cli_harness import CLI, check, finish, run, sample_round_trip

SPLIT = os.environ["QUINTARO_SPLIT"]
TABLES = ["ASIGNOMT", "PROFT", "AULAT", "DIASHORAST", "GRUPOST", "ASIGT"]
SET = [t + ".DBF" for t in TABLES] + ["QUINTARO_EXPORTACION.JSON"]


def snapshot(folder):
    """Every file under `folder` with its bytes (links as their target's name)."""
    found = {}
    for base, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(base, name)
            rel = os.path.relpath(path, folder)
            if os.path.islink(path):
                found[rel] = "-> " + os.readlink(path)
            elif os.path.isfile(path):
                found[rel] = open(path, "rb").read()
    return found


def make_victim(root):
    victim = os.path.join(root, "victima")
    os.makedirs(os.path.join(victim, "sub"), exist_ok=True)
    for name, data in (("ASIGT.DBF", b"no es de Quintaro"), ("notas.txt", b"importante"),
                       ("sub/otra.txt", b"tampoco")):
        with open(os.path.join(victim, name), "wb") as f:
            f.write(data)
    return victim


def prepared(root, name, sample):
    """A working folder holding the split school's set with the sample school's as the previous one."""
    work = os.path.join(root, name)
    run("exportar", sample, "--marcos", "M,T", "--dir", work)
    run("exportar", SPLIT, "--dir", work)
    return work


def journal(moves, anterior="QUINTARO_ANTERIORES", apartado="QUINTARO_ANTERIORES.tmp", estado="moviendo"):
    return json.dumps({"estado": estado, "anterior": anterior, "apartado": apartado, "movimientos": moves})


def planted_journals(work, victim):
    outside = os.path.join(victim, "ASIGT.DBF")
    rel_victim = os.path.relpath(victim, work)
    return {
        "anterior absoluto": journal([["ASIGT.DBF", "QUINTARO_ANTERIORES.tmp/ASIGT.DBF", -1]],
                                     anterior=victim, estado="colocado"),
        "apartado absoluto": journal([["ASIGT.DBF", victim + "/ASIGT.DBF", -1]], apartado=victim),
        "anterior ..": journal([["ASIGT.DBF", "QUINTARO_ANTERIORES.tmp/ASIGT.DBF", -1]],
                               anterior=rel_victim, apartado=rel_victim + ".tmp", estado="colocado"),
        "apartado .": journal([["ASIGT.DBF", "./ASIGT.DBF", -1]], apartado=".", estado="colocado"),
        "trae de fuera": journal([[rel_victim + "/notas.txt", "NOTAS.DBF", 10]]),
        "trae de fuera absoluto": journal([[outside, "ASIGT.DBF", 17]]),
        "saca ASIGT": journal([["ASIGT.DBF", rel_victim + "/ASIGT.DBF", -1]]),
        "saca con ..": journal([["ASIGT.DBF", "QUINTARO_ANTERIORES.tmp/../../victima/ASIGT.DBF", -1]]),
        "otro nombre": journal([["notas.txt", "QUINTARO_ANTERIORES.tmp/notas.txt", -1]]),
    }


def journal_cases(root, sample):
    base = prepared(root, "base_diario", sample)
    victim = make_victim(root)
    victim_before = snapshot(victim)
    work = os.path.join(root, "diario")
    cases = list(planted_journals(work, victim).items()) + [("FIFO", None), ("enlace a /dev/zero", "/dev/zero"),
                                                           ("enlace fuera", os.path.join(victim, "notas.txt"))]
    for name, content in cases:
        shutil.rmtree(work, ignore_errors=True)
        shutil.copytree(base, work, symlinks=True)
        path = os.path.join(work, "QUINTARO_CAMBIO.JSON")
        if name == "FIFO":
            os.mkfifo(path)
        elif name.startswith("enlace"):
            os.symlink(content, path)
        else:
            with open(path, "w") as f:
                f.write(content)
        before = snapshot(work)
        for args in (["tabla", "ASIGT"], ["exportar", sample, "--marcos", "M,T"], ["restaurar"]):
            try:
                p = subprocess.run([CLI, *args, "--dir", work], capture_output=True, text=True, timeout=60)
            except subprocess.TimeoutExpired:
                check(False, f"diario «{name}», {args[0]}: no termina")
                continue
            check(p.returncode == 1, f"diario «{name}», {args[0]}: salida {p.returncode}, {p.stdout}{p.stderr}")
            check("diario" in p.stderr and "no se ha tocado nada" in p.stderr,
                  f"diario «{name}», {args[0]}: el mensaje no dice qué pasa: {p.stderr.strip()}")
            check(snapshot(victim) == victim_before, f"diario «{name}», {args[0]}: la carpeta de fuera cambió")
            check(snapshot(work) == before, f"diario «{name}», {args[0]}: la carpeta de trabajo cambió")
    print(f"diarios dañados o puestos a propósito: {len(cases)} casos")


def linked_folders(root, sample):
    base = prepared(root, "base_enlaces", sample)
    for folder in ("QUINTARO_ANTERIORES", "QUINTARO_ANTERIORES.tmp", "QUINTARO_NUEVAS"):
        victim = make_victim(os.path.join(root, "fuera_" + folder))
        before = snapshot(victim)
        work = os.path.join(root, "enlace_" + folder)
        shutil.copytree(base, work, symlinks=True)
        shutil.rmtree(os.path.join(work, folder), ignore_errors=True)
        os.symlink(victim, os.path.join(work, folder))
        if folder == "QUINTARO_ANTERIORES":
            p = subprocess.run([CLI, "restaurar", "--dir", work], capture_output=True, text=True)
            check(p.returncode == 1 and "enlace" in p.stderr, f"restaurar por un enlace: {p.returncode} {p.stderr}")
            check(snapshot(victim) == before, "restaurar por un enlace: la carpeta de fuera cambió")
        for _ in range(2):
            run("exportar", sample, "--marcos", "M,T", "--dir", work)
            check(snapshot(victim) == before, f"{folder} enlazada: la carpeta a la que apunta cambió")
        check(not os.path.islink(os.path.join(work, "QUINTARO_ANTERIORES")),
              f"{folder} enlazada: QUINTARO_ANTERIORES sigue siendo un enlace")
        check(sorted(os.listdir(os.path.join(work, "QUINTARO_ANTERIORES"))) == sorted(SET),
              f"{folder} enlazada: QUINTARO_ANTERIORES no guarda el juego anterior")
    print("carpetas de Quintaro enlazadas a otra: 3 casos")


def interrupted_swap(root, sample, name, move_all):
    """The state a power cut leaves after the moves (all, or all but ASIGNOMT's) and before the
    journal's "colocado": the sample's set coming in, the split school's going out."""
    old = prepared(root, "viejo_" + name, SPLIT)
    new = prepared(root, "nuevo_" + name, sample)
    work = os.path.join(root, name)
    os.makedirs(os.path.join(work, "QUINTARO_ANTERIORES.tmp"))
    os.makedirs(os.path.join(work, "QUINTARO_NUEVAS"))
    moves = []
    for f in SET:
        moves.append([f, "QUINTARO_ANTERIORES.tmp/" + f, -1])
        shutil.copy(os.path.join(old, f), os.path.join(work, "QUINTARO_ANTERIORES.tmp", f))
    for f in SET:
        size = os.path.getsize(os.path.join(new, f))
        moves.append(["QUINTARO_NUEVAS/" + f, f, size])
        moved = move_all or f != "ASIGNOMT.DBF"
        shutil.copy(os.path.join(new, f), os.path.join(work, f) if moved else os.path.join(work, "QUINTARO_NUEVAS", f))
    with open(os.path.join(work, "QUINTARO_CAMBIO.JSON"), "w") as j:
        j.write(journal(moves))
    return work, old, new


def recovery_keeps_work(root, sample):
    # Every move made, then Velmora added to ASIGT: finished forward, the edit kept.
    work, old, new = interrupted_swap(root, sample, "corte_todo", True)
    with open(os.path.join(work, "ASIGT.DBF"), "ab") as f:
        f.write(b" " * 40)
    edited = open(os.path.join(work, "ASIGT.DBF"), "rb").read()
    p = run("tabla", "ASIGT", "--dir", work)
    check("se ha terminado" in p.stderr, "corte tras mover todo: no dice que terminó el cambio: " + p.stderr)
    check(open(os.path.join(work, "ASIGT.DBF"), "rb").read() == edited, "corte tras mover todo: se perdió ASIGT editada")
    check(snapshot(os.path.join(work, "QUINTARO_ANTERIORES")) == {f: open(os.path.join(old, f), "rb").read() for f in SET},
          "corte tras mover todo: las tablas sustituidas no están en QUINTARO_ANTERIORES")

    # One file still to move and damaged, so the swap is undone; the edited ASIGT is kept aside.
    work, old, new = interrupted_swap(root, sample, "corte_parte", False)
    with open(os.path.join(work, "QUINTARO_NUEVAS", "ASIGNOMT.DBF"), "r+b") as f:
        f.truncate(10)
    with open(os.path.join(work, "ASIGT.DBF"), "ab") as f:
        f.write(b" " * 40)
    edited = open(os.path.join(work, "ASIGT.DBF"), "rb").read()
    p = run("tabla", "ASIGT", "--dir", work)
    check("se ha deshecho" in p.stderr and "QUINTARO_RESCATE_" in p.stderr,
          "corte a medias: no dice que deshizo ni dónde guardó lo editado: " + p.stderr)
    for f in SET:
        check(open(os.path.join(work, f), "rb").read() == open(os.path.join(old, f), "rb").read(),
              f"corte a medias: {f} no volvió a ser la de antes")
    rescued = [d for d in os.listdir(work) if d.startswith("QUINTARO_RESCATE_")]
    check(len(rescued) == 1 and open(os.path.join(work, rescued[0], "ASIGT.DBF"), "rb").read() == edited,
          "corte a medias: la ASIGT editada no está guardada aparte")
    run("exportar", sample, "--marcos", "M,T", "--dir", work)
    check(rescued and os.path.isfile(os.path.join(work, rescued[0], "ASIGT.DBF")),
          "corte a medias: la exportación siguiente borró lo guardado aparte")


def outputs_over_inputs(root):
    folder = os.path.join(root, "salidas")
    os.makedirs(folder)
    doc, work, result = sample_round_trip(folder)
    link = os.path.join(folder, "enlace.xml")
    os.symlink(doc, link)
    asigt = os.path.join(work, "ASIGT.DBF")
    cases = [
        ["fet", doc, "--marcos", "M,T", "--salida", doc],
        ["fet", doc, "--marcos", "M,T", "--salida", link],
        ["exportar", doc, "--marcos", "M,T", "--dir", work, "--informe", doc],
        ["exportar", doc, "--marcos", "M,T", "--dir", work, "--informe", asigt],
        ["comprobar", doc, "--marcos", "M,T", "--informe", os.path.join(folder, ".", "escuela.xml")],
        ["importar", doc, "--dir", work, "--informe", result],
        ["resolver", doc, "--marcos", "M,T", "--informe", doc],
        ["horario", result, "--pdf", doc],
        ["horario", result, "--html", result],
        ["horario", result, "--html", os.path.join(folder, "h.html"), "--pdf", os.path.join(folder, "h.html")],
    ]
    files = [doc, result, asigt]
    before = {f: open(f, "rb").read() for f in files}
    for args in cases:
        p = subprocess.run([CLI, *args], capture_output=True, text=True)
        check(p.returncode == 2 and "no escribe encima" in p.stderr, f"{args}: salida {p.returncode} {p.stderr}")
        check(all(open(f, "rb").read() == before[f] for f in files), f"{args}: un archivo de entrada cambió")
    check(not os.path.exists(os.path.join(folder, "h.html")), "la misma salida dos veces llegó a escribirse")
    print(f"salidas sobre entradas: {len(cases)} casos")


def running(program):
    return subprocess.run(["pgrep", "-f", program], capture_output=True).returncode == 0


def gone_soon(program):
    for _ in range(100):
        if not running(program):
            return True
        time.sleep(0.05)
    return False


def deaf_fet(root, sample):
    # A copy of the stand-in under a name of its own, so that no other test's copy is counted.
    fake = os.path.join(root, "fet-cl-sordo")
    shutil.copy(os.environ["QUINTARO_FAKE_FET_CL"], fake)
    env = dict(os.environ, QUINTARO_FAKE_FET="sordo")
    for name, signals, code in (("SIGTERM dos veces", [signal.SIGTERM, signal.SIGTERM], 130),
                                ("SIGHUP dos veces", [signal.SIGHUP, signal.SIGHUP], 130),
                                ("Ctrl+C dos veces", [signal.SIGINT, signal.SIGINT], 130),
                                ("SIGKILL", [signal.SIGKILL], -9)):
        c = subprocess.Popen([CLI, "resolver", sample, "--marcos", "M,T", "--fet-cl", fake], env=env,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        c.stdout.readline()  # said once the stand-in has been at work for half a second
        for s in signals:
            c.send_signal(s)
            time.sleep(0.2)
        out, err = c.communicate(timeout=60)
        check(c.returncode == code, f"fet-cl sordo, {name}: salida {c.returncode} {err}")
        if code == 130:
            check("Interrumpido" in err and "no dejó ningún horario" in err and "Su mejor horario" not in err,
                  f"fet-cl sordo, {name}: el mensaje promete lo que no hay: {err}")
        check(gone_soon(fake), f"fet-cl sordo, {name}: sigue en marcha")
    print("fet-cl que no se detiene: 4 casos")
    # FET finding the rules impossible: each rule eased in turn (the students' gaps never, unless
    # asked), each step said, and still no result.
    p = subprocess.run([CLI, "resolver", sample, "--marcos", "M,T", "--fet-cl", fake],
                       env=dict(os.environ, QUINTARO_FAKE_FET="imposible"), capture_output=True, text=True)
    check(p.returncode == 1 and "Se probó también relajando reglas: profesores con hasta 6 huecos a la semana; "
          "profesores sin límite de huecos; grupos que pueden empezar después de su primer tramo; horas de una "
          "sesión que pueden caer el mismo día." in p.stderr, f"easing: {p.returncode} {p.stderr}")
    p = subprocess.run([CLI, "resolver", sample, "--marcos", "M,T", "--fet-cl", fake, "--relajar", "no"],
                       env=dict(os.environ, QUINTARO_FAKE_FET="imposible"), capture_output=True, text=True)
    check(p.returncode == 1 and "relajando" not in p.stderr, f"--relajar no: {p.returncode} {p.stderr}")
    p = subprocess.run([CLI, "resolver", sample, "--marcos", "M,T", "--fet-cl", fake, "--segundos", "600000000"],
                       env=dict(os.environ, QUINTARO_FAKE_FET="mejor"), capture_output=True, text=True)
    check(p.returncode == 1 and "--segundos 2400000000" in p.stderr and "Su mejor horario está en" in p.stderr,
          f"--segundos 600000000: {p.returncode} {p.stderr}")


def result_document(root):
    folder = os.path.join(root, "resultado")
    os.makedirs(folder)
    doc, work, result = sample_round_trip(folder)
    os.remove(result)

    outside = os.path.join(root, "fuera.xml")
    with open(outside, "w") as f:
        f.write("no se toca")
    os.symlink(outside, result)
    p = run("importar", doc, "--dir", work, code=1)
    check("enlace" in p.stderr, "resultado enlazado: el mensaje no lo dice: " + p.stderr)
    check(open(outside).read() == "no se toca", "resultado enlazado: se escribió a través del enlace")
    os.remove(result)

    # Another import holds the result document (its lock taken here, as that run would).
    with open(os.path.join(folder, "~ResultadoZentarescuela.xml.lck"), "w") as held:
        fcntl.flock(held, fcntl.LOCK_EX)
        p = run("importar", doc, "--dir", work, code=1)
        check("Otra ejecución de Quintaro está escribiendo" in p.stderr, "dos importaciones: " + p.stderr)
        check(not os.path.exists(result), "dos importaciones: la segunda escribió el resultado")
    run("importar", doc, "--dir", work)
    check(not os.path.exists(os.path.join(folder, "~ResultadoZentarescuela.xml.lck")), "quedó el archivo de bloqueo")

    # A read-only working folder: the lock file cannot be opened for writing, or made.
    lock = os.path.join(work, "QUINTARO.LCK")
    for made in (True, False):
        if not made and os.path.exists(lock):
            os.remove(lock)
        for args in (["tabla", "ASIGT"], ["importar", doc]):
            p = subprocess.run(["strace", "-f", "-qq", "-o", "/dev/null", "-P", lock, "-e", "trace=openat",
                                "-e", "inject=openat:error=EROFS:when=1", CLI, *args, "--dir", work],
                               capture_output=True, text=True)
            check(p.returncode == 0, f"carpeta de solo lectura ({'con' if made else 'sin'} QUINTARO.LCK), "
                                     f"{args[0]}: {p.returncode} {p.stderr}")

    # A disk that takes no locks (a network share): said as it is, not as another run holding it.
    p = subprocess.run(["strace", "-f", "-qq", "-o", "/dev/null", "-e", "trace=flock", "-e", "inject=flock:error=ENOLCK",
                        CLI, "tabla", "ASIGT", "--dir", work], capture_output=True, text=True)
    check(p.returncode == 1 and "no admite bloqueos" in p.stderr and "Otra ejecución" not in p.stderr,
          f"sin bloqueos: {p.returncode} {p.stderr}")


def main():
    sample = os.environ["QUINTARO_SAMPLE"]
    with tempfile.TemporaryDirectory() as root:
        journal_cases(root, sample)
        linked_folders(root, sample)
        recovery_keeps_work(root, sample)
        outputs_over_inputs(root)
        deaf_fet(root, sample)
        result_document(root)
    finish()


main()
