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

// What one lesson's row is made of, once its children are found in the tables: each is either
// the lookup table's current row (…InTable) or what its own step produced for the text.
struct LessonParts {
    std::optional<QString> subjectProduced, teacherProduced;
    std::optional<GroupRow> groupProduced;
    bool teacherInTable = false, groupInTable = false, taskInTable = false;
    int weekly = 0;
    int id = 0;
};

// The lessons step: the lookup tables of the earlier steps opened for exclusive use in this order
// (GRUPOST, PROFT, ASIGNOMT; members close in the reverse order however the step ends), and each
// path's list of the lessons' children selected once for the whole loop.
class LessonStep {
public:
    LessonStep(const ExportDocument& doc, TableOutput& out, const LessonSources& sources)
        : m_out(out), m_report(out.report()), m_sources(sources), m_asigt(recreated(out)),
          m_lessons(doc.select(paths::kSesiones)),
          m_materias(doc, {paths::kSesiones, paths::kSesionMateria}),
          m_profesores(doc, {paths::kSesiones, paths::kSesionProfesor}),
          m_grupos(doc, {paths::kSesiones, paths::kSesionGrupo}), m_tareas(doc, {paths::kSesiones, paths::kSesionTarea}),
          m_horas(doc, {paths::kSesiones, paths::kSesionDistribucion, paths::kSesionDistribucionVariable,
                        paths::kSesionHoras})
    {
    }

    void run()
    {
        LessonParts parts;
        for (size_t i = 0; i < m_lessons.size(); ++i) {
            parts = {};
            // A lesson whose data would stop the run: in a check, noted and left out.
            try {
                if (!find(i, parts))
                    continue;
            } catch (const RunError& e) {
                m_report.stopOrNote(e, sesion(i));
                continue;
            }
            append(parts);
        }
        m_out.close(*m_asigt);
    }

private:
    static std::unique_ptr<DbfTable> recreated(TableOutput& out)
    {
        out.recreate(kTable);
        return out.open(kTable.name());
    }
    // The lesson's identifier as text, only for what the report tells.
    QString sesion(size_t i) const
    {
        return QString::fromUtf8(m_lessons.attributeValue(i, 0).value_or(QByteArrayView()));
    }
    void noteMissing(size_t i, Finding::Kind kind, QByteArrayView text, const QString& detail)
    {
        if (!text.isEmpty())
            m_report.note(kind, sesion(i), QString::fromUtf8(text), detail);
    }
    QByteArrayView own(const OwnChildren& children, size_t i)
    {
        return ownChild(children, i, m_report, QStringLiteral("sesión %1").arg(sesion(i)), sesion(i));
    }
    // Finds lesson i's subject, teacher, group, hours and task; false (noted) when its subject is
    // in no table, and the lesson gets no row.
    bool find(size_t i, LessonParts& parts);
    void append(const LessonParts& parts);

    TableOutput& m_out;
    ExportReport& m_report;
    const LessonSources& m_sources;
    const std::unique_ptr<DbfTable> m_asigt; // ASIGT first, then the lookups
    const std::unique_ptr<DbfTable> m_groups = m_out.openLookup(QStringLiteral("GRUPOST"));
    const std::unique_ptr<DbfTable> m_teachers = m_out.openLookup(QStringLiteral("PROFT"));
    const std::unique_ptr<DbfTable> m_subjects = m_out.openLookup(QStringLiteral("ASIGNOMT"));
    const int m_cod = m_subjects->fieldIndex(QStringLiteral("COD"));
    const int m_abrev = m_teachers->fieldIndex(QStringLiteral("ABREV"));
    const int m_groupCode = m_groups->fieldIndex(QStringLiteral("ABREV"));
    const int m_nivel = m_groups->fieldIndex(QStringLiteral("NIVEL"));
    const int m_curso = m_groups->fieldIndex(QStringLiteral("CURSO"));
    const int m_grupo = m_groups->fieldIndex(QStringLiteral("GRUPO"));
    Lookup<QString> m_bySubjectName{*m_subjects, QStringLiteral("NOMBRE"), m_sources.subjects};
    Lookup<QString> m_byTeacherCode{*m_teachers, QStringLiteral("ABREV"), m_sources.teachers};
    Lookup<GroupRow> m_byGroupName{*m_groups, QStringLiteral("DESCRIP"), m_sources.groups};
    Lookup<QString> m_byTaskCode{*m_subjects, QStringLiteral("COD"), kExactOnly}; // a task by its code only
    const CapturedList& m_lessons;
    const OwnChildren m_materias, m_profesores, m_grupos, m_tareas, m_horas;
    QByteArray m_subjectCode, m_split; // reused row after row

    static inline const CodeOfText kExactOnly;
};

bool LessonStep::find(size_t i, LessonParts& parts)
{
    const QByteArrayView subject = own(m_materias, i);
    if (m_bySubjectName.inTable(subject)) {
        // Copied: the task's lookup moves ASIGNOMT's current row.
        m_subjectCode.resize(0);
        m_subjectCode.append(m_subjects->stored(m_cod));
    } else if (!(parts.subjectProduced = m_bySubjectName.produced(subject))) {
        m_report.note(Finding::SubjectMissing, sesion(i), QString::fromUtf8(subject), QStringLiteral("sin fila en ASIGT"));
        return false;
    }

    const QByteArrayView teacher = own(m_profesores, i);
    parts.teacherInTable = m_byTeacherCode.inTable(teacher);
    parts.teacherProduced = parts.teacherInTable ? std::nullopt : m_byTeacherCode.produced(teacher);
    if (!parts.teacherInTable && !parts.teacherProduced)
        noteMissing(i, Finding::TeacherMissing, teacher, QStringLiteral("CPROF vacío"));

    const QByteArrayView group = own(m_grupos, i);
    parts.groupInTable = m_byGroupName.inTable(group);
    parts.groupProduced = parts.groupInTable ? std::nullopt : m_byGroupName.produced(group);
    if (!parts.groupInTable && !parts.groupProduced) {
        const bool otherFrame = m_sources.groupsOfOtherFrames.contains(QString::fromUtf8(group));
        noteMissing(i, otherFrame ? Finding::GroupOfOtherFrame : Finding::GroupMissing, group,
                    QStringLiteral("CGRUP vacío"));
    }

    QByteArrayView hours = own(m_horas, i);
    if (hours.isEmpty()) {
        hours = "1";
        m_report.note(Finding::HoursTakenAsOne, sesion(i), QString::fromUtf8(subject), QStringLiteral("numSesiones vacío"));
    }
    const std::optional<int> weekly = text::parseInt(hours);
    if (!weekly)
        notWholeNumber(QString::fromUtf8(hours), QStringLiteral("La sesión %1 (posición %2)").arg(sesion(i)).arg(i + 1),
                       QStringLiteral("numSesiones"));
    parts.weekly = *weekly;
    if (parts.weekly <= 0)
        m_report.note(Finding::HoursNotPositive, sesion(i), QString::number(parts.weekly),
                      QStringLiteral("ninguna hora que colocar"));

    const QByteArrayView task = own(m_tareas, i);
    parts.taskInTable = m_byTaskCode.inTable(task);
    if (!parts.taskInTable)
        noteMissing(i, Finding::TaskMissing, task, QStringLiteral("CTAREA vacío"));

    const auto first = m_lessons.attributeValue(i, 0);
    if (!first)
        throw RunError(QStringLiteral("La sesión n.º %1 (%2) no tiene atributos; el primero es su identificador")
                           .arg(i + 1)
                           .arg(QLatin1StringView(paths::kSesiones)));
    parts.id = sessionId(*first, i);
    return true;
}

// What a lookup found is copied as the table stores it.
void LessonStep::append(const LessonParts& parts)
{
    DbfTable& asigt = *m_asigt;
    asigt.append();
    if (parts.subjectProduced)
        asigt.setText(kTable.CASIG, *parts.subjectProduced);
    else
        asigt.setStored(kTable.CASIG, m_subjectCode);
    if (parts.teacherInTable)
        asigt.setStored(kTable.CPROF, m_teachers->stored(m_abrev));
    else
        asigt.setText(kTable.CPROF, parts.teacherProduced.value_or(QString()));
    if (parts.groupInTable) {
        asigt.setStored(kTable.CGRUP, m_groups->stored(m_groupCode));
        asigt.setStored(kTable.NIVEL, m_groups->stored(m_nivel));
        asigt.setStored(kTable.CURSO, m_groups->stored(m_curso));
        asigt.setStored(kTable.GRUPO, m_groups->stored(m_grupo));
    } else {
        const GroupRow row = parts.groupProduced.value_or(GroupRow{});
        asigt.setText(kTable.CGRUP, row.abrev);
        asigt.setText(kTable.NIVEL, row.nivel);
        asigt.setText(kTable.CURSO, row.curso);
        asigt.setText(kTable.GRUPO, row.grupo);
    }
    asigt.setFloat(kTable.HORAS, parts.weekly);
    splitString(parts.weekly, m_split);
    asigt.setStored(kTable.SESIONES, m_split);
    asigt.setStored(kTable.CTAREA, parts.taskInTable ? m_subjects->stored(m_cod) : QByteArrayView());
    asigt.setInteger(kTable.ES_SESION, parts.id);
    asigt.post();
}
} // namespace

// One row per lesson whose subject is found in ASIGNOMT; teacher, group and task are looked up
// in the tables of the earlier steps (indexed, on the bytes the tables store).
void ExportarSesiones(const ExportDocument& doc, TableOutput& out, const LessonSources& sources)
{
    LessonStep(doc, out, sources).run();
}

} // namespace quintaro
