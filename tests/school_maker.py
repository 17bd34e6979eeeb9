"""A secondary school of our own making, and a check of a result document against it.

make_school() gives 66 teachers (accents, names outside Windows-1252, two teachers who share one
short name), 16 groups in two frames (a morning frame whose marcoHorario writes nombre before id,
an afternoon one), lessons split in two (a subject's hours as two lessons of one teacher, English
split between two teachers), co-taught lessons and rooms whose names Windows-1252 cannot hold.
make_school(large=True) has 40 groups (32 in the morning, 8 in the afternoon) and 46 teachers,
each group with 27 or 28 of its 30 periods taken: a school a solver works at for a while.
"""
import random
from collections import namedtuple
import xml.etree.ElementTree as ET
from collections import Counter, defaultdict
from xml.sax.saxutils import escape

FIRST = ["María", "José", "Lucía", "Íñigo", "Begoña", "Álvaro", "Nuria", "Jesús", "Ainhoa", "Raúl", "Mónica",
         "Óscar", "Rocío", "Martín", "Inés"]
LAST = ["García", "Muñoz", "Peña", "Ibáñez", "López", "Sáenz", "Rodríguez", "Güell", "Castaño", "Núñez", "Ortega",
        "Díaz"]
# Names the tables cannot hold as written: they come back through the export's record.
FOREIGN = [("ŞYI", "Şenol Yılmaz"), ("ŁWÓ", "Łukasz Wójcik"), ("NTL", "Nguyễn Thị Lan"), ("ĐKO", "Đorđe Kovačević"),
           ("ΑΠΑ", "Αθηνά Παπαδοπούλου"), ("ČNO", "Čeněk Novák")]

# Subject, weekly hours; the lesson plan of every group in a frame.
ESO_PLAN = [("Lengua Castellana y Literatura", 4), ("Matemáticas", 4), ("Inglés", 3), ("Geografía e Historia", 3),
            ("Biología y Geología", 2), ("Educación Física", 2), ("Tecnología", 2), ("Música", 2),
            ("Educación Plástica, Visual y Audiovisual", 1)]
BACH_PLAN = [("Lengua Castellana y Literatura II", 3),
             ("Matemáticas Aplicadas a las Ciencias Sociales II", 4), ("Inglés", 3), ("Historia de España", 3),
             ("Filosofía", 2), ("Economía de la Empresa", 3)]
# What a large school adds to fill its week.
ESO_MORE = [("Francés", 2), ("Religión", 1), ("Tutoría", 1)]
BACH_MORE = [("Francés", 3), ("Educación Física", 2), ("Tutoría", 1), ("Proyecto de Investigación", 2),
             ("Geografía", 2)]
School = namedtuple("School", "teachers lessons morning afternoon frame_of")
ROOMS = ["Aula 1.01", "Aula 1.02", "Aula 1.03", "Aula 2.01", "Aula 2.02", "Aula 2.03", "Aula π", "Aula ∑ (Matemáticas)",
         "Laboratorio de Química", "Gimnasio", "Aula de Música", "Taller de Tecnología", "Aula 3.01", "Aula 3.02",
         "Aula 3.03", "Biblioteca"]


def make_school(large=False, units=None, staff=None):
    """The school; `units` (morning, afternoon groups per course) and `staff` (teachers) make it
    larger still."""
    rng = random.Random(20261210)
    per_morning, per_afternoon = units or ((8, 4) if large else (3, 2))
    unit_names = [chr(ord("A") + k % 26) + (str(k // 26) if k >= 26 else "") for k in range(max(per_morning, per_afternoon))]
    morning = [f"{curso}º ESO {unidad}" for curso in range(1, 5) for unidad in unit_names[:per_morning]]
    afternoon = [f"{curso}º Bachillerato {unidad}" for curso in (1, 2) for unidad in unit_names[:per_afternoon]]
    large = large or units is not None
    teachers = list(FOREIGN)
    used = {short for short, _ in teachers} | {"JGM"}
    while len(teachers) < (staff or (44 if large else 64)):
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

    eso_plan = ESO_PLAN + (ESO_MORE if large else [])
    bach_plan = BACH_PLAN + (BACH_MORE if large else [])
    for groups, plan in ((morning, eso_plan), (afternoon, bach_plan)):
        for g, group in enumerate(groups):
            for subject, hours in plan:
                t = teacher_for()
                if subject == "Inglés" and groups is morning and g % 3 == 0:
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
    # (in a group whose English is not split, so that no group has more hours than periods)
    lessons.append((next_id, "Música", ["JGM"], next(g for i, g in reversed(list(enumerate(morning))) if i % 3), 1))
    frame_of = {g: "M" for g in morning} | {g: "T" for g in afternoon}
    return School(teachers, lessons, morning, afternoon, frame_of)


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


def school_xml(school):
    e = escape
    teachers, lessons = school.teachers, school.lessons
    subjects = sorted({s for _, s, _, _, _ in lessons})
    out = ['<?xml version="1.0" encoding="UTF-8"?>\n<datosGHC>', "<materias>"]
    out += [f"<materia>{e(s)}</materia>" for s in subjects]
    out += ["</materias><tareas/><profesores>"]
    out += [f"<profesor><nombre>{e(s)}</nombre><nombreCompleto>{e(n)}</nombreCompleto></profesor>" for s, n in teachers]
    out += ["</profesores><aulas>"]
    out += [f"<aula><nombre>{e(r)}</nombre></aula>" for r in ROOMS]
    out += ["</aulas><marcosDeHorario>", frame_xml("M", "Mañana", 8), frame_xml("T", "Tarde", 15), "</marcosDeHorario>"]
    out += ["<grupos>"]
    for frame, groups in (("M", school.morning), ("T", school.afternoon)):
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


def result_problems(result_path, school, rooms=ROOMS):
    """What is wrong with a result document for these lessons: every lesson's hours placed, the
    teacher as the document wrote it (the first of a co-taught lesson; the others counted where it
    is), rooms of the document's own
    (or the group's own, anonymous), each slot in its group's frame, nobody and no room twice at
    once. Also the slots found, by lesson id."""
    problems = []
    lessons, frame_of = school.lessons, school.frame_of
    result = ET.parse(result_path).getroot()
    slots = defaultdict(list)  # lesson id -> [(marco, dia, indice, room, teacher)]
    for tramo in result.find("horario").iter("tramo"):
        for aula in tramo.iter("aula"):
            for sesion, profesor in zip(aula.iter("sesion"), aula.iter("profesor")):
                slots[int(sesion.text)].append((tramo.get("marco"), tramo.get("dia"), tramo.get("indice"),
                                                aula.get("id"), profesor.text))
    if set(slots) != {lesson_id for lesson_id, *_ in lessons}:
        problems.append("lessons with slots differ from the document's: %r" %
                        sorted(set(slots) ^ {lesson_id for lesson_id, *_ in lessons})[:10])
    busy = Counter()
    for lesson_id, subject, who, group, lesson_hours in lessons:
        placed = slots[lesson_id]
        if len(placed) != lesson_hours:
            problems.append(f"lesson {lesson_id}: {len(placed)} slots for {lesson_hours} hours")
        for marco, dia, indice, room, teacher in placed:
            if teacher != who[0]:
                problems.append(f"lesson {lesson_id}: teacher {teacher!r}, the document says {who[0]!r}")
            if room is not None and room not in rooms:
                problems.append(f"lesson {lesson_id}: room {room!r} is not one of the document's")
            if marco != frame_of[group]:
                problems.append(f"lesson {lesson_id}: frame {marco}, its group is in {frame_of[group]}")
            # Every teacher of a co-taught lesson is there, the second ones too.
            for other in {teacher, *(t for t in who[1:] if t)}:
                busy[("profesor", other, marco, dia, indice)] += 1
            busy[("grupo", group, marco, dia, indice)] += 1
            if room is not None:
                busy[("aula", room, marco, dia, indice)] += 1
    twice = [key for key, n in busy.items() if n > 1]
    if twice:
        problems.append("in two places at once: %r" % twice[:5])
    return problems, slots



def gaps(slots, school, frames=("M", "T")):
    """Free periods between lessons in the week, from the slots result_problems found (every period
    of these schools is teaching time): per group, per teacher (in FET's hour order, one frame's
    periods after the other's), and the groups that start a day after their first period."""
    group_of = {lesson_id: group for lesson_id, _, _, group, _ in school.lessons}
    others_of = {lesson_id: [t for t in who[1:] if t] for lesson_id, _, who, _, _ in school.lessons}
    days = defaultdict(set)  # (kind, who, dia) -> {(frame position, indice)}
    for lesson_id, placed in slots.items():
        for marco, dia, indice, _, teacher in placed:
            at = (frames.index(marco), int(indice))
            days[("grupo", group_of[lesson_id], dia)].add(at)
            for who in {teacher, *others_of[lesson_id]} - {None}:
                days[("profesor", who, dia)].add(at)
    week = Counter()
    late = set()
    for (kind, who, dia), used in days.items():
        order = sorted(used)
        if kind == "grupo":
            week[(kind, who)] += order[-1][1] - order[0][1] + 1 - len(order)
            if order[0][1] != 1:
                late.add(who)
        else:
            # Between two lessons of one frame, the periods left free; across frames, none counted.
            week[(kind, who)] += sum(b[1] - a[1] - 1 for a, b in zip(order, order[1:]) if a[0] == b[0])
    students = {who: n for (kind, who), n in week.items() if kind == "grupo" and n}
    teachers = {who: n for (kind, who), n in week.items() if kind == "profesor"}
    return students, teachers, late
