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
import random
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from collections import Counter, defaultdict
from xml.sax.saxutils import escape

CLI = os.environ["QUINTARO_CLI"]
RUNNER = [part for part in os.environ.get("QUINTARO_RUNNER", "").split(";") if part]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FALLO:", what)


def run(*args, code=0):
    p = subprocess.run([*RUNNER, CLI, *args], capture_output=True, text=True, encoding="utf-8")
    check(p.returncode == code, f"{args}: salida {p.returncode} (esperada {code})\n{p.stdout}\n{p.stderr}")
    return p


FIRST = ["María", "José", "Lucía", "Íñigo", "Begoña", "Álvaro", "Nuria", "Jesús", "Ainhoa", "Raúl", "Mónica",
         "Óscar", "Rocío", "Martín", "Inés"]
LAST = ["García", "Muñoz", "Peña", "Ibáñez", "López", "Sáenz", "Rodríguez", "Güell", "Castaño", "Núñez", "Ortega",
        "Díaz"]
# Names the tables cannot hold as written: they come back through the export's record.
FOREIGN = [("ŞYI", "Şenol Yılmaz"), ("ŁWÓ", "Łukasz Wójcik"), ("NTL", "Nguyễn Thị Lan"), ("ĐKO", "Đorđe Kovačević"),
           ("ΑΠΑ", "Αθηνά Παπαδοπούλου"), ("ČNO", "Čeněk Novák")]

MORNING_GROUPS = [f"{curso}º ESO {unidad}" for curso in range(1, 5) for unidad in "ABC"]
AFTERNOON_GROUPS = [f"{curso}º Bachillerato {unidad}" for curso in (1, 2) for unidad in "AB"]
# Subject, weekly hours; the lesson plan of every group in a frame.
ESO_PLAN = [("Lengua Castellana y Literatura", 4), ("Matemáticas", 4), ("Inglés", 3), ("Geografía e Historia", 3),
            ("Biología y Geología", 2), ("Educación Física", 2), ("Tecnología", 2), ("Música", 2),
            ("Educación Plástica, Visual y Audiovisual", 1)]
BACH_PLAN = [("Lengua Castellana y Literatura II", 3),
             ("Matemáticas Aplicadas a las Ciencias Sociales II", 4), ("Inglés", 3), ("Historia de España", 3),
             ("Filosofía", 2), ("Economía de la Empresa", 3)]
ROOMS = ["Aula 1.01", "Aula 1.02", "Aula 1.03", "Aula 2.01", "Aula 2.02", "Aula 2.03", "Aula π", "Aula ∑ (Matemáticas)",
         "Laboratorio de Química", "Gimnasio", "Aula de Música", "Taller de Tecnología", "Aula 3.01", "Aula 3.02",
         "Aula 3.03", "Biblioteca"]


def make_school():
    rng = random.Random(20261210)
    teachers = list(FOREIGN)
    used = {short for short, _ in teachers} | {"JGM"}
    while len(teachers) < 64:
        first, last1, last2 = rng.choice(FIRST), rng.choice(LAST), rng.choice(LAST)
        short = (first[0] + last1[0] + last2[0]).upper()
        n = 1
        while short in used:
            n += 1
            short = (first[0] + last1[0] + last2[0]).upper() + str(n)
        used.add(short)
        teachers.append((short, f"{first} {last1} {last2}"))
    # Two teachers who share one short name: every lesson naming it goes to the first.
    teachers.append(("JGM", "Jesús García Muñoz"))
    teachers.append(("JGM", "José Gil Martín"))
    shorts = [short for short, _ in teachers[:-1]]

    lessons = []  # (id, subject, [teachers], group, hours)
    next_id = 500100
    load = Counter()

    def teacher_for(exclude=()):
        # The least loaded teacher, so that the stand-in can place every hour.
        return min((s for s in shorts if s not in exclude), key=lambda s: (load[s], shorts.index(s)))

    for groups, plan in ((MORNING_GROUPS, ESO_PLAN), (AFTERNOON_GROUPS, BACH_PLAN)):
        for g, group in enumerate(groups):
            for subject, hours in plan:
                t = teacher_for()
                if subject == "Inglés" and groups is MORNING_GROUPS and g % 3 == 0:
                    # English split between two teachers, each with half the group.
                    t2 = teacher_for(exclude=(t,))
                    for who in (t, t2):
                        lessons.append((next_id, subject, [who], group, hours))
                        load[who] += hours
                        next_id += 1
                elif subject.startswith("Matemáticas") and hours >= 4:
                    # The hours of one subject as two lessons of one teacher.
                    for part in (hours - 1, 1):
                        lessons.append((next_id, subject, [t], group, part))
                        next_id += 1
                    load[t] += hours
                elif subject in ("Tecnología", "Filosofía") and g % 2 == 1:
                    # Co-taught: two profesor elements; the tables keep the first.
                    t2 = teacher_for(exclude=(t,))
                    lessons.append((next_id, subject, [t, t2], group, hours))
                    load[t] += hours
                    next_id += 1
                else:
                    lessons.append((next_id, subject, [t], group, hours))
                    load[t] += hours
                    next_id += 1
    # A lesson of the teacher whose short name is shared, and of several foreign names.
    lessons.append((next_id, "Música", ["JGM"], "4º ESO C", 1))
    return teachers, lessons


def frame_xml(frame, name, start_hour):
    periods = []
    for day in range(5):
        for index in range(1, 7):
            h0 = start_hour + index - 1
            periods.append(f"<tramo><submarco>{frame}</submarco><dia>{day}</dia><indice>{index}</indice>"
                           f"<horaEntrada>{h0:02d}:00</horaEntrada><horaSalida>{h0:02d}:55</horaSalida>"
                           f"<Tipo>Lectiva</Tipo></tramo>")
    # The morning frame writes nombre before id: the identifier is still the attribute id.
    return f'<marcoHorario nombre="{name}" id="{frame}">{"".join(periods)}</marcoHorario>'


def school_xml(teachers, lessons):
    e = escape
    subjects = sorted({s for _, s, _, _, _ in lessons})
    out = ['<?xml version="1.0" encoding="UTF-8"?>\n<datosGHC>', "<materias>"]
    out += [f"<materia>{e(s)}</materia>" for s in subjects]
    out += ["</materias><tareas/><profesores>"]
    out += [f"<profesor><nombre>{e(s)}</nombre><nombreCompleto>{e(n)}</nombreCompleto></profesor>" for s, n in teachers]
    out += ["</profesores><aulas>"]
    out += [f"<aula><nombre>{e(r)}</nombre></aula>" for r in ROOMS]
    out += ["</aulas><marcosDeHorario>", frame_xml("M", "Mañana", 8), frame_xml("T", "Tarde", 15), "</marcosDeHorario>"]
    out += ["<grupos>"]
    for frame, groups in (("M", MORNING_GROUPS), ("T", AFTERNOON_GROUPS)):
        for group in groups:
            curso, nivel, unidad = group.split(" ")[0][0], " ".join(group.split(" ")[1:-1]), group.split(" ")[-1]
            out.append(f'<grupo submarco="{frame}"><nombre>{e(group)}</nombre><nivel>{e(nivel.upper())}</nivel>'
                       f"<curso>{curso}</curso><unidad>{unidad}</unidad></grupo>")
    out += ["</grupos><sesionesLectivas>"]
    for lesson_id, subject, who, group, hours in lessons:
        profs = "".join(f"<profesor>{e(t)}</profesor>" for t in who)
        out.append(f'<sesion id="{lesson_id}"><materia>{e(subject)}</materia>{profs}<grupo>{e(group)}</grupo>'
                   f"<distribucionSemanal><distribucionVariable><numSesiones>{hours}</numSesiones>"
                   f"</distribucionVariable></distribucionSemanal><tarea/></sesion>")
    out += ["</sesionesLectivas></datosGHC>\n"]
    return "\n".join(out)


teachers, lessons = make_school()
check(len({short for short, _ in teachers}) >= 60, "the school has 60 or more teachers")
frame_of = {g: "M" for g in MORNING_GROUPS} | {g: "T" for g in AFTERNOON_GROUPS}

with tempfile.TemporaryDirectory() as tmp:
    doc = os.path.join(tmp, "instituto.xml")
    with open(doc, "w", encoding="utf-8") as f:
        f.write(school_xml(teachers, lessons))
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

    result = ET.parse(os.path.join(tmp, "ResultadoZentarinstituto.xml")).getroot()
    slots = defaultdict(list)  # lesson id -> [(marco, dia, indice, room, teacher)]
    for tramo in result.find("horario").iter("tramo"):
        for aula in tramo.iter("aula"):
            for sesion, profesor in zip(aula.iter("sesion"), aula.iter("profesor")):
                slots[int(sesion.text)].append((tramo.get("marco"), tramo.get("dia"), tramo.get("indice"),
                                                aula.get("id"), profesor.text))

    check(set(slots) == {lesson_id for lesson_id, *_ in lessons}, "every lesson, and only the document's, has slots")
    busy = Counter()
    for lesson_id, subject, who, group, lesson_hours in lessons:
        placed = slots[lesson_id]
        check(len(placed) == lesson_hours, f"lesson {lesson_id}: {len(placed)} slots for {lesson_hours} hours")
        for marco, dia, indice, room, teacher in placed:
            # The teacher as the document wrote it (the first of a co-taught lesson), a room of the
            # document's own, in the lesson's group's frame.
            check(teacher == who[0], f"lesson {lesson_id}: teacher {teacher!r}, the document says {who[0]!r}")
            check(room in ROOMS, f"lesson {lesson_id}: room {room!r} is not one of the document's")
            check(marco == frame_of[group], f"lesson {lesson_id}: frame {marco}, its group is in {frame_of[group]}")
            busy[("profesor", teacher, marco, dia, indice)] += 1
            busy[("grupo", group, marco, dia, indice)] += 1
            busy[("aula", room, marco, dia, indice)] += 1
    twice = [key for key, n in busy.items() if n > 1]
    check(not twice, "nobody and no room is in two places at once: %r" % twice[:5])
    for short, _ in FOREIGN:
        check(any(t == short for s in slots.values() for *_, t in s), f"{short} comes back as written")
    check(any(r == "Aula π" for s in slots.values() for _, _, _, r, _ in s), "'Aula π' comes back as written")

print(f"{0 if failures else 1} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
