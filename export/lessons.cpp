#include "export/document_nodes.h"
#include "export/steps.h"
#include "export/table_schemas.h"

#include "platform/error.h"

#include <QRegularExpression>

namespace quintaro {

namespace {
const tables::Asigt kTable;

const QString kLessons = QStringLiteral("/datosGHC/sesionesLectivas/sesion");

// Weekly hours split into lessons: n ones, or beyond 13 the digits of n - 13 and thirteen ones.
QString splitString(int n)
{
    if (n > 13)
        return QString::number(n - 13) + QString(13, u'1');
    return n > 0 ? QString(n, u'1') : QString();
}

// The lesson's first attribute as a 32-bit integer.
int sessionId(const QString& value, size_t position)
{
    const QString t = text::trimmed(value);
    if (text::isInt(t))
        return t.toInt();
    static const QRegularExpression digits(QStringLiteral("^[+-]?[0-9]+$"));
    const QString where = QStringLiteral("La sesión n.º %1 de %2: su identificador (el primer atributo), '%3',")
                              .arg(position + 1)
                              .arg(kLessons, value);
    if (digits.match(t).hasMatch())
        throw RunError(where + QStringLiteral(" no cabe en un entero de 32 bits"));
    throw RunError(where + QStringLiteral(" no es un número entero"));
}

// Finds a lesson's text in a table of an earlier step: the first row whose field equals it
// exactly, or else the row that the same text gave in its own step.
template <typename Value, typename Read>
std::optional<Value> find(DbfTable& table, const QString& field, const QHash<QString, Value>& produced,
                          const QString& text, Read read)
{
    if (table.locate(field, {text}))
        return read();
    const auto it = produced.constFind(text);
    if (it != produced.cend())
        return *it;
    return std::nullopt;
}

// A lookup that found nothing is worth telling, unless the lesson left the text empty.
template <typename Value>
Value orNoted(const std::optional<Value>& found, ExportReport& report, Finding::Kind kind, const QString& sesion,
              const QString& text, const QString& detail)
{
    if (!found && !text.isEmpty())
        report.note(kind, sesion, text, detail);
    return found.value_or(Value{});
}
} // namespace

// One row per lesson whose subject is found in ASIGNOMT; teacher, group and task are looked up
// in the tables of the earlier steps (indexed locates), opened for exclusive use in this order:
// GRUPOST, PROFT, ASIGNOMT.
void ExportarSesiones(const XmlDocument& doc, TableOutput& out, const LessonSources& sources)
{
    const QString owner = QStringLiteral("de la sesión");
    ExportReport& report = out.report();
    out.recreate(kTable);
    auto asigt = out.open(kTable.name());

    // Declared in opening order, so they close in the reverse order however the step ends.
    const auto groups = out.openLookup(QStringLiteral("GRUPOST"));
    const auto teachers = out.openLookup(QStringLiteral("PROFT"));
    const auto subjects = out.openLookup(QStringLiteral("ASIGNOMT"));
    const int cod = subjects->fieldIndex(QStringLiteral("COD"));
    const int abrev = teachers->fieldIndex(QStringLiteral("ABREV"));
    const int groupCode = groups->fieldIndex(QStringLiteral("ABREV"));
    const int nivel = groups->fieldIndex(QStringLiteral("NIVEL"));
    const int curso = groups->fieldIndex(QStringLiteral("CURSO"));
    const int grupo = groups->fieldIndex(QStringLiteral("GRUPO"));
    const auto codeOf = [](DbfTable& table, int field) { return [&table, field] { return table.text(field); }; };
    const auto groupRow = [&] {
        return GroupRow{groups->text(groupCode), groups->text(nivel), groups->text(curso), groups->text(grupo)};
    };
    static const CodeOfText kExactOnly;

    const XmlNodeList& lessons = doc.select(kLessons);
    for (size_t i = 0; i < lessons.size(); ++i) {
        const QString sesion = lessons[i].attributeValue(0).value_or(QString());
        const QString subject = trimmedText(doc, kLessons + QStringLiteral("/materia"), i, owner);
        const auto subjectCode
            = find(*subjects, QStringLiteral("NOMBRE"), sources.subjects, subject, codeOf(*subjects, cod));
        if (!subjectCode) {
            report.note(Finding::SubjectMissing, sesion, subject, QStringLiteral("sin fila en ASIGT"));
            continue;
        }

        const QString teacher = trimmedText(doc, kLessons + QStringLiteral("/profesor"), i, owner);
        const QString teacherCode
            = orNoted(find(*teachers, QStringLiteral("ABREV"), sources.teachers, teacher, codeOf(*teachers, abrev)),
                      report, Finding::TeacherMissing, sesion, teacher, QStringLiteral("CPROF vacío"));

        const QString group = trimmedText(doc, kLessons + QStringLiteral("/grupo"), i, owner);
        const auto groupFound = find(*groups, QStringLiteral("DESCRIP"), sources.groups, group, groupRow);
        const bool otherFrame = !groupFound && sources.groupsOfOtherFrames.contains(group);
        const GroupRow groupRowFound
            = orNoted(groupFound, report, otherFrame ? Finding::GroupOfOtherFrame : Finding::GroupMissing, sesion,
                      group, QStringLiteral("CGRUP vacío"));

        QString hours = trimmedText(
            doc, kLessons + QStringLiteral("/distribucionSemanal/distribucionVariable/numSesiones"), i, owner);
        if (hours.isEmpty()) {
            hours = QStringLiteral("1");
            report.note(Finding::HoursTakenAsOne, sesion, subject, QStringLiteral("numSesiones vacío"));
        }
        const QString split = splitString(wholeNumber(
            hours, QStringLiteral("La sesión %1 (posición %2)").arg(sesion).arg(i + 1), QStringLiteral("numSesiones")));

        const QString task = trimmedText(doc, kLessons + QStringLiteral("/tarea"), i, owner);
        // A task is found by its code only.
        const QString taskCode
            = orNoted(find(*subjects, QStringLiteral("COD"), kExactOnly, task, codeOf(*subjects, cod)), report,
                      Finding::TaskMissing, sesion, task, QStringLiteral("CTAREA vacío"));

        const auto first = lessons[i].attributeValue(0);
        if (!first)
            throw RunError(QStringLiteral("La sesión n.º %1 (%2) no tiene atributos; el primero es su identificador")
                               .arg(i + 1)
                               .arg(kLessons));
        const int id = sessionId(*first, i);

        asigt->append();
        asigt->setText(kTable.CASIG, *subjectCode);
        asigt->setText(kTable.CPROF, teacherCode);
        asigt->setText(kTable.CGRUP, groupRowFound.abrev);
        asigt->setText(kTable.CAULA, QString());
        asigt->setText(kTable.TURNO, QString());
        asigt->setText(kTable.NIVEL, groupRowFound.nivel);
        asigt->setText(kTable.CURSO, groupRowFound.curso);
        asigt->setText(kTable.GRUPO, groupRowFound.grupo);
        asigt->setText(kTable.HORAS, hours);
        asigt->setText(kTable.SESIONES, split);
        asigt->setText(kTable.CTAREA, taskCode);
        asigt->setInteger(kTable.ES_SESION, id);
        asigt->post();
    }
    out.close(*asigt);
}

} // namespace quintaro
