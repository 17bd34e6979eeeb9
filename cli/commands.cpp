#include "cli/commands.h"

#include "cli/cli_ui.h"
#include "cli/command_table.h"
#include "cli/fet_commands.h"
#include "cli/output_guard.h"
#include "cli/run_output.h"
#include "cli/timetable_command.h"
#include "cli/table_printer.h"
#include "export/export_document.h"
#include "export/used_codes.h"
#include "platform/error.h"
#include "platform/whole_file.h"
#include "platform/held_work_dir.h"
#include "platform/table_staging.h"
#include "platform/text.h"
#include "run/manual_location.h"
#include "quintaro_version.h"
#include "run/report_text.h"
#include "run/session.h"
#include "tables/period_kinds.h"
#include "tables/school_tables.h"
#include "tools/velmora_standin.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <map>
#include <vector>

namespace quintaro::cli {

namespace {

#ifdef Q_OS_WIN
const Option kDir{"dir", "CARPETA", "Carpeta de trabajo de Velmora (por omisión QUINTARO_VTEMP o C:\\VTEMP)."};
#else
const Option kDir{"dir", "CARPETA",
                  "Carpeta de trabajo de Velmora (por omisión QUINTARO_VTEMP o C:\\VTEMP dentro de Wine)."};
#endif

const Option kBreaks{"no-lectivos", "TEXTO[,TEXTO]",
                     "Tipos de tramo que el centro usa para sus descansos, además de Recreo, Descanso, Patio, "
                     "Comida, Almuerzo, Comedor, Pausa y No lectivo."};

// What a school asks of its timetable, for the FET runs.
const Option kStudentGaps{"huecos-alumnos", "N|no", "Huecos a la semana que puede tener un grupo (por omisión 0)."};
const Option kTeacherGaps{"huecos-profesor", "N|no",
                          "Huecos a la semana que puede tener un profesor (por omisión 3)."};
const Option kEarly{"primera-hora", "si|no", "Cada grupo empieza cada día en su primer tramo lectivo (por omisión si)."};
const Option kDifferentDays{"dias-distintos", "si|no",
                            "Las horas de una sesión, en días distintos cuando caben (por omisión si)."};

const Option kRules{"reglas", "ANTERIOR.fet",
                    "Conserva las reglas que el centro añadió en FET a ese archivo (profesores no disponibles, "
                    "actividades a la misma hora, aulas…)."};

const Option kReport{"informe", "ARCHIVO",
                     "Escribe además el informe en ARCHIVO, como CSV (categoría;sesión;valor;detalle)."};

// --dir, or the default working directory, held for this command (locked, an interrupted swap
// finished first and said on `err`); not made when missing (these commands need tables there).
HeldWorkDir workDirOf(const QCommandLineParser& p, QTextStream& err)
{
    HeldWorkDir held = holdWorkDir(p.value(QStringLiteral("dir")), false, exportFileSet());
    if (!held.recovered.isEmpty())
        err << text::withFullStop(held.recovered) << Qt::endl;
    return held;
}

int exportar(const QCommandLineParser& p, QTextStream& out, QTextStream& err)
{
    const QStringList frames = framesOf(p);
    CliUi ui(QFileInfo(p.positionalArguments().at(1)).absoluteFilePath(), frames, out, err);
    Session session;
    session.setWorkDirectory(p.value(QStringLiteral("dir")));
    const RunResult run = session.runExport(ui);
    const RunReport& report = run.report;
    const int code = finish(run.outcome, report, session, ui, out, err);
    session.keepDocumentsUntilExit();
    if (run.outcome == Session::Outcome::Failed) {
        printReport(p, report, err);
        err << "Para ver todos los problemas del documento a la vez: quintaro-cli comprobar "
            << QDir::toNativeSeparators(QFileInfo(p.positionalArguments().at(1)).absoluteFilePath()) << Qt::endl;
    }
    if (run.outcome == Session::Outcome::Finished) {
        const WorkDir dir(report.workDirectory);
        out << "Tablas de Velmora en " << QDir::toNativeSeparators(dir.path());
        // The first export into an empty folder replaced nothing, and promises nothing back.
        if (!dir.subfolder(kPreviousFolder).filesNamed(QStringLiteral("ASIGT.DBF")).isEmpty())
            out << " (las que había quedan en " << kPreviousFolder << "; 'quintaro-cli restaurar' las devuelve)";
        out << '.' << Qt::endl;
        printReport(p, report, out);
        // With one frame nothing is asked, but a --marcos that names another is worth telling.
        // (An identifier longer than 10 characters is compared as the table keeps it.)
        for (const QString& wanted : frames)
            if (!report.chosenFrames.contains(text::left(text::trimmed(wanted), kFrameIdWidth)))
                out << "Aviso: el documento no tiene el marco '" << text::trimmed(wanted)
                    << "' de --marcos; tiene un solo marco horario (" << report.chosenFrames.join(u',')
                    << ") y se ha exportado ese." << Qt::endl;
    }
    return code;
}

int importar(const QCommandLineParser& p, QTextStream& out, QTextStream& err)
{
    if (p.isSet(QStringLiteral("fet")))
        return importFet(p, out, err);
    if (p.isSet(QStringLiteral("marcos")))
        throw UsageError(QStringLiteral("--marcos solo vale en importar con --fet: la solución de Velmora ya es de los "
                                        "marcos que se exportaron"));
    CliUi ui(QFileInfo(p.positionalArguments().at(1)).absoluteFilePath(), {}, out, err);
    Session session;
    session.setWorkDirectory(p.value(QStringLiteral("dir")));
    const RunResult run = session.runImport(ui);
    const int code = finish(run.outcome, run.report, session, ui, out, err);
    session.keepDocumentsUntilExit();
    if (run.outcome == Session::Outcome::Finished) {
        printReport(p, run.report, out);
        if (run.report.imported.hadSchedule)
            out << "Aviso: el documento elegido ya tenía una sección horario; se ha dejado como estaba y las franjas "
                   "van en la sección nueva, al final."
                << Qt::endl;
    }
    return code;
}

int tabla(const QCommandLineParser& p, QTextStream& out, QTextStream& err)
{
    // A name ("ASIGT", "asigt.dbf") is looked for in the working directory; a path is taken as given.
    QString name = p.positionalArguments().at(1);
    const bool isPath = name.contains(u'/') || name.contains(u'\\');
    if (!isPath && name.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive))
        name.chop(4);
    std::optional<HeldWorkDir> held;
    if (!isPath)
        held.emplace(workDirOf(p, err));
    const WorkDir dir = held ? held->dir : WorkDir(QString());
    const QString path = isPath ? name : dir.tablePath(name);
    if (!QFileInfo(path).isFile())
        throw RunError(isPath ? QStringLiteral("No existe la tabla %1").arg(QDir::toNativeSeparators(path))
                              : QStringLiteral("No existe la tabla %1 en %2").arg(name.toUpper(), QDir::toNativeSeparators(dir.path())));
    DbfTable table(path, DbfTable::Access::Shared);
    printTable(table, out, p.isSet(QStringLiteral("csv")));
    return Ok;
}

int velmora(const QCommandLineParser& p, QTextStream& out, QTextStream& err)
{
    const HeldWorkDir held = workDirOf(p, err);
    const StandinReport r = runVelmoraStandin(held.dir, kindsOf(p));
    out << "SOLUC escrita: " << r.lessons << " sesiones, " << r.hours << " horas semanales; " << r.placed
        << " colocadas (" << r.withoutRoom << " sin aula), " << r.unplaced << " sin colocar (DIA 0)" << Qt::endl;
    return Ok;
}

int manual(const QCommandLineParser&, QTextStream& out, QTextStream&)
{
    QFile file(QStringLiteral(":/manual/manual.md"));
    if (!file.open(QIODevice::ReadOnly))
        throw RunError(QStringLiteral("El manual no está en este programa; puede leerlo en %1").arg(manualLocation()));
    out << QString::fromUtf8(file.readAll());
    return Ok;
}

int comprobar(const QCommandLineParser& p, QTextStream& out, QTextStream& err)
{
    const QStringList frames = framesOf(p);
    CliUi ui(QFileInfo(p.positionalArguments().at(1)).absoluteFilePath(), frames, out, err);
    Session session;
    // What any solver will meet: how each period kind is taken, and the groups that cannot fit.
    const DocumentCheck check = session.checkDocument(ui);
    if (check.outcome == Session::Outcome::NoDocument)
        return finish(check.outcome, check.report, session, ui, out, err);
    QStringList kinds, overTheirPeriods;
    if (check.folder) {
        const tables::SchoolTables school = tables::readSchoolTables(check.tables());
        kinds = tables::kindsTaken(school.periods, kindsOf(p));
        overTheirPeriods = tables::groupsOverTheirPeriods(school, kindsOf(p));
    }
    const RunReport& report = check.report;
    const qsizetype stops = report.exported.count(Finding::WouldStop);
    const qsizetype warnings = qsizetype(report.exported.findings.size()) - stops;
    if (stops > 0)
        out << "La exportación se detendría: " << stops << (stops == 1 ? " error" : " errores")
            << " que corregir en Escolaria, y " << warnings << " avisos para revisar." << Qt::endl;
    else
        out << "El documento se exportaría sin errores; " << warnings << " avisos para revisar." << Qt::endl;
    if (!kinds.isEmpty())
        out << "Tramos por su Tipo: " << kinds.join(QStringLiteral("; ")) << '.' << Qt::endl;
    if (!overTheirPeriods.isEmpty())
        out << "Ni Velmora ni FET podrán colocar todas las horas:" << Qt::endl
            << "  " << overTheirPeriods.join(QStringLiteral(".\n  ")) << '.' << Qt::endl;
    printReport(p, report, out);
    return stops > 0 ? RunFailed : Ok;
}

// The document's texts behind a table's stored names, for the names stored otherwise than written:
// found through the form the table stores them in, or the start of it when the field cut them.
class DocumentTexts {
public:
    DocumentTexts(const DbfTable& table, const XmlCapture& document, const std::vector<const char*>& paths)
    {
        for (const char* path : paths) {
            const CapturedList& list = document.select(path);
            for (size_t i = 0; i < list.size(); ++i) {
                const QString text = QString::fromUtf8(list.text(i)).trimmed();
                m_textOfStored.emplace(table.asStored(text), text); // the first text of a form keeps it
            }
        }
    }
    // The document's text for a stored name, when it differs from it; empty otherwise.
    QString of(const QString& storedName) const
    {
        if (storedName.isEmpty())
            return {};
        // The texts that start with the stored name come first from its place in the order.
        const auto it = m_textOfStored.lower_bound(storedName);
        if (it == m_textOfStored.end() || !it->first.startsWith(storedName) || it->second == storedName)
            return {};
        return it->second;
    }

private:
    std::map<QString, QString> m_textOfStored;
};

// Each table's code beside the whole name it stands for, as the export would write them; and the
// document's own text where the table could not keep it (a character outside its code page, a
// name cut to its field).
void listCodes(const WorkDir& dir, const XmlCapture& document, bool csv, QTextStream& out)
{
    const struct {
        const char* table;
        const char* code;
        const char* name;
        const char* heading;
        std::vector<const char*> texts; // the document's texts the rows come from
    } tables[] = {{"ASIGNOMT", "COD", "NOMBRE", "Asignaturas y tareas", {paths::kMaterias, paths::kTareas}},
                  {"PROFT", "ABREV", "NOMBRE", "Profesores", {paths::kProfesorNombreCompleto}},
                  {"AULAT", "ABREV", "NOMBRE", "Aulas", {paths::kAulaNombre}},
                  {"GRUPOST", "ABREV", "DESCRIP", "Grupos", {paths::kGrupoNombre}}};
    if (csv)
        out << "tabla;código;nombre;nombre en el documento" << Qt::endl;
    for (const auto& t : tables) {
        DbfTable table(dir.tablePath(QString::fromLatin1(t.table)), DbfTable::Access::Shared);
        const int code = table.fieldIndex(QString::fromLatin1(t.code));
        const int name = table.fieldIndex(QString::fromLatin1(t.name));
        const DocumentTexts written(table, document, t.texts);
        if (!csv)
            out << t.heading << " (" << t.table << "." << t.code << "):" << Qt::endl;
        for (table.first(); !table.eof(); table.next()) {
            const QString stored = table.text(name);
            const QString own = written.of(stored);
            if (csv)
                out << t.table << ';' << table.text(code) << ';' << stored << ';' << own << Qt::endl;
            else
                out << "  " << table.text(code).leftJustified(kCodeLength) << "  " << stored
                    << (own.isEmpty() ? QString() : QStringLiteral("  (en el documento: %1)").arg(own)) << Qt::endl;
        }
    }
}

int codigos(const QCommandLineParser& p, QTextStream& out, QTextStream& err)
{
    const QStringList frames = framesOf(p);
    CliUi ui(QFileInfo(p.positionalArguments().at(1)).absoluteFilePath(), frames, out, err);
    Session session;
    const bool csv = p.isSet(QStringLiteral("csv"));
    const DocumentCheck check = session.checkDocument(ui);
    if (check.outcome == Session::Outcome::NoDocument)
        return finish(check.outcome, check.report, session, ui, out, err);
    // The listing is of tables the steps made to the end; a check that found what would stop
    // the export still made them, and says so after.
    // The texts are those the check read: the document is not read again.
    if (check.folder && session.exportedDocument())
        listCodes(check.tables(), session.exportedDocument()->capture(), csv, out);
    if (check.outcome == Session::Outcome::Failed) {
        err << "El documento no se puede exportar tal como está; 'quintaro-cli comprobar' dice por qué." << Qt::endl;
        return RunFailed;
    }
    return Ok;
}

int restaurar(const QCommandLineParser& p, QTextStream& out, QTextStream& err)
{
    const HeldWorkDir held = workDirOf(p, err);
    restorePreviousExport(held.dir);
    out << "Se han vuelto a poner las tablas de la exportación anterior en " << QDir::toNativeSeparators(held.dir.path())
        << "; las que había quedan como anteriores (otro 'restaurar' las devuelve)." << Qt::endl;
    return Ok;
}

} // namespace

const std::vector<Command>& commands()
{
    static const std::vector<Command> all = {
        {"exportar",
         "DOC.xml",
         "Convierte el documento de Escolaria en las seis tablas de Velmora.",
         {{"marcos", "ID[,ID]", "Marcos horarios elegidos (uno o dos), si el documento tiene varios."}, kDir, kReport},
         exportar},
        {"importar",
         "DOC.xml",
         "Escribe la solución de Velmora (SOLUC), o la de FET con --fet, como sección horario en "
         "ResultadoZentar<DOC.xml>.",
         {kDir, kReport,
          {"fet", "RUTA", "La solución de FET: la carpeta de resultados de fet-cl o su archivo …_activities.xml."},
          {"marcos", "ID[,ID]", "Con --fet: los marcos horarios del archivo de FET, si su solución no los dice."},
          kBreaks},
         importar},
        {"tabla",
         "NOMBRE",
         "Muestra los campos y las filas de una tabla de la carpeta de trabajo.",
         {{"csv", "", "Escribe las filas como CSV."}, kDir},
         tabla},
        {"velmora", "", "Sustituto de Velmora: coloca las sesiones de ASIGT y escribe SOLUC.", {kDir, kBreaks}, velmora},
        {"manual", "", "Muestra el manual de Quintaro (el mismo que abre F1 en la ventana).", {}, manual},
        {"comprobar",
         "DOC.xml",
         "Lee el documento como la exportación y lista todos sus problemas a la vez, sin escribir nada.",
         {{"marcos", "ID[,ID]", "Marcos horarios elegidos (uno o dos), si el documento tiene varios."}, kBreaks, kReport},
         comprobar},
        {"codigos",
         "DOC.xml",
         "Muestra el código que cada asignatura, profesor, aula y grupo recibe en las tablas de Velmora.",
         {{"marcos", "ID[,ID]", "Marcos horarios elegidos (uno o dos), si el documento tiene varios."},
          {"csv", "", "Escribe la lista como CSV (tabla;código;nombre)."}},
         codigos},
        {"fet",
         "DOC.xml",
         "Escribe el archivo de FET (el generador de horarios libre) del documento, para resolverlo con fet-cl.",
         {{"marcos", "ID[,ID]", "Marcos horarios elegidos (uno o dos), si el documento tiene varios."},
          {"salida", "ARCHIVO", "Dónde escribirlo (por omisión, junto al documento con la extensión .fet)."}, kBreaks,
          kStudentGaps, kTeacherGaps, kEarly, kDifferentDays, kRules, kReport},
         fetFile},
        {"resolver",
         "DOC.xml",
         "Resuelve el horario con FET (fet-cl) y escribe el resultado en ResultadoZentar<DOC.xml>.",
         {{"marcos", "ID[,ID]", "Marcos horarios elegidos (uno o dos), si el documento tiene varios."},
          {"segundos", "N", "Tiempo máximo que FET puede buscar, en segundos (por omisión 300)."},
          {"fet-cl", "RUTA", "El programa fet-cl, si no está en el PATH ni en QUINTARO_FET_CL."}, kBreaks,
          kStudentGaps, kTeacherGaps, kEarly, kDifferentDays,
          {"relajar", "si|no",
           "Si FET no puede con todas las reglas, probar de nuevo relajándolas una a una, cada vez con --segundos "
           "(por omisión si)."},
          {"relajar-alumnos", "si|no", "Relajar también, en último lugar, los huecos de los grupos (por omisión no)."},
          kRules, kReport},
         resolver},
        {"horario",
         "RESULTADO.xml",
         "Muestra el horario de un documento resultado como rejillas por grupo, profesor y aula (HTML o PDF).",
         {{"html", "ARCHIVO", "Escribe una página HTML con todas las rejillas (una por página al imprimir)."},
          {"pdf", "ARCHIVO", "Escribe las rejillas como PDF, una por página."},
          {"grupo", "NOMBRE", "Solo la rejilla de ese grupo."},
          {"profesor", "NOMBRE", "Solo la rejilla de ese profesor (su nombre corto)."},
          {"aula", "NOMBRE", "Solo la rejilla de esa aula."}},
         horario},
        {"restaurar",
         "",
         "Vuelve a poner las tablas que sustituyó la última exportación (y guarda las actuales).",
         {kDir},
         restaurar},
    };
    return all;
}

int run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (!arguments.isEmpty() && arguments.front() == u"--pagina-man") {
        printManualPage(out);
        return Ok;
    }
    if (!arguments.isEmpty() && arguments.front() == u"--version") {
        out << "quintaro-cli " << QUINTARO_VERSION_FULL << Qt::endl;
        return Ok;
    }
    if (arguments.isEmpty() || arguments.front() == u"--help" || arguments.front() == u"-h"
        || arguments.front() == u"ayuda" || arguments.front() == u"help") {
        printHelp(arguments.isEmpty() ? err : out);
        return arguments.isEmpty() ? Usage : Ok;
    }
    // The command in any letter case, as the window takes its two words ("EXPORTAR", "Importar").
    const Command* command = nullptr;
    for (const Command& c : commands())
        if (arguments.front().compare(QString::fromUtf8(c.name), Qt::CaseInsensitive) == 0)
            command = &c;
    if (!command) {
        err << "Orden desconocida: " << arguments.front() << Qt::endl;
        printHelp(err);
        return Usage;
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(
        QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Muestra esta ayuda.")));
    for (const Option& o : command->options) {
        if (*o.valueName)
            parser.addOption(QCommandLineOption(QString::fromUtf8(o.name), QString::fromUtf8(o.description),
                                                QString::fromUtf8(o.valueName)));
        else
            parser.addOption(QCommandLineOption(QString::fromUtf8(o.name), QString::fromUtf8(o.description)));
    }
    if (const QString wrong = optionMistake(*command, arguments.mid(1)); !wrong.isEmpty()) {
        err << wrong << Qt::endl << "Uso: " << usageOf(*command) << Qt::endl;
        return Usage;
    }
    if (!parser.parse(QStringList{QStringLiteral("quintaro-cli")} + arguments)) {
        // Whatever optionMistake() did not foresee; Qt's own words follow ours.
        err << "No se entienden las opciones de " << command->name << " (" << parser.errorText() << ")." << Qt::endl
            << "Uso: " << usageOf(*command) << Qt::endl;
        return Usage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        printHelp(out, command);
        return Ok;
    }
    const qsizetype wanted = *command->arguments ? 2 : 1;
    const qsizetype given = parser.positionalArguments().size();
    if (given != wanted) {
        if (given < wanted)
            err << "Falta " << command->arguments << ": la orden " << command->name << " lo necesita." << Qt::endl;
        else
            err << "Sobra " << parser.positionalArguments().mid(wanted).join(QStringLiteral(" "))
                << ": la orden " << command->name << " no lo admite." << Qt::endl;
        err << "Uso: " << usageOf(*command) << Qt::endl;
        return Usage;
    }
    try {
        refuseOutputsOverInputs(parser, QString::fromUtf8(command->name));
        return command->run(parser, out, err);
    } catch (const UsageError& e) {
        err << e.message() << Qt::endl << "Uso: " << usageOf(*command) << Qt::endl;
        return Usage;
    } catch (const RunError& e) {
        err << "Error: " << e.message() << Qt::endl;
        return RunFailed;
    }
}

} // namespace quintaro::cli
