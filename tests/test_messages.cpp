// Every message a person can meet, in one table: Spanish, naming its key facts, with no English
// from the libraries and no internal names standing in for an explanation.
#include "platform/dbf_table.h"
#include "platform/file_lock.h"
#include "platform/ini_file.h"
#include "platform/table_staging.h"
#include "platform/text.h"
#include "platform/xml_document.h"
#include "run/session.h"
#include "test_support.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace quintaro;
using namespace quintaro::test;

namespace {
// The message of a run through the session (what the error box shows).
QString exportError(const QByteArray& xml)
{
    QTemporaryDir temp;
    const QString doc = temp.filePath(QStringLiteral("doc.xml"));
    writeFile(doc, xml);
    ScriptedUi ui;
    runExportOf(ui, doc, temp.filePath(QStringLiteral("VTEMP")));
    return ui.errors.join(u'\n');
}

QString importError(const std::function<void(const WorkDir&)>& spoil)
{
    QTemporaryDir temp;
    const QString doc = temp.filePath(QStringLiteral("escuela.xml"));
    const WorkDir dir(temp.filePath(QStringLiteral("VTEMP")));
    exportSampleSchool(doc, dir.path());
    spoil(dir);
    ScriptedUi ui;
    runImportOf(ui, doc, dir.path());
    return ui.errors.join(u'\n');
}

QString lessonSchool(const QString& hours, const QString& id = QStringLiteral("529"))
{
    return interchange(
        QStringLiteral("<materias><materia>Coro</materia></materias><profesores/>"
                       "<marcosDeHorario>%1</marcosDeHorario><grupos/><sesionesLectivas>"
                       "<sesion id=\"%2\"><materia>Coro</materia><profesor/><grupo/><distribucionSemanal>"
                       "<distribucionVariable><numSesiones>%3</numSesiones></distribucionVariable>"
                       "</distribucionSemanal><tarea/></sesion></sesionesLectivas>")
            .arg(frameXml("M", {"0 1 08:30 09:25"}), id, hours));
}

QString messageOf(const std::function<void()>& failing) { return QString::fromStdString(runErrorOf(failing)); }
} // namespace

TEST(Messages, SpanishWithTheirKeyFacts)
{
    QTemporaryDir temp;
    const QString table = temp.filePath(QStringLiteral("SOLUC.DBF"));
    DbfTable::create(table, {{QStringLiteral("DIA"), dbf::FieldKind::Float, 0}});

    const struct {
        const char* name;
        std::function<QString()> message;
        QStringList facts;
    } cases[] = {
        {"wholeNumber",
         [] { return messageOf([] { text::toInt(QStringLiteral("tres")); }); },
         {"'tres'", "no es un número entero"}},
        {"lessonHours",
         [] { return exportError(lessonSchool(QStringLiteral("tres")).toUtf8()); },
         {"La sesión 529 (posición 1)", "numSesiones 'tres' no es un número entero",
          "Las tablas de Velmora no se han cambiado"}},
        {"lessonId",
         [] { return exportError(lessonSchool(QStringLiteral("1"), QStringLiteral("x9")).toUtf8()); },
         {"La sesión n.º 1", "identificador", "'x9'", "no es un número entero"}},
        {"numberField",
         [&] {
             DbfTable t(table, DbfTable::Access::Shared);
             t.append();
             return messageOf([&] { t.setText(0, QStringLiteral("tres")); });
         },
         {"SOLUC", "DIA", "'tres' no es un número"}},
        {"missingFieldOfSoluc",
         [] {
             return importError([](const WorkDir& dir) {
                 DbfTable::create(dir.tablePath(QStringLiteral("SOLUC")),
                                  {{QStringLiteral("DIA"), dbf::FieldKind::Float, 0}});
             });
         },
         {"La tabla SOLUC no tiene el campo", "¿la ha escrito Velmora?"}},
        {"noSoluc",
         [] { return importError([](const WorkDir&) {}); },
         {"No existe la tabla SOLUC", "Resuelva el horario en Velmora"}},
        {"heldTable",
         [&] {
             DbfTable held(table, DbfTable::Access::Exclusive);
             return messageOf([&] { DbfTable again(table, DbfTable::Access::Shared); });
         },
         {"La tabla SOLUC está en uso por otro programa", "ciérrela en Velmora"}},
        {"tableMissing",
         [&] {
             return messageOf([&] { DbfTable t(temp.filePath(QStringLiteral("NADA.DBF")), DbfTable::Access::Shared); });
         },
         {"NADA", "no existe"}},
        {"notXml",
         [] { return exportError("<datosGHC>\n<materias></materia>"); },
         {"no es XML válido (línea 2", "no corresponde a la que abrió"}},
        {"wrongRoot", [] { return exportError("<escuela/>"); }, {"su elemento raíz es escuela", "datosGHC"}},
        {"resultFile",
         [&] {
             return messageOf([&] {
                 writeIniInteger(temp.filePath(QStringLiteral("no/Velmora.ini")), QStringLiteral("Transformadores"),
                                 QStringLiteral("Transformado"), 1);
             });
         },
         {"No se puede escribir el resultado en", "Velmora.ini", "no existe", "pida permiso de escritura en"}},
        {"nothingToRestore",
         [&] { return messageOf([&] { restorePreviousExport(WorkDir(temp.path())); }); },
         {"No hay un juego anterior de tablas"}},
    };
    const QStringList english
        = {"not found", "is not", "Unable", "Could not", "Overflow", "variant", "Field '", "wwTable", "Exportar"};
    for (const auto& c : cases) {
        const QString message = c.message();
        for (const QString& fact : c.facts)
            EXPECT_TRUE(message.contains(fact)) << c.name << ": '" << fact.toStdString() << "' missing in\n"
                                                << message.toStdString();
        for (const QString& word : english)
            EXPECT_FALSE(message.contains(word)) << c.name << ": '" << word.toStdString() << "' in\n"
                                                 << message.toStdString();
    }
}
