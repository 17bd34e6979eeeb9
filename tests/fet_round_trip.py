#!/usr/bin/python3
"""Schools through FET with the real fet-cl (Debian's fet): the FET file, fet-cl, the import of its
solution, and resolver doing all three; every result checked lesson by lesson (its hours, its
teacher as written, its group's frame, nobody and no room twice at once). And what goes wrong:
no fet-cl, data FET finds impossible, a time limit too short, a solution of another document.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

from school_maker import gaps, make_school, result_problems, school_xml
from cli_harness import CLI, check, finish, run

SAMPLE = os.environ["QUINTARO_SAMPLE"]
FET_CL = shutil.which("fet-cl")
SEEDS = [f"--randomseeds{k}={v}" for k, v in zip((10, 11, 12, 20, 21, 22), range(1, 7))]




def sample_school(path=SAMPLE):
    """A school's lessons as the checker wants them, read from its document (the sample's by
    default)."""
    root = ET.parse(path).getroot()
    frame_of = {g.findtext("nombre"): g.get("submarco") for g in root.iter("grupo")}
    materias = {m.text for m in root.findall("materias/materia")} | {t.text for t in root.findall("tareas/tarea")}
    teachers = {p.findtext("nombre") for p in root.findall("profesores/profesor")}
    lessons = []
    for s in root.iter("sesion"):
        if s.findtext("materia") not in materias:
            continue  # the export leaves it out, and says so
        hours = s.findtext("distribucionSemanal/distribucionVariable/numSesiones")
        # A teacher the document does not list goes as none.
        who = [p.text if p.text in teachers else None for p in s.findall("profesor")] or [None]
        lessons.append((int(s.get("id")), s.findtext("materia"), who, s.findtext("grupo"),
                        int(hours) if hours else 1))  # empty: one hour

    class School:
        pass
    school = School()
    school.lessons, school.frame_of = lessons, frame_of
    return school, [r.findtext("nombre") for r in root.iter("aula")]


if not FET_CL:
    sys.exit("fet-cl no está instalado: ./test.sh instala el paquete fet")

# The sample school: the FET file, fet-cl by hand, the import of its output folder.
with tempfile.TemporaryDirectory() as tmp:
    doc = os.path.join(tmp, "escuela.xml")
    shutil.copy(SAMPLE, doc)
    p = run("fet", doc, "--marcos", "M,T")
    fet_file = os.path.join(tmp, "escuela.fet")
    check("Archivo de FET" in p.stdout and os.path.isfile(fet_file), "fet writes the file: " + p.stdout)
    check(subprocess.run(["xmllint", "--noout", fet_file]).returncode == 0, "the FET file is well-formed")
    out = os.path.join(tmp, "salida")
    f = subprocess.run([FET_CL, f"--inputfile={fet_file}", f"--outputdir={out}", "--timelimitseconds=60", *SEEDS],
                       capture_output=True, text=True)
    check(f.returncode == 0, "fet-cl solves the sample: " + f.stdout[-2000:])
    p = run("importar", doc, "--fet", out)
    check("Franjas (tramo) escritas: 105" in p.stdout, "every hour of the sample comes back: " + p.stdout)
    school, rooms = sample_school()
    problems, _ = result_problems(os.path.join(tmp, "ResultadoZentarescuela.xml"), school, rooms)
    for problem in problems:
        check(False, "sample through FET: " + problem)

    # The same solution on another document is refused, and nothing is written.
    other = os.path.join(tmp, "otra.xml")
    open(other, "w", encoding="utf-8").write(school_xml(make_school()))
    p = run("importar", other, "--fet", out, code=1)
    check("no es de este documento" in p.stderr, "a solution of another document is refused: " + p.stderr)
    check(not os.path.exists(os.path.join(tmp, "ResultadoZentarotra.xml")), "a refused import wrote a result")

# resolver on the realistic school: every lesson placed, nobody twice at once, names as written.
with tempfile.TemporaryDirectory() as tmp:
    school = make_school()
    doc = os.path.join(tmp, "instituto.xml")
    open(doc, "w", encoding="utf-8").write(school_xml(school))
    p = run("resolver", doc, "--marcos", "M,T", "--segundos", "120")
    hours = sum(h for *_, h in school.lessons)
    check(f"Franjas (tramo) escritas: {hours}" in p.stdout, f"resolver places all {hours} hours: " + p.stdout + p.stderr)
    problems, slots = result_problems(os.path.join(tmp, "ResultadoZentarinstituto.xml"), school)
    for problem in problems:
        check(False, "realistic school through resolver: " + problem)
    # What a school asks by default: no gaps for students, who start at their first period, and
    # at most 3 gaps a week for a teacher.
    students, teachers, late = gaps(slots, school)
    check(not students, f"realistic school: students with gaps: {students}")
    check(not late, f"realistic school: groups starting late: {sorted(late)[:5]}")
    check(max(teachers.values()) <= 3, f"realistic school: a teacher with {max(teachers.values())} gaps")
    check(any(t == "ŞYI" for s in slots.values() for *_, t in s), "a name outside Windows-1252 comes back as written")

def first_activity(fet_file, lesson):
    """The Id of the first activity of a lesson ("sesión N") in a FET file."""
    for a in ET.parse(fet_file).getroot().iter("Activity"):
        if a.findtext("Comments") == f"sesión {lesson}":
            return a.findtext("Id")
    return None


# The school's own rules, added in FET's window, kept when the FET file is written again after a
# change in Escolaria (here lesson 101 taken out, so every later activity is renumbered).
with tempfile.TemporaryDirectory() as tmp:
    doc = os.path.join(tmp, "escuela.xml")
    shutil.copy(SAMPLE, doc)
    edited = os.path.join(tmp, "editado.fet")
    run("fet", doc, "--marcos", "M,T", "--salida", edited)
    ids = {n: first_activity(edited, n) for n in (101, 102, 104, 111)}
    hours = [h.findtext("Name") for h in ET.parse(edited).getroot().iter("Hour")]
    rules = f"""
<ConstraintTeacherNotAvailableTimes>
	<Weight_Percentage>100</Weight_Percentage>
	<Teacher>MGL</Teacher>
	<Number_of_Not_Available_Times>1</Number_of_Not_Available_Times>
	<Not_Available_Time>
		<Day>Viernes</Day>
		<Hour>{hours[0]}</Hour>
	</Not_Available_Time>
	<Active>true</Active>
	<Comments>MGL no viene el viernes a primera</Comments>
</ConstraintTeacherNotAvailableTimes>
<ConstraintActivitiesSameStartingTime>
	<Weight_Percentage>100</Weight_Percentage>
	<Number_of_Activities>2</Number_of_Activities>
	<Activity_Id>{ids[102]}</Activity_Id>
	<Activity_Id>{ids[111]}</Activity_Id>
	<Active>true</Active>
	<Comments>optativas a la vez</Comments>
</ConstraintActivitiesSameStartingTime>
<ConstraintTeacherMaxDaysPerWeek>
	<Weight_Percentage>100</Weight_Percentage>
	<Teacher_Name>JPR</Teacher_Name>
	<Max_Days_Per_Week>5</Max_Days_Per_Week>
	<Active>true</Active>
	<Comments></Comments>
</ConstraintTeacherMaxDaysPerWeek>
<ConstraintTeacherMaxDaysPerWeek>
	<Weight_Percentage>100</Weight_Percentage>
	<Teacher_Name>ZZZ</Teacher_Name>
	<Max_Days_Per_Week>3</Max_Days_Per_Week>
	<Active>true</Active>
	<Comments>un profesor que se fue</Comments>
</ConstraintTeacherMaxDaysPerWeek>
<ConstraintActivityPreferredStartingTime>
	<Weight_Percentage>100</Weight_Percentage>
	<Activity_Id>{ids[101]}</Activity_Id>
	<Preferred_Day>Lunes</Preferred_Day>
	<Preferred_Hour>{hours[0]}</Preferred_Hour>
	<Permanently_Locked>false</Permanently_Locked>
	<Active>true</Active>
	<Comments>matemáticas el lunes a primera</Comments>
</ConstraintActivityPreferredStartingTime>
"""
    space = f"""
<ConstraintActivityPreferredRoom>
	<Weight_Percentage>100</Weight_Percentage>
	<Activity_Id>{ids[104]}</Activity_Id>
	<Room>Laboratorio nuevo</Room>
	<Permanently_Locked>false</Permanently_Locked>
	<Active>true</Active>
	<Comments>ciencias en el laboratorio</Comments>
</ConstraintActivityPreferredRoom>
"""
    room = "<Room>\n\t<Name>Laboratorio nuevo</Name>\n\t<Building></Building>\n\t<Capacity>30000</Capacity>\n" \
           "\t<Virtual>false</Virtual>\n\t<Comments></Comments>\n</Room>\n"
    text = open(edited, encoding="utf-8").read()
    text = text.replace("</Time_Constraints_List>", rules + "</Time_Constraints_List>")
    text = text.replace("</Space_Constraints_List>", space + "</Space_Constraints_List>")
    text = text.replace("</Rooms_List>", room + "</Rooms_List>")
    open(edited, "w", encoding="utf-8").write(text)
    check(subprocess.run(["xmllint", "--noout", edited]).returncode == 0, "the edited FET file is well-formed")

    changed = os.path.join(tmp, "cambiado.xml")
    open(changed, "w", encoding="utf-8").write(re.sub(r'<sesion id="101">.*?</sesion>', "", open(doc, encoding="utf-8").read()))
    renewed = os.path.join(tmp, "renovado.fet")
    p = run("fet", changed, "--marcos", "M,T", "--salida", renewed, "--reglas", edited)
    check("Reglas del centro conservadas de" in p.stdout and ": 4 (y 1 aula añadida en FET)." in p.stdout,
          "the kept rules are counted: " + p.stdout)
    check("ConstraintTeacherMaxDaysPerWeek («un profesor que se fue»): el profesor «ZZZ» ya no está" in p.stdout
          and "ConstraintActivityPreferredStartingTime («matemáticas el lunes a primera»): la sesión 101" in p.stdout,
          "the rules left out are listed: " + p.stdout)
    root = ET.parse(renewed).getroot()
    same = root.find("Time_Constraints_List/ConstraintActivitiesSameStartingTime")
    check(same is not None and [a.text for a in same.findall("Activity_Id")]
          == [first_activity(renewed, 102), first_activity(renewed, 111)] and first_activity(renewed, 102) == "1",
          "activities renumbered by their lesson")
    check(root.find("Space_Constraints_List/ConstraintActivityPreferredRoom/Activity_Id").text
          == first_activity(renewed, 104), "a preferred room keeps its lesson")
    check(any(r.findtext("Name") == "Laboratorio nuevo" for r in root.iter("Room")), "the school's room is kept")
    out = os.path.join(tmp, "salida")
    f = subprocess.run([FET_CL, f"--inputfile={renewed}", f"--outputdir={out}", "--timelimitseconds=60", *SEEDS],
                       capture_output=True, text=True)
    check(f.returncode == 0 and os.path.isdir(os.path.join(out, "timetables", "renovado")),
          "FET solves the file with the school's rules: " + f.stdout[-500:])
    # Written again from the renewed file: the same rules, none twice.
    again = os.path.join(tmp, "otra_vez.fet")
    p = run("fet", changed, "--marcos", "M,T", "--salida", again, "--reglas", renewed)
    check(": 4 (y 1 aula añadida en FET)." in p.stdout and "dejadas fuera" not in p.stdout,
          "rules carried twice stay once: " + p.stdout)

# The benchmark's solvable school (40 groups, 1 160 hours in two frames): every hour placed with
# the school's rules kept.
with tempfile.TemporaryDirectory() as tmp:
    doc = os.path.join(tmp, "resoluble.xml")
    subprocess.run([os.environ["QUINTARO_GENERATOR"], "1", "42", doc, "--resoluble"], check=True)
    p = run("resolver", doc, "--marcos", "M,T", "--segundos", "120")
    check("FET colocó las 1160 horas de clase" in p.stdout, "the 40-group school: " + p.stdout[:300] + p.stderr)
    school, rooms = sample_school(doc)
    problems, slots = result_problems(os.path.join(tmp, "ResultadoZentarresoluble.xml"), school, rooms)
    for problem in problems[:5]:
        check(False, "the 40-group school through resolver: " + problem)
    students, teachers, late = gaps(slots, school)
    check(not students and not late and max(teachers.values()) <= 3,
          f"the 40-group school keeps the rules: {students} {sorted(late)[:5]} {max(teachers.values())}")

def clock_clashes(doc, result):
    """Teachers at two lessons whose clock times overlap on one day, across frames, from the result
    document and the periods' times in the document."""
    def minutes(t):
        return int(t[:2]) * 60 + int(t[3:5])
    times = {}
    for frame in ET.parse(doc).getroot().iter("marcoHorario"):
        for t in frame.iter("tramo"):
            times[(t.findtext("submarco"), t.findtext("dia"), t.findtext("indice"))] = (
                minutes(t.findtext("horaEntrada")), minutes(t.findtext("horaSalida")))
    busy = {}
    for tramo in ET.parse(result).getroot().find("horario").iter("tramo"):
        start, end = times[(tramo.get("marco"), tramo.get("dia"), tramo.get("indice"))]
        for profesor in tramo.iter("profesor"):
            busy.setdefault((profesor.text, tramo.get("dia")), []).append((start, end, tramo.get("marco")))
    clashes = []
    for (teacher, day), spans in busy.items():
        spans.sort()
        clashes += [(teacher, day, a, b) for a, b in zip(spans, spans[1:]) if b[0] < a[1]]
    return clashes


# Two frames overlapping in clock time (the evening frame moved to 10:30): no teacher in two
# places at one clock time, though FET keeps the frames' hours apart.
with tempfile.TemporaryDirectory() as tmp:
    doc = os.path.join(tmp, "solapados.xml")
    text = open(SAMPLE, encoding="utf-8").read()
    for evening, morning in (("15:30", "10:30"), ("16:25", "11:25"), ("16:30", "11:30"), ("17:25", "12:25"),
                             ("17:30", "12:30"), ("18:25", "13:25"), ("18:30", "13:30"), ("19:25", "14:25")):
        text = text.replace(f">{evening}<", f">{morning}<")
    open(doc, "w", encoding="utf-8").write(text)
    p = run("resolver", doc, "--marcos", "M,T", "--segundos", "120")
    clashes = clock_clashes(doc, os.path.join(tmp, "ResultadoZentarsolapados.xml"))
    check("FET colocó" in p.stdout and not clashes, f"overlapping frames: {p.stdout[:200]} {clashes[:3]}")

# What goes wrong, each with its Spanish message, exit 1 and no result document.
with tempfile.TemporaryDirectory() as tmp:
    doc = os.path.join(tmp, "escuela.xml")
    shutil.copy(SAMPLE, doc)
    result = os.path.join(tmp, "ResultadoZentarescuela.xml")
    p = run("resolver", doc, "--marcos", "M,T", code=1,
            env=dict(os.environ, QUINTARO_FET_CL=os.path.join(tmp, "no-hay-fet-cl")))
    check("apt-get install fet" in p.stderr, "no fet-cl says how to install FET: " + p.stderr)

    # A group with more hours than its frame has periods: said before FET is asked.
    text = open(SAMPLE, encoding="utf-8").read().replace("<numSesiones>4</numSesiones>",
                                                         "<numSesiones>40</numSesiones>", 1)
    impossible = os.path.join(tmp, "imposible.xml")
    open(impossible, "w", encoding="utf-8").write(text)
    p = run("resolver", impossible, "--marcos", "M,T", code=1)
    check("El grupo 1º ESO A tiene 59 horas de clase a la semana y su marco horario solo 30 tramos lectivos"
          in p.stderr, "a group over its periods is told before FET runs: " + p.stderr)
    check(not os.path.exists(os.path.join(tmp, "ResultadoZentarimposible.xml")), "impossible data wrote a result")

    # One teacher for every lesson: more hours than the week has, which FET itself finds.
    text = re.sub(r"(<sesion [^>]*>.*?<profesor>)[^<]*(</profesor>)", r"\1MGL\2", open(SAMPLE, encoding="utf-8").read())
    open(impossible, "w", encoding="utf-8").write(text)
    p = run("resolver", impossible, "--marcos", "M,T", code=1)
    check("FET no puede resolver estos datos" in p.stderr and "FET dice: «" in p.stderr,
          "impossible data is told in Spanish with FET's words: " + p.stderr)
    check(not os.path.exists(os.path.join(tmp, "ResultadoZentarimposible.xml")), "impossible data wrote a result")

    # A period's Tipo is free text: schools that write "Lectivo", "LECTIVA" or "Clase" solve; one
    # whose every period is a break is told so in Spanish, before FET.
    # Nothing hidden: the sample's resolver names the lesson the export left out (Latín, whose
    # subject the document does not list) in its finished line, and --informe has every finding.
    report = os.path.join(tmp, "informe.csv")
    p = run("resolver", doc, "--marcos", "M,T", "--informe", report)
    lines = p.stdout.splitlines()  # FET's progress line may come first
    finished = next((i for i, line in enumerate(lines) if line.startswith("Proceso finalizado")), -2)
    check(lines[finished + 1].startswith("Fuera del horario (1): sesión 127 (Latín)"), "the lesson left out: " + p.stdout)
    check("sesión 131: profesor 'XYZ'" in p.stdout, "the export's findings are shown: " + p.stdout)
    check("Calidad: 0 huecos de alumnos;" in p.stdout, "the result's quality is told: " + p.stdout)
    with open(report, encoding="utf-8") as f:
        csv = f.read()
    check("127" in csv and "XYZ" in csv and "MGL1" in csv, "--informe holds the export's findings: " + csv)
    os.remove(result)

    for kind in ("Lectivo", "LECTIVA", "Clase"):
        other = os.path.join(tmp, f"tipo_{kind}.xml")
        open(other, "w", encoding="utf-8").write(open(SAMPLE, encoding="utf-8").read().replace(
            "<Tipo>Lectiva</Tipo>", f"<Tipo>{kind}</Tipo>"))
        p = run("resolver", other, "--marcos", "M,T")
        check(f"'{kind}': lectivo, 50 tramos" in p.stdout, f"Tipo {kind}: " + p.stdout[:600])
    other = os.path.join(tmp, "tipo_recreo.xml")
    open(other, "w", encoding="utf-8").write(open(SAMPLE, encoding="utf-8").read().replace(
        "<Tipo>Lectiva</Tipo>", "<Tipo>Recreo</Tipo>"))
    p = run("resolver", other, "--marcos", "M,T", code=1)
    check("no tiene ningún tramo lectivo" in p.stderr and "'Recreo': no lectivo, 50 tramos" in p.stderr,
          "only breaks: " + p.stderr)

    # A school of 320 groups (11 202 hours; FET needs some seconds) and one second: FET does not
    # finish, and says how far it got. (The 40-group school solves in a fraction of a second, and
    # one of 160 groups only just within the second.)
    large = os.path.join(tmp, "grande.xml")
    open(large, "w", encoding="utf-8").write(school_xml(make_school(units=(80, 40), staff=440)))
    p = run("resolver", large, "--marcos", "M,T", "--segundos", "1", code=1)
    check("FET no terminó en 1 s" in p.stderr and "--segundos" in p.stderr, "a time-out is told: " + p.stderr)
    check(not os.path.exists(os.path.join(tmp, "ResultadoZentargrande.xml")), "a time-out wrote a result")
    kept = p.stderr.split("Su mejor horario está en ")[-1].split("; ")[0]
    check("--marcos M,T" in p.stderr, "the time-out says how to import the best timetable: " + p.stderr)
    if os.path.isdir(kept):
        # The best timetable so far can still be imported, its missing hours told.
        p = run("importar", large, "--fet", kept, "--marcos", "M,T")
        check("sin colocar" in p.stdout, "a partial solution's missing hours are told: " + p.stdout[-1500:])
        shutil.rmtree(os.path.dirname(kept), ignore_errors=True)
    else:
        check(False, "the time-out names the folder of FET's best timetable: " + p.stderr)
    check(not os.path.exists(result), "a failed resolver wrote a result")

    # Ctrl+C while FET works on the same school: passed on to FET as
    # SIGTERM, so that it writes its best timetable; no result document.
    partial_result = os.path.join(tmp, "ResultadoZentargrande.xml")  # of the partial import above
    if os.path.exists(partial_result):
        os.remove(partial_result)
    c = subprocess.Popen([CLI, "resolver", large, "--marcos", "M,T", "--segundos", "300"], stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, text=True)
    started = c.stdout.readline()  # said once FET has been at work for half a second
    # FET keeps a best timetable only once it has begun placing (a second in, even on a busy
    # machine); stopped before, it has nothing to keep, and resolver says so.
    time.sleep(2)
    c.send_signal(signal.SIGINT)
    out, err = c.communicate(timeout=300)
    check("FET está resolviendo" in started, "resolver says FET is at work: " + started)
    check(c.returncode == 130 and "Interrumpido: FET llegó a colocar" in err, f"Ctrl+C: {c.returncode} {err}")
    kept = err.split("Su mejor horario está en ")[-1].split("; ")[0]
    check(os.path.isdir(os.path.join(kept, "timetables")), "after Ctrl+C FET's best timetable is kept: " + err)
    check(not os.path.exists(partial_result), "Ctrl+C wrote a result")
    shutil.rmtree(os.path.dirname(kept), ignore_errors=True)

finish()
