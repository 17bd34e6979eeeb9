#include "export/document_nodes.h"
#include "export/steps.h"
#include "tables/table_schemas.h"

#include "platform/error.h"

#include <QRegularExpression>

namespace quintaro {

namespace {
const tables::Asigt kTable;

// Weekly hours split into lessons: n ones, or beyond 13 the digits of n - 13 and thirteen ones.
void splitString(int n, QByteArray& out)
{
    out.resize(0);
    if (n > 13)
        out.append(QByteArray::number(n - 13)).append(13, '1');
    else if (n > 0)
        out.append(n, '1');
}

// The lesson's first attribute as a 32-bit integer.
int sessionId(QByteArrayView value, size_t position)
{
    const QByteArrayView t = trimmedBytes(value);
    if (const std::optional<int> id = text::parseInt(t))
        return *id;
    static const QRegularExpression digits(QStringLiteral("^[+-]?[0-9]+$"));
    const QString where = QStringLiteral("La sesión n.º %1 de %2: su identificador (el primer atributo), '%3',")
                              .arg(position + 1)
                              .arg(QLatin1StringView(paths::kSesiones), QString::fromUtf8(value));
    if (digits.match(QString::fromUtf8(t)).hasMatch())
        throw RunError(where + QStringLiteral(" no cabe en un entero de 32 bits"));
    throw RunError(where + QStringLiteral(" no es un número entero"));
}

// A lookup table of an earlier step with one index, searched by document text (UTF-8). When the
// table has no row for a text, the rows the same text gave in its own step stand in for it (a
// name cut to its field, a code shortened or counted to stay unique).
template <typename Value> class Lookup {
public:
    Lookup(DbfTable& table, const QString& field, const QHash<QString, Value>& produced)
        : m_table(table), m_index(table.lookupOn(field)), m_produced(produced)
    {
    }
    // True when the table has the text: its row is then the table's current row.
    bool inTable(QByteArrayView text)
    {
        return m_table.storedForm(text, m_key) && m_table.locateStored(m_index, m_key);
    }
    std::optional<Value> produced(QByteArrayView text) const
    {
        const auto it = m_produced.constFind(QString::fromUtf8(text));
        return it == m_produced.cend() ? std::nullopt : std::optional<Value>(*it);
    }

private:
    DbfTable& m_table;
    const int m_index;
    const QHash<QString, Value>& m_produced;
    QByteArray m_key; // reused row after row
};
} // namespace

// One row per lesson whose subject is found in ASIGNOMT; teacher, group and task are looked up
// in the tables of the earlier steps (indexed, on the bytes the tables store), opened for
// exclusive use in this order: GRUPOST, PROFT, ASIGNOMT. What a lookup finds is copied as stored.
void ExportarSesiones(const ExportDocument& doc, TableOutput& out, const LessonSources& sources)
{
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
    static const CodeOfText kExactOnly; // a task is found by its code only
    Lookup<QString> bySubjectName(*subjects, QStringLiteral("NOMBRE"), sources.subjects);
    Lookup<QString> byTeacherCode(*teachers, QStringLiteral("ABREV"), sources.teachers);
    Lookup<GroupRow> byGroupName(*groups, QStringLiteral("DESCRIP"), sources.groups);
    Lookup<QString> byTaskCode(*subjects, QStringLiteral("COD"), kExactOnly);

    const CapturedList& lessons = doc.select(paths::kSesiones);
    // Each lesson's own children, each path's list selected once for the whole loop.
    const OwnChildren materias(doc, {paths::kSesiones, paths::kSesionMateria});
    const OwnChildren profesores(doc, {paths::kSesiones, paths::kSesionProfesor});
    const OwnChildren grupos(doc, {paths::kSesiones, paths::kSesionGrupo});
    const OwnChildren tareas(doc, {paths::kSesiones, paths::kSesionTarea});
    const OwnChildren horas(doc, {paths::kSesiones, paths::kSesionDistribucion, paths::kSesionDistribucionVariable,
                                  paths::kSesionHoras});
    QByteArray subjectCode, split; // reused row after row
    for (size_t i = 0; i < lessons.size(); ++i) {
        std::optional<int> weekly, id;
        std::optional<QString> subjectProduced, teacherProduced;
        std::optional<GroupRow> groupProduced;
        bool teacherInTable = false, groupInTable = false, taskInTable = false;
        // The lesson's identifier as text, only for what the report tells.
        const auto sesion = [&] { return QString::fromUtf8(lessons.attributeValue(i, 0).value_or(QByteArrayView())); };
        const auto noteMissing = [&](Finding::Kind kind, QByteArrayView text, const QString& detail) {
            if (!text.isEmpty())
                report.note(kind, sesion(), QString::fromUtf8(text), detail);
        };
        const auto own = [&](const OwnChildren& children) {
            return ownChild(children, i, report, QStringLiteral("sesión %1").arg(sesion()), sesion());
        };
        // A lesson whose data would stop the run: in a check, noted and left out.
        try {
            const QByteArrayView subject = own(materias);
            if (bySubjectName.inTable(subject)) {
                subjectCode.resize(0);
                subjectCode.append(subjects->stored(cod));
            } else if (!(subjectProduced = bySubjectName.produced(subject))) {
                report.note(Finding::SubjectMissing, sesion(), QString::fromUtf8(subject),
                            QStringLiteral("sin fila en ASIGT"));
                continue;
            }

            const QByteArrayView teacher = own(profesores);
            teacherInTable = byTeacherCode.inTable(teacher);
            teacherProduced = teacherInTable ? std::nullopt : byTeacherCode.produced(teacher);
            if (!teacherInTable && !teacherProduced)
                noteMissing(Finding::TeacherMissing, teacher, QStringLiteral("CPROF vacío"));

            const QByteArrayView group = own(grupos);
            groupInTable = byGroupName.inTable(group);
            groupProduced = groupInTable ? std::nullopt : byGroupName.produced(group);
            if (!groupInTable && !groupProduced) {
                const bool otherFrame = sources.groupsOfOtherFrames.contains(QString::fromUtf8(group));
                noteMissing(otherFrame ? Finding::GroupOfOtherFrame : Finding::GroupMissing, group,
                            QStringLiteral("CGRUP vacío"));
            }

            QByteArrayView hours = own(horas);
            if (hours.isEmpty()) {
                hours = "1";
                report.note(Finding::HoursTakenAsOne, sesion(), QString::fromUtf8(subject),
                            QStringLiteral("numSesiones vacío"));
            }
            weekly = text::parseInt(hours);
            if (!weekly)
                notWholeNumber(QString::fromUtf8(hours),
                               QStringLiteral("La sesión %1 (posición %2)").arg(sesion()).arg(i + 1),
                               QStringLiteral("numSesiones"));
            if (*weekly <= 0)
                report.note(Finding::HoursNotPositive, sesion(), QString::number(*weekly),
                            QStringLiteral("ninguna hora que colocar"));
            splitString(*weekly, split);

            const QByteArrayView task = own(tareas);
            taskInTable = byTaskCode.inTable(task);
            if (!taskInTable)
                noteMissing(Finding::TaskMissing, task, QStringLiteral("CTAREA vacío"));

            const auto first = lessons.attributeValue(i, 0);
            if (!first)
                throw RunError(QStringLiteral("La sesión n.º %1 (%2) no tiene atributos; el primero es su identificador")
                                   .arg(i + 1)
                                   .arg(QLatin1StringView(paths::kSesiones)));
            id = sessionId(*first, i);
        } catch (const RunError& e) {
            report.stopOrNote(e, sesion());
            continue;
        }

        asigt->append();
        if (subjectProduced)
            asigt->setText(kTable.CASIG, *subjectProduced);
        else
            asigt->setStored(kTable.CASIG, subjectCode);
        if (teacherInTable)
            asigt->setStored(kTable.CPROF, teachers->stored(abrev));
        else
            asigt->setText(kTable.CPROF, teacherProduced.value_or(QString()));
        if (groupInTable) {
            asigt->setStored(kTable.CGRUP, groups->stored(groupCode));
            asigt->setStored(kTable.NIVEL, groups->stored(nivel));
            asigt->setStored(kTable.CURSO, groups->stored(curso));
            asigt->setStored(kTable.GRUPO, groups->stored(grupo));
        } else {
            const GroupRow row = groupProduced.value_or(GroupRow{});
            asigt->setText(kTable.CGRUP, row.abrev);
            asigt->setText(kTable.NIVEL, row.nivel);
            asigt->setText(kTable.CURSO, row.curso);
            asigt->setText(kTable.GRUPO, row.grupo);
        }
        asigt->setFloat(kTable.HORAS, *weekly);
        asigt->setStored(kTable.SESIONES, split);
        asigt->setStored(kTable.CTAREA, taskInTable ? subjects->stored(cod) : QByteArrayView());
        asigt->setInteger(kTable.ES_SESION, *id);
        asigt->post();
    }
    out.close(*asigt);
}

} // namespace quintaro
