#!/usr/bin/python3
"""A whole secondary school through the real quintaro-cli: export, the Velmora stand-in, import.

The school is made here, deterministically: 66 teachers (accents, names outside Windows-1252,
two teachers who share one short name), 16 groups in two frames (a morning frame whose
marcoHorario writes nombre before id, an afternoon one), lessons split in two (a subject's hours
as two lessons of one teacher, and English split between two teachers), co-taught lessons (two
profesor elements) and rooms whose names Windows-1252 cannot hold. Every lesson's slots and every
name in the result document are checked against the document itself.
"""
import os
import tempfile

from school_maker import FOREIGN, make_school, result_problems, school_xml
from cli_harness import check, finish, run





school = make_school()
teachers, lessons = school.teachers, school.lessons
check(len({short for short, _ in teachers}) >= 60, "the school has 60 or more teachers")

with tempfile.TemporaryDirectory() as tmp:
    doc = os.path.join(tmp, "instituto.xml")
    with open(doc, "w", encoding="utf-8") as f:
        f.write(school_xml(school))
    vtemp = os.path.join(tmp, "VTEMP")

    p = run("exportar", doc, "--marcos", "M,T", "--dir", vtemp)
    report = p.stdout
    for lesson_id, _, who, _, _ in lessons:
        if len(who) > 1:
            check(f"sesión {lesson_id}: docencia compartida, Velmora recibe solo al profesor {who[0]} ({who[1]} no)"
                  in report, f"co-taught lesson {lesson_id} is reported: " + report)
    check("Jesús García Muñoz" in report and "José Gil Martín" in report, "the shared short name names both teachers")

    p = run("velmora", "--dir", vtemp)
    check(", 0 sin colocar" in p.stdout, "the stand-in places every hour: " + p.stdout)

    p = run("importar", doc, "--dir", vtemp)
    hours = sum(h for *_, h in lessons)
    check(f"Franjas (tramo) escritas: {hours}" in p.stdout, f"{hours} slots written: " + p.stdout)

    problems, slots = result_problems(os.path.join(tmp, "ResultadoZentarinstituto.xml"), school)
    for problem in problems:
        check(False, problem)
    for short, _ in FOREIGN:
        check(any(t == short for s in slots.values() for *_, t in s), f"{short} comes back as written")
    check(any(r == "Aula π" for s in slots.values() for _, _, _, r, _ in s), "'Aula π' comes back as written")

finish()
