#!/usr/bin/python3
"""The timetable of the sample school as a person sees it: the HTML in a real browser (Debian's
headless Chromium: its DOM read back and a picture taken) and the PDF read back with pdftotext.
Every group, teacher and named room that has a slot has its grid, each group's subjects on its
own page.
"""
import html.parser
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from collections import defaultdict

from cli_harness import check, finish, run, sample_round_trip





class Sections(html.parser.HTMLParser):
    """The h2 of each grid's section in a DOM, and whether every element that opened also closed."""

    def __init__(self):
        super().__init__()
        self.titles, self.open, self.in_h2, self.depth = [], [], False, 0

    def handle_starttag(self, tag, attrs):
        if tag in ("br", "meta", "link", "img"):
            return
        self.open.append(tag)
        self.in_h2 = tag == "h2"
        if self.in_h2:
            self.titles.append("")

    def handle_endtag(self, tag):
        if tag in self.open:
            while self.open and self.open.pop() != tag:
                pass
        self.in_h2 = False

    def handle_data(self, data):
        if self.in_h2:
            self.titles[-1] += data


browser = shutil.which("chromium") or shutil.which("chromium-browser")
if not browser or not shutil.which("pdftotext"):
    sys.exit("Faltan chromium o pdftotext: ./test.sh instala chromium y poppler-utils")

with tempfile.TemporaryDirectory() as tmp:
    doc, vtemp, result = sample_round_trip(tmp)

    # What has a slot, from the result document itself.
    root = ET.parse(result).getroot()
    group_of = {s.get("id"): s.findtext("grupo") for s in root.iter("sesion") if s.get("id")}
    subject_of = {s.get("id"): s.findtext("materia") for s in root.iter("sesion") if s.get("id")}
    full = {}
    for teacher in root.findall("profesores/profesor"):  # a short name two share is the first's
        full.setdefault(teacher.findtext("nombre"), teacher.findtext("nombreCompleto"))
    groups, teachers, rooms = set(), set(), set()
    subjects_of_group = defaultdict(set)
    for tramo in root.find("horario").iter("tramo"):
        aula = tramo.find("aula")
        lesson = aula.findtext("sesion")
        groups.add(group_of[lesson])
        subjects_of_group[group_of[lesson]].add(subject_of[lesson])
        if aula.findtext("profesor"):
            teachers.add(aula.findtext("profesor"))
        if aula.get("id"):
            rooms.add(aula.get("id"))
    expected = {f"Grupo {g}" for g in groups} | {f"Aula {r}" for r in rooms} | {
        f"Profesor {full[t]} ({t})" if full.get(t) else f"Profesor {t}" for t in teachers}

    page, pdf = os.path.join(tmp, "horario.html"), os.path.join(tmp, "horario.pdf")
    p = run("horario", result, "--html", page, "--pdf", pdf)
    lint = subprocess.run(["xmllint", "--html", "--noout", page], capture_output=True, text=True)
    check(lint.returncode == 0 and not lint.stderr, "the HTML is well-formed: " + lint.stderr)
    with open(page, encoding="utf-8") as f:
        source = f.read()
    check("<script" not in source and "http" not in source.replace("http-equiv", ""),
          "the HTML is self-contained (no scripts, nothing from outside)")

    flags = ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", f"--user-data-dir={tmp}/perfil"]
    dom = subprocess.run([browser, *flags, "--dump-dom", "file://" + page], capture_output=True, text=True, timeout=120)
    check(dom.returncode == 0 and "<h2>" in dom.stdout, "Chromium renders the page: " + dom.stderr[-500:])
    sections = Sections()
    sections.feed(dom.stdout)
    titles = [t.strip() for t in sections.titles]
    check(set(titles) == expected and len(titles) == len(expected),
          f"one grid for every group, teacher and room with a slot: {sorted(set(titles) ^ expected)}")
    picture = os.path.join(tmp, "horario.png")
    subprocess.run([browser, *flags, f"--screenshot={picture}", "--window-size=1200,1600", "file://" + page],
                   capture_output=True, timeout=120)
    check(os.path.isfile(picture) and os.path.getsize(picture) > 20000, "Chromium draws the page")

    text = subprocess.run(["pdftotext", pdf, "-"], capture_output=True, text=True).stdout
    pages = [re.sub(r"\s+", " ", page_text) for page_text in text.split("\f")]
    for group, subjects in subjects_of_group.items():
        own = [t for t in pages if f"Grupo {group} " in t]
        check(len(own) == 1, f"the PDF has one page for {group}: {len(own)}")
        for subject in subjects:
            # A long name may wrap in its cell: its first word is enough to find it.
            check(any(subject.split()[0] in t for t in own), f"{group}'s page shows {subject}")

    # Every grid on one page of its own, however tall: the same slots placed six times over stack
    # six lessons in every cell, and each grid is drawn smaller to fit.
    tall = os.path.join(tmp, "ResultadoZentaralto.xml")
    with open(result, encoding="utf-8") as f:
        content = f.read()
    start, end = content.rindex("<horario"), content.rindex("</horario>")
    body = content[content.index(">", start) + 1:end]
    with open(tall, "w", encoding="utf-8") as f:
        f.write(content[:end] + body * 5 + content[end:])
    tall_pdf = os.path.join(tmp, "alto.pdf")
    p = run("horario", tall, "--pdf", tall_pdf)
    info = subprocess.run(["pdfinfo", tall_pdf], capture_output=True, text=True).stdout
    pages_of_tall = int(re.search(r"Pages:\s+(\d+)", info).group(1))
    text = subprocess.run(["pdftotext", tall_pdf, "-"], capture_output=True, text=True).stdout
    titles = [t for t in text.split("\f") if re.search(r"(Grupo|Profesor|Aula) ", t)]
    check(pages_of_tall == len(titles) == len(pages) - 1,
          f"a tall grid takes one page: {pages_of_tall} pages, {len(titles)} with a title, {len(pages) - 1} grids")

    # One grid alone, and a name that is not there.
    p = run("horario", result, "--grupo", "1º ESO A", "--html", page)
    with open(page, encoding="utf-8") as f:
        check(f.read().count("<h2>") == 1, "--grupo keeps one grid")
    p = run("horario", result, "--profesor", "NADIE", code=1)
    check("no tiene profesor «NADIE»" in p.stderr and "MGL" in p.stderr, "an unknown teacher lists who is there: " + p.stderr)
    p = run("horario", doc, code=1)
    check("no tiene sección horario" in p.stderr, "the chosen document is not a result: " + p.stderr)

finish()
