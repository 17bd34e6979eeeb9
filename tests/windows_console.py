#!/usr/bin/python3
"""quintaro-cli.exe under Wine writes Spanish that a Windows console shows right, whatever the
console's code page, and UTF-8 into a pipe.

The console is Wine's, shown on a pseudo-terminal: what reaches the terminal is what the console
shows. A program that wrote UTF-8 bytes to a console at code page 850 shows "Mar├¡a" there.
"""
import os
import pty
import subprocess

from cli_harness import CLI, RUNNER, check, finish

SAMPLE = os.environ["QUINTARO_SAMPLE"]
NAME = "María González Luna"  # a teacher of the sample school, as codigos lists it


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def on_console(codepage):
    """What the console shows of `codigos` run from cmd after chcp."""
    master, slave = pty.openpty()
    command = f"chcp {codepage} >nul & {windows_path(CLI)} codigos {windows_path(SAMPLE)} --marcos M,T"
    p = subprocess.Popen([*RUNNER, "cmd", "/c", command], stdin=slave, stdout=slave, stderr=slave,
                         env=dict(os.environ, LANG="C.UTF-8"))
    os.close(slave)
    shown = b""
    while True:
        try:
            chunk = os.read(master, 65536)
        except OSError:  # the terminal closed with the program
            break
        if not chunk:
            break
        shown += chunk
    p.wait(timeout=120)
    os.close(master)
    return p.returncode, shown.decode("utf-8", errors="replace")


for codepage in (850, 437):
    code, shown = on_console(codepage)
    check(code == 0, f"console {codepage}: exit {code}\n{shown}")
    check(NAME in shown, f"console {codepage} shows the name as written:\n{shown[:2000]}")
    # UTF-8 bytes read at 850 or 437 show "Mar├¡a" (0xC3 is '├' in both).
    check("├" not in shown, f"console {codepage} shows UTF-8 read as {codepage}:\n{shown[:2000]}")

p = subprocess.run([*RUNNER, CLI, "codigos", SAMPLE, "--marcos", "M,T"], capture_output=True)
check(p.returncode == 0, f"pipe: exit {p.returncode}")
check(NAME.encode("utf-8") in p.stdout, "a pipe gets UTF-8: %r" % p.stdout[:300])

finish()
