#include "cli/timetable_command.h"

#include "cli/run_output.h"
#include "platform/error.h"
#include "platform/whole_file.h"
#include "timetable/timetable_html.h"
#include "timetable/timetable_pdf.h"
#include "timetable/quality.h"

#include <QDir>
#include <QFileInfo>

namespace quintaro::cli {

bool needsGui(const QStringList& arguments)
{
    return !arguments.isEmpty() && arguments.front().compare(u"horario", Qt::CaseInsensitive) == 0
        && std::any_of(arguments.begin(), arguments.end(), [](const QString& a) { return a.startsWith(u"--pdf"); });
}

namespace {
void writeTo(const QString& path, const QByteArray& content, const char* what, QTextStream& out)
{
    if (const auto failure = writeWholeFile(path, content))
        throw RunError(QStringLiteral("No se puede escribir el %1 %2: %3")
                           .arg(QString::fromUtf8(what), QDir::toNativeSeparators(path), failure->reason));
    out << "Escrito " << what << ": " << QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()) << Qt::endl;
}
} // namespace

int horario(const QCommandLineParser& p, QTextStream& out, QTextStream&)
{
    const QString document = documentOf(p);
    if (!QFileInfo(document).isFile())
        throw RunError(QStringLiteral("No existe %1").arg(QDir::toNativeSeparators(document)));
    timetable::Timetable table = timetable::readTimetable(document);
    const struct {
        const char* option;
        timetable::Grid::Kind kind;
    } filters[] = {{"grupo", timetable::Grid::Kind::Group},
                   {"profesor", timetable::Grid::Kind::Teacher},
                   {"aula", timetable::Grid::Kind::Room}};
    int given = 0;
    for (const auto& f : filters)
        if (p.isSet(QString::fromLatin1(f.option))) {
            ++given;
            timetable::keepOnly(table, {f.kind, p.value(QString::fromLatin1(f.option))});
        }
    if (given > 1)
        throw UsageError(QStringLiteral("Elija una sola rejilla: --grupo, --profesor o --aula"));

    qsizetype groups = 0, teachers = 0, rooms = 0;
    for (const timetable::Grid& g : table.grids)
        ++(g.kind == timetable::Grid::Kind::Group ? groups : g.kind == timetable::Grid::Kind::Teacher ? teachers : rooms);
    out << "Horario de " << table.document << ": " << groups << " grupos, " << teachers << " profesores, " << rooms
        << " aulas." << Qt::endl;
    out << timetable::qualityLine(table.quality) << Qt::endl;
    for (const timetable::HoursProblem& h : table.hoursProblems)
        out << "  sesión " << h.lesson << " (" << h.subject << ", " << h.group << "): " << h.placed << " de " << h.hours
            << " horas colocadas" << Qt::endl;
    for (const QString& line : table.clashes + table.inBreaks)
        out << "  " << line << Qt::endl;
    if (p.isSet(QStringLiteral("html")))
        writeTo(p.value(QStringLiteral("html")), timetable::timetableHtml(table).toUtf8(), "HTML", out);
    if (p.isSet(QStringLiteral("pdf")))
        writeTo(p.value(QStringLiteral("pdf")), timetable::timetablePdf(table), "PDF", out);
    return Ok;
}

} // namespace quintaro::cli
