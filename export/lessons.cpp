#include "export/steps.h"

#include "platform/error.h"

#include <QRegularExpression>

namespace quintaro {

namespace {
using dbf::FieldKind;

enum Column { CASIG, CPROF, CGRUP, CAULA, TURNO, NIVEL, CURSO, GRUPO, HORAS, SESIONES, NCONEX, CTAREA, ES_SESION };

const std::vector<dbf::FieldSpec> kAsigtFields = {
    {QStringLiteral("CASIG"), FieldKind::String, 10},     {QStringLiteral("CPROF"), FieldKind::String, 10},
    {QStringLiteral("CGRUP"), FieldKind::String, 10},     {QStringLiteral("CAULA"), FieldKind::String, 10},
    {QStringLiteral("TURNO"), FieldKind::String, 1},      {QStringLiteral("NIVEL"), FieldKind::String, 5},
    {QStringLiteral("CURSO"), FieldKind::String, 3},      {QStringLiteral("GRUPO"), FieldKind::String, 2},
    {QStringLiteral("HORAS"), FieldKind::Float, 0},       {QStringLiteral("SESIONES"), FieldKind::String, 20},
    {QStringLiteral("NCONEX"), FieldKind::String, 4},     {QStringLiteral("CTAREA"), FieldKind::String, 10},
    {QStringLiteral("ES_SESION"), FieldKind::Integer, 0},
};

const QString kLessons = QStringLiteral("/datosGHC/sesionesLectivas/sesion");

// Weekly hours split into lessons: n ones, or beyond 13 the digits of n - 13 and thirteen ones.
QString splitString(int n)
{
    if (n > 13)
        return QString::number(n - 13) + QString(13, u'1');
    return n > 0 ? QString(n, u'1') : QString();
}

// The lesson's first attribute as a 32-bit integer, with the conversion messages of a variant.
int sessionId(const QString& value)
{
    const QString t = text::trimmed(value);
    if (text::isInt(t))
        return t.toInt();
    static const QRegularExpression digits(QStringLiteral("^[+-]?[0-9]+$"));
    if (digits.match(t).hasMatch())
        throw RunError(QStringLiteral("Overflow while converting variant of type (String) into type (Integer)"));
    throw RunError(QStringLiteral("Could not convert variant of type (String) into type (Integer)"));
}

// Closes the lookup components however the step ends, so that no table stays held.
struct LookupsOpen {
    TableComponents& c;
    ~LookupsOpen() { c.closeAll(); } // wwTableNomAsg, wwTableProfesor, wwTableGrupos, in this order
};
} // namespace

// One row per lesson whose subject is found in ASIGNOMT; teacher, group and task are looked up
// in the tables of the earlier steps through the main window's components (indexed locates).
void ExportarSesiones(ExportContext& ctx)
{
    const QString name = QStringLiteral("ASIGT");
    const QString owner = QStringLiteral("de la sesión");
    const XmlDocument& doc = ctx.xmlDoc;
    recreateTable(ctx, name, kAsigtFields);
    auto asigt = openTable(ctx, name);

    TableComponents& c = ctx.components;
    LookupsOpen closer{c};
    c.wwTableGrupos.open(ctx.dir);
    c.wwTableProfesor.open(ctx.dir);
    c.wwTableNomAsg.open(ctx.dir);
    DbfTable& subjects = *c.wwTableNomAsg;
    DbfTable& teachers = *c.wwTableProfesor;
    DbfTable& groups = *c.wwTableGrupos;
    const int cod = subjects.fieldIndex(QStringLiteral("COD"));
    const int abrev = teachers.fieldIndex(QStringLiteral("ABREV"));
    const int groupCode = groups.fieldIndex(QStringLiteral("ABREV"));
    const int nivel = groups.fieldIndex(QStringLiteral("NIVEL"));
    const int curso = groups.fieldIndex(QStringLiteral("CURSO"));
    const int grupo = groups.fieldIndex(QStringLiteral("GRUPO"));

    const XmlNodeList& lessons = doc.select(kLessons);
    for (size_t i = 0; i < lessons.size(); ++i) {
        const QString subject = trimmedText(doc, kLessons + QStringLiteral("/materia"), i, owner);
        if (!subjects.locate(QStringLiteral("NOMBRE"), {subject})) {
            ctx.report.droppedLessons.push_back({lessons[i].attributeValue(0).value_or(QString()), subject});
            continue;
        }
        const QString subjectCode = subjects.text(cod);

        const QString teacher = trimmedText(doc, kLessons + QStringLiteral("/profesor"), i, owner);
        QString teacherCode;
        if (teachers.locate(QStringLiteral("ABREV"), {teacher}))
            teacherCode = teachers.text(abrev);
        else if (!teacher.isEmpty())
            ++ctx.report.teacherNotFound;

        const QString group = trimmedText(doc, kLessons + QStringLiteral("/grupo"), i, owner);
        QString code, level, course, unit;
        if (groups.locate(QStringLiteral("DESCRIP"), {group})) {
            code = groups.text(groupCode);
            level = groups.text(nivel);
            course = groups.text(curso);
            unit = groups.text(grupo);
        } else if (!group.isEmpty()) {
            ++ctx.report.groupNotFound;
        }

        QString hours = trimmedText(
            doc, kLessons + QStringLiteral("/distribucionSemanal/distribucionVariable/numSesiones"), i, owner);
        if (hours.isEmpty())
            hours = QStringLiteral("1");
        const QString split = splitString(text::toInt(hours));

        const QString task = trimmedText(doc, kLessons + QStringLiteral("/tarea"), i, owner);
        QString taskCode;
        if (subjects.locate(QStringLiteral("COD"), {task}))
            taskCode = subjects.text(cod);
        else if (!task.isEmpty())
            ++ctx.report.taskNotFound;

        const auto first = lessons[i].attributeValue(0);
        if (!first)
            throw RunError(QStringLiteral("La sesión n.º %1 (%2) no tiene atributos; el primero es su identificador")
                               .arg(i + 1)
                               .arg(kLessons));
        const int id = sessionId(*first);

        asigt->append();
        asigt->setText(CASIG, subjectCode);
        asigt->setText(CPROF, teacherCode);
        asigt->setText(CGRUP, code);
        asigt->setText(CAULA, QString());
        asigt->setText(TURNO, QString());
        asigt->setText(NIVEL, level);
        asigt->setText(CURSO, course);
        asigt->setText(GRUPO, unit);
        asigt->setText(HORAS, hours);
        asigt->setText(SESIONES, split);
        asigt->setText(CTAREA, taskCode);
        asigt->setInteger(ES_SESION, id);
        asigt->post();
    }
    closeTable(ctx, *asigt);
}

} // namespace quintaro
