#!/usr/bin/python3
"""A school with everything a real one has, through resolver with the real fet-cl: tasks (one only
done in a break, one of a teacher with no class), a co-taught lesson, a lesson of two groups, an
option block (groups named "1º ESO A · Francés"), and a Recreo in each frame. The result is checked
hour by hour, and its timetable printed one grid a page."""
import os
import re
import shutil
import subprocess
import tempfile
import xml.etree.ElementTree as ET
from collections import defaultdict

from cli_harness import check, finish, run

FRAMES = {  # frame -> (first hour, the index of its Recreo)
    "M": (8, 4),
    "T": (15, 4),
}
TEACHERS = {"ANA": "Ana Ruiz", "BEA": "Beatriz Gil", "CRU": "Cruz Soto", "DAN": "Daniel Mora",
            "EVA": "Eva Lago", "FRA": "Francine Roux", "ALE": "Alexander Weiss"}
GROUPS = {"1º ESO A": "M", "1º ESO A · Francés": "M", "1º ESO A · Alemán": "M", "2º ESO B": "M", "1º BACH": "T"}
TASKS = ["Guardia", "Guardia de recreo", "Reunión de departamento"]
# id, subject, teachers, groups, hours
LESSONS = [
    (1, "Matemáticas", ["ANA", "BEA"], ["1º ESO A"], 4),   # co-taught
    (2, "Lengua", ["CRU"], ["1º ESO A"], 4),
    (3, "Religión", ["FRA"], ["1º ESO A", "2º ESO B"], 2),  # two groups at once
    (4, "Francés", ["FRA"], ["1º ESO A · Francés"], 2),     # the option block
    (5, "Alemán", ["ALE"], ["1º ESO A · Alemán"], 2),
    (6, "Matemáticas", ["BEA"], ["2º ESO B"], 4),
    (7, "Lengua", ["CRU"], ["2º ESO B"], 3),
    (8, "Historia", ["CRU"], ["1º BACH"], 3),              # CRU teaches in both frames
    (9, "Física", ["EVA"], ["1º BACH"], 4),
    (10, "Guardia", ["EVA"], [], 2),                        # EVA teaches in the evening only
    (11, "Guardia", ["ANA"], [], 2),                        # ANA in the morning only
    (12, "Guardia de recreo", ["ANA"], [], 1),              # in a Recreo of the morning
    (13, "Reunión de departamento", ["DAN"], [], 1),        # DAN has no class
]
TASK_CODE = {"Guardia": "Guardia", "Guardia de recreo": "Guardia de", "Reunión de departamento": "Reunión de"}


def school_xml():
    out = ["<?xml version='1.0' encoding='UTF-8'?>\n<datosGHC><materias>"]
    out += [f"<materia>{m}</materia>" for m in sorted({l[1] for l in LESSONS} - set(TASKS))]
    out += ["</materias><tareas>"] + [f"<tarea>{t}</tarea>" for t in TASKS] + ["</tareas><profesores>"]
    out += [f"<profesor><nombre>{c}</nombre><nombreCompleto>{n}</nombreCompleto></profesor>" for c, n in TEACHERS.items()]
    out += ["</profesores><aulas><aula><nombre>Laboratorio</nombre></aula></aulas><marcosDeHorario>"]
    for frame, (start, recreo) in FRAMES.items():
        out.append(f'<marcoHorario id="{frame}">')
        for dia in range(5):
            for indice in range(1, 8):
                kind = "Recreo" if indice == recreo else "Lectiva"
                h = start * 60 + (indice - 1) * 55
                times = f"{h // 60:02}:{h % 60:02}", f"{(h + 55) // 60:02}:{(h + 55) % 60:02}"
                out.append(f"<tramo><submarco>{frame}</submarco><dia>{dia}</dia><indice>{indice}</indice>"
                           f"<horaEntrada>{times[0]}</horaEntrada><horaSalida>{times[1]}</horaSalida>"
                           f"<Tipo>{kind}</Tipo></tramo>")
        out.append("</marcoHorario>")
    out.append("</marcosDeHorario><grupos>")
    for name, frame in GROUPS.items():
        out.append(f'<grupo submarco="{frame}"><nombre>{name}</nombre><nivel>ESO</nivel><curso>1</curso>'
                   f'<unidad>A</unidad></grupo>')
    out.append("</grupos><sesionesLectivas>")
    for lesson_id, subject, teachers, groups, hours in LESSONS:
        task = TASK_CODE.get(subject, "")
        out.append(f'<sesion id="{lesson_id}"><materia>{subject}</materia>'
                   + "".join(f"<profesor>{t}</profesor>" for t in teachers)
                   + ("".join(f"<grupo>{g}</grupo>" for g in groups) or "<grupo/>")
                   + f"<distribucionSemanal><distribucionVariable><numSesiones>{hours}</numSesiones>"
                   f"</distribucionVariable></distribucionSemanal><tarea>{task}</tarea></sesion>")
    out.append("</sesionesLectivas></datosGHC>\n")
    return "".join(out)


def placed_hours(result):
    """Each lesson's hours as (frame, day, index, Tipo), from the result document."""
    root = ET.parse(result).getroot()
    kind = {}
    for marco in root.iter("marcoHorario"):
        for t in marco.iter("tramo"):
            kind[(t.findtext("submarco"), t.findtext("dia"), t.findtext("indice"))] = t.findtext("Tipo")
    hours = defaultdict(list)
    for tramo in root.find("horario").iter("tramo"):
        key = (tramo.get("marco"), tramo.get("dia"), tramo.get("indice"))
        for sesion in tramo.iter("sesion"):
            hours[int(sesion.text)].append((*key, kind.get(key)))
    return hours


with tempfile.TemporaryDirectory() as tmp:
    doc = os.path.join(tmp, "instituto.xml")
    open(doc, "w", encoding="utf-8").write(school_xml())

    p = run("fet", doc, "--marcos", "M,T")
    check("FET recibe a todos sus profesores (ANA, BEA)" in p.stdout, "fet speaks of FET: " + p.stdout)
    check("Velmora recibe" not in p.stdout, "fet does not speak of Velmora: " + p.stdout)

    p = run("resolver", doc, "--marcos", "M,T", "--segundos", "120")
    check("FET colocó las 34 horas, 28 de clase y 6 de tareas" in p.stdout, "resolver counts tasks apart: " + p.stdout)
    hours = placed_hours(os.path.join(tmp, "ResultadoZentarinstituto.xml"))
    frames_of = defaultdict(set)  # teacher -> frames of their classes
    busy = defaultdict(list)  # (who, frame, day, index) -> lessons
    for lesson_id, subject, teachers, groups, n in LESSONS:
        got = hours[lesson_id]
        check(len(got) == n, f"lesson {lesson_id}: {len(got)} of {n} hours placed")
        for frame, dia, indice, kind in got:
            for who in teachers + groups:
                busy[(who, frame, dia, indice)].append(lesson_id)
            # A whole group's hour is each option's too.
            for g in groups:
                for option in (o for o in GROUPS if o.startswith(g + " · ")):
                    busy[(option, frame, dia, indice)].append(lesson_id)
            if groups:
                frames_of.update({t: frames_of[t] | {frame} for t in teachers})
                check(kind == "Lectiva", f"class {lesson_id} ({subject}) in a {kind} period")
    twice = {k: v for k, v in busy.items() if len(v) > 1}
    check(not twice, f"nobody (second teachers and second groups included) twice at once: {twice}")
    for lesson_id, subject, teachers, groups, n in LESSONS:
        if groups:
            continue
        for frame, dia, indice, kind in hours[lesson_id]:
            check(frame, f"task {lesson_id} has its frame")
            if frames_of[teachers[0]]:
                check(frame in frames_of[teachers[0]],
                      f"task {lesson_id} of {teachers[0]} in frame {frame}, who teaches in {frames_of[teachers[0]]}")
            check((kind == "Recreo") == ("recreo" in subject),
                  f"task {lesson_id} ({subject}) in a {kind} period")
    french = sorted(h[:3] for h in hours[4])
    german = sorted(h[:3] for h in hours[5])
    check(french == german, f"the option block at one time: {french} {german}")

    # The timetable one grid a page, tasks in teachers' grids, breaks named as breaks.
    result = os.path.join(tmp, "ResultadoZentarinstituto.xml")
    html, pdf = os.path.join(tmp, "horario.html"), os.path.join(tmp, "horario.pdf")
    run("horario", result, "--html", html, "--pdf", pdf)
    page = open(html, encoding="utf-8").read()
    grids = page.count('<div class="rejilla"')
    check(grids == len(GROUPS) + len(TEACHERS), f"a grid for each group and teacher (no lesson uses the laboratory): {grids}")
    check("Aula de grupo" not in page, "the group's own room is not written in every cell")
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
    pages = int(re.search(r"Pages:\s+(\d+)", info).group(1))
    check(pages == grids, f"one page per grid: {pages} pages for {grids} grids")
    text = subprocess.run(["pdftotext", pdf, "-"], capture_output=True, text=True).stdout.split("\f")
    dan = [t for t in text if "Profesor Daniel Mora" in t]
    check(dan and "Reunión de departamento" in dan[0], "the teacher with only a task has it in their grid")
    ana = [t for t in text if "Profesor Ana Ruiz" in t]
    check(ana and "Guardia de recreo" in ana[0] and "Recreo" in ana[0], "a guardia de recreo in its teacher's break row")
    check(any("Francés" in t and "Alemán" in t for t in text if "Grupo 1º ESO A" in t and "·" not in t.split("\n")[0]),
          "the whole group's grid shows its options' hours")
finish()
