// Writes a synthetic interchange document at a chosen scale, the same for the same seed.
// Scale 1 is a typical secondary school: about 80 subjects, 5 tasks, 100 teachers, 60 rooms, a
// generic room set, 2 time frames of 5 days x 7 periods, 40 groups and 1 000 lessons of 1 to 5
// weekly hours. Everything but the frames grows with the scale. Those lessons fall on groups at
// random, many more hours than a week has: a document to measure, not one to solve.
//
// With --resoluble the lessons make a school a solver can place: each group has a plan of 10
// subjects and 29 hours against its frame's 35 periods, a subject's hours now and then as two
// lessons of one teacher, now and then two teachers in one lesson, and no teacher past 20 hours.
//
//   quintaro-generate-school SCALE SEED OUTPUT.xml [--resoluble]

#include <QCoreApplication>
#include <QFile>
#include <QXmlStreamWriter>

#include <cstdio>
#include <random>
#include <string_view>
#include <vector>

namespace {

const char* const kSubjects[] = {"Matemáticas",
                                 "Lengua Castellana",
                                 "Inglés",
                                 "Francés",
                                 "Física y Química",
                                 "Biología y Geología",
                                 "Geografía e Historia",
                                 "Educación Física",
                                 "Música",
                                 "Tecnología",
                                 "Dibujo Técnico",
                                 "Filosofía",
                                 "Latín",
                                 "Griego",
                                 "Economía",
                                 "Informática"};
const char* const kSurnames[] = {
    "García",  "Fernández", "González",  "Rodríguez", "López",  "Martínez", "Sánchez", "Pérez",   "Gómez",  "Martín",
    "Jiménez", "Ruiz",      "Hernández", "Díaz",      "Moreno", "Muñoz",    "Álvarez", "Romero",  "Alonso", "Gutiérrez",
    "Navarro", "Torres",    "Domínguez", "Vázquez",   "Ramos",  "Gil",      "Ramírez", "Serrano", "Blanco", "Molina"};
const char* const kNames[] = {"María", "José",  "Antonio",   "Carmen",   "Ana",   "Manuel", "Lucía", "Javier", "Isabel",
                              "David", "Laura", "Francisco", "Cristina", "Íñigo", "Begoña", "Raúl",  "Nuria",  "Óscar"};
const char* const kRooms[] = {"Aula",     "Laboratorio de Física", "Laboratorio de Química", "Taller de Tecnología",
                              "Gimnasio", "Aula de Música",        "Aula de Informática",    "Biblioteca"};
const char* const kLevels[] = {"ESO", "BACH", "FPB", "CFGM"};

struct Frame {
    const char* id;
    int start; // minutes
};
constexpr Frame kFrames[] = {{"M", 8 * 60}, {"T", 15 * 60}};
constexpr int kDays = 5;
constexpr int kPeriods = 7;

QString str(const char* s) { return QString::fromUtf8(s); }
QString hhmm(int minutes)
{
    return QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QChar(u'0')).arg(minutes % 60, 2, 10, QChar(u'0'));
}

void writeLesson(QXmlStreamWriter& xml, int id, const QString& subject, const QStringList& teachers,
                 const QString& group, int hours)
{
    xml.writeStartElement(QStringLiteral("sesion"));
    xml.writeAttribute(QStringLiteral("id"), QString::number(id));
    xml.writeTextElement(QStringLiteral("materia"), subject);
    for (const QString& teacher : teachers)
        xml.writeTextElement(QStringLiteral("profesor"), teacher);
    xml.writeTextElement(QStringLiteral("grupo"), group);
    xml.writeStartElement(QStringLiteral("distribucionSemanal"));
    xml.writeStartElement(QStringLiteral("distribucionVariable"));
    xml.writeTextElement(QStringLiteral("numSesiones"), QString::number(hours));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeTextElement(QStringLiteral("tarea"), QString());
    xml.writeEndElement();
}

// Each group's 29 hours in 10 subjects; teachers taken least loaded first, none past 20 hours.
template <typename Pick>
void writeSolvableLessons(QXmlStreamWriter& xml, const QStringList& subjects, const QStringList& teachers,
                          const QStringList& groups, Pick& pick)
{
    constexpr int kPlan[] = {4, 4, 3, 3, 3, 3, 3, 2, 2, 2};
    constexpr int kMaxLoad = 20;
    std::vector<int> load(size_t(teachers.size()), 0);
    int next = 0; // teachers are looked at in turn from here, which spreads them
    const auto teacherFor = [&](int hours, int other) {
        for (int k = 0; k < teachers.size(); ++k) {
            const int t = (next + k) % int(teachers.size());
            if (t != other && load[size_t(t)] + hours <= kMaxLoad) {
                next = t + 1;
                load[size_t(t)] += hours;
                return t;
            }
        }
        return -1;
    };
    int id = 200000;
    for (int g = 0; g < groups.size(); ++g)
        for (int k = 0; k < int(std::size(kPlan)); ++k) {
            const QString& subject = subjects[(g + 7 * k) % subjects.size()];
            const int hours = kPlan[k];
            const int kind = pick(10);
            const int t = teacherFor(hours, -1);
            if (t < 0)
                return; // no teacher left: the document ends with the lessons placed so far
            if (kind == 0 && hours >= 3) { // two lessons of one teacher
                writeLesson(xml, id++, subject, {teachers[t]}, groups[g], hours - 1);
                writeLesson(xml, id++, subject, {teachers[t]}, groups[g], 1);
            } else if (kind == 1) { // two teachers in one lesson; the first has it
                const int second = teacherFor(0, t);
                writeLesson(xml, id++, subject, {teachers[t], teachers[second < 0 ? t : second]}, groups[g], hours);
            } else {
                writeLesson(xml, id++, subject, {teachers[t]}, groups[g], hours);
            }
        }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const bool solvable = argc == 5 && std::string_view(argv[4]) == "--resoluble";
    if (argc != 4 && !solvable) {
        std::fprintf(stderr, "uso: %s ESCALA SEMILLA SALIDA.xml [--resoluble]\n", argv[0]);
        return 2;
    }
    const int scale = std::max(1, std::atoi(argv[1]));
    std::mt19937 random(static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)));
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };

    QFile file(QString::fromLocal8Bit(argv[3]));
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "no se puede escribir %s\n", argv[3]);
        return 1;
    }
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("datosGHC"));

    const int subjects = 80 * scale, tasks = 5 * scale, teachers = 100 * scale, rooms = 60 * scale, groups = 40 * scale,
              lessons = 1000 * scale;

    QStringList subjectNames;
    xml.writeStartElement(QStringLiteral("materias"));
    for (int i = 0; i < subjects; ++i) {
        subjectNames
            << QStringLiteral("%1 %2").arg(str(kSubjects[i % std::size(kSubjects)])).arg(i / std::size(kSubjects) + 1);
        xml.writeTextElement(QStringLiteral("materia"), subjectNames.back());
    }
    xml.writeEndElement();

    QStringList taskCodes;
    xml.writeStartElement(QStringLiteral("tareas"));
    for (int i = 0; i < tasks; ++i) {
        const QString task = QStringLiteral("Guardia %1 de patio").arg(i + 1);
        taskCodes << task.left(10);
        xml.writeTextElement(QStringLiteral("tarea"), task);
    }
    xml.writeEndElement();

    QStringList teacherCodes;
    xml.writeStartElement(QStringLiteral("profesores"));
    for (int i = 0; i < teachers; ++i) {
        const QString name = str(kNames[pick(std::size(kNames))]);
        const QString first = str(kSurnames[pick(std::size(kSurnames))]),
                      second = str(kSurnames[pick(std::size(kSurnames))]);
        teacherCodes << QStringLiteral("%1%2%3%4").arg(name.left(1), first.left(1), second.left(1)).arg(i);
        xml.writeStartElement(QStringLiteral("profesor"));
        xml.writeTextElement(QStringLiteral("nombre"), teacherCodes.back());
        xml.writeTextElement(QStringLiteral("nombreCompleto"), name + u' ' + first + u' ' + second);
        xml.writeEndElement();
    }
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("aulas"));
    for (int i = 0; i < rooms; ++i) {
        xml.writeStartElement(QStringLiteral("aula"));
        xml.writeTextElement(QStringLiteral("nombre"),
                             QStringLiteral("%1 %2").arg(str(kRooms[i % std::size(kRooms)])).arg(i + 1));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("conjuntoDeAulas"));
    xml.writeEmptyElement(QStringLiteral("general"));
    xml.writeAttribute(QStringLiteral("nombre"), QStringLiteral("Aula de grupo"));
    xml.writeAttribute(QStringLiteral("numero"), QString::number(10 * scale));
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("marcosDeHorario"));
    for (const Frame& frame : kFrames) {
        xml.writeStartElement(QStringLiteral("marcoHorario"));
        xml.writeAttribute(QStringLiteral("id"), str(frame.id));
        for (int day = 0; day < kDays; ++day)
            for (int period = 1; period <= kPeriods; ++period) {
                const int start = frame.start + (period - 1) * 60;
                xml.writeStartElement(QStringLiteral("tramo"));
                xml.writeTextElement(QStringLiteral("submarco"), str(frame.id));
                xml.writeTextElement(QStringLiteral("dia"), QString::number(day));
                xml.writeTextElement(QStringLiteral("indice"), QString::number(period));
                xml.writeTextElement(QStringLiteral("horaEntrada"), hhmm(start));
                xml.writeTextElement(QStringLiteral("horaSalida"), hhmm(start + 55));
                xml.writeTextElement(QStringLiteral("Tipo"), QStringLiteral("Lectiva"));
                xml.writeEndElement();
            }
        xml.writeEndElement();
    }
    xml.writeEndElement();

    QStringList groupNames;
    xml.writeStartElement(QStringLiteral("grupos"));
    for (int i = 0; i < groups; ++i) {
        const QString level = str(kLevels[i % std::size(kLevels)]);
        const QString course = QString::number(i / std::size(kLevels) % 4 + 1);
        const QString unit = QString(QChar(u'A' + i / 16 % 26));
        groupNames << QStringLiteral("%1º %2 %3 (%4)").arg(course, level, unit).arg(i + 1);
        xml.writeStartElement(QStringLiteral("grupo"));
        xml.writeAttribute(QStringLiteral("submarco"), str(kFrames[i % 2].id));
        xml.writeTextElement(QStringLiteral("nombre"), groupNames.back());
        xml.writeTextElement(QStringLiteral("nivel"), level);
        xml.writeTextElement(QStringLiteral("curso"), course);
        xml.writeTextElement(QStringLiteral("unidad"), unit);
        xml.writeEndElement();
    }
    xml.writeEndElement();

    xml.writeStartElement(QStringLiteral("sesionesLectivas"));
    if (solvable) {
        writeSolvableLessons(xml, subjectNames, teacherCodes, groupNames, pick);
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndDocument();
        return file.error() == QFileDevice::NoError ? 0 : 1;
    }
    for (int i = 0; i < lessons; ++i) {
        xml.writeStartElement(QStringLiteral("sesion"));
        xml.writeAttribute(QStringLiteral("id"), QString::number(100000 + i));
        xml.writeTextElement(QStringLiteral("materia"), subjectNames[pick(subjects)]);
        xml.writeTextElement(QStringLiteral("profesor"), teacherCodes[pick(teachers)]);
        xml.writeTextElement(QStringLiteral("grupo"), groupNames[i % groups]);
        xml.writeStartElement(QStringLiteral("distribucionSemanal"));
        xml.writeStartElement(QStringLiteral("distribucionVariable"));
        xml.writeTextElement(QStringLiteral("numSesiones"), QString::number(1 + pick(5)));
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeTextElement(QStringLiteral("tarea"), pick(20) == 0 ? taskCodes[pick(tasks)] : QString());
        xml.writeEndElement();
    }
    xml.writeEndElement();

    xml.writeEndElement();
    xml.writeEndDocument();
    return file.error() == QFileDevice::NoError ? 0 : 1;
}
