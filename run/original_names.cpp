#include "run/original_names.h"

#include "export/export_document.h"
#include "platform/dbf_table.h"
#include "platform/text.h"
#include "platform/error.h"
#include "platform/xml_capture.h"
#include "tables/table_schemas.h"

#include <QFileInfo>

#include <optional>

namespace quintaro {

namespace {
using namespace paths;

// Each owner's first child text, trimmed, in the owners' order (empty for an owner without one).
QStringList firstTexts(const XmlCapture& capture, const char* owners, const char* children)
{
    QStringList texts(qsizetype(capture.select(owners).size()));
    const CapturedList& list = capture.select(children);
    QList<bool> taken(texts.size(), false);
    for (size_t j = 0; j < list.size(); ++j) {
        const qsizetype owner = list.parent(j);
        if (owner >= 0 && owner < texts.size() && !taken[owner]) {
            texts[owner] = QString::fromUtf8(list.text(j)).trimmed();
            taken[owner] = true;
        }
    }
    return texts;
}

// Rows in table order, each its code and its text.
struct TableRows {
    QStringList codes, texts;
};
std::optional<TableRows> rowsOf(const WorkDir& dir, const QString& table, const QString& codeField,
                                const QString& textField)
{
    const QString path = dir.tablePath(table);
    if (!QFileInfo::exists(path))
        return std::nullopt;
    try {
        DbfTable t(path, DbfTable::Access::Shared);
        const int code = t.fieldIndex(codeField), text = t.fieldIndex(textField);
        TableRows rows;
        for (t.first(); !t.eof(); t.next()) {
            rows.codes << t.text(code);
            rows.texts << t.text(text);
        }
        return rows;
    } catch (const RunError&) {
        return std::nullopt; // held or damaged: the names go as the table keeps them
    }
}
// Each owner's child texts past the first, trimmed, by owner position.
QHash<qsizetype, QStringList> laterTexts(const CapturedList& children)
{
    QHash<qsizetype, QStringList> later;
    QHash<qsizetype, int> seen;
    for (size_t j = 0; j < children.size(); ++j) {
        const qsizetype owner = children.parent(j);
        if (owner >= 0 && seen[owner]++ > 0)
            later[owner] << QString::fromUtf8(children.text(j)).trimmed();
    }
    return later;
}

// The code a table of the export gives a document text, looked up the way the export did (the
// text in the table's character set); empty when the table has no such row.
class CodeOfText {
public:
    CodeOfText(const WorkDir& dir, const QString& table, const QString& textField, const QString& codeField)
    {
        try {
            m_table.emplace(dir.tablePath(table), DbfTable::Access::Shared);
            m_lookup = m_table->lookupOn(textField);
            m_code = m_table->fieldIndex(codeField);
        } catch (const RunError&) {
            m_table.reset(); // held or damaged: nothing found
        }
    }
    QString operator()(const QString& text)
    {
        return m_table && m_table->locate(m_lookup, {text}) ? m_table->text(m_code) : QString();
    }

private:
    std::optional<DbfTable> m_table;
    int m_lookup = -1, m_code = -1;
};

// The lessons with a second teacher or group, those found in the export's tables by code.
QHash<qint64, SharedLesson> sharedLessons(const WorkDir& dir, const XmlCapture& capture,
                                         const QHash<QString, QString>& teacherOfCode)
{
    static const tables::Proft P;
    static const tables::Grupost G;
    const QHash<qsizetype, QStringList> teachers = laterTexts(capture.select(kSesionProfesor));
    const QHash<qsizetype, QStringList> groups = laterTexts(capture.select(kSesionGrupo));
    QHash<qint64, SharedLesson> shared;
    if (teachers.isEmpty() && groups.isEmpty())
        return shared;
    // A code the export changed (counted, cut) is found through the document's text it stands for.
    QHash<QString, QString> codeOfTeacher;
    for (auto it = teacherOfCode.cbegin(); it != teacherOfCode.cend(); ++it)
        if (!codeOfTeacher.contains(it.value()))
            codeOfTeacher.insert(it.value(), it.key());
    CodeOfText teacherCode(dir, P.name(), P.nameOf(P.ABREV), P.nameOf(P.ABREV));
    CodeOfText groupCode(dir, G.name(), G.nameOf(G.DESCRIP), G.nameOf(G.ABREV));
    const CapturedList& lessons = capture.select(kSesiones);
    const auto idOf = [&](qsizetype owner) {
        return text::parseInt(text::trimmed(QString::fromUtf8(lessons.attributeValue(size_t(owner), 0).value_or(""))));
    };
    for (auto it = teachers.cbegin(); it != teachers.cend(); ++it)
        if (const auto id = idOf(it.key()))
            for (const QString& t : it.value())
                if (const QString code = codeOfTeacher.value(t, teacherCode(t)); !code.isEmpty())
                    shared[*id].teachers << code;
    for (auto it = groups.cbegin(); it != groups.cend(); ++it)
        if (const auto id = idOf(it.key()))
            for (const QString& g : it.value())
                if (const QString code = groupCode(g); !code.isEmpty())
                    shared[*id].groups << code;
    return shared;
}
} // namespace

const std::vector<CaptureRequest>& originalNamePaths()
{
    static const std::vector<CaptureRequest> paths = {{kProfesores},       {kProfesorNombre, true},
                                                      {kAulas},            {kAulaNombre, true},
                                                      {kSesiones, false, true}, {kSesionProfesor, true},
                                                      {kSesionGrupo, true}};
    return paths;
}

OriginalNamesFound originalNames(const WorkDir& dir, const XmlCapture& capture, bool exported)
{
    static const tables::Proft P;
    static const tables::Aulat A;
    OriginalNamesFound found;
    const std::optional<TableRows> teachers = rowsOf(dir, P.name(), P.nameOf(P.ABREV), P.nameOf(P.ABREV));
    const std::optional<TableRows> rooms = rowsOf(dir, A.name(), A.nameOf(A.ABREV), A.nameOf(A.NOMBRE));
    if (!exported) {
        // Without the document that made them, a '?' in a stored name is all that shows a change.
        if (teachers)
            for (const QString& code : teachers->codes)
                if (code.contains(u'?'))
                    found.unmapped << QStringLiteral("PROFT.ABREV '%1'").arg(code);
        if (rooms)
            for (const QString& name : rooms->texts)
                if (name.contains(u'?'))
                    found.unmapped << QStringLiteral("AULAT.NOMBRE '%1'").arg(name);
        return found;
    }
    // The export wrote one PROFT row per teacher and, first, one AULAT row per aula, in the
    // document's order.
    if (teachers) {
        const QStringList names = firstTexts(capture, kProfesores, kProfesorNombre);
        for (qsizetype k = 0; k < names.size() && k < teachers->codes.size(); ++k)
            if (teachers->codes[k] != names[k] && !found.names.teacherOfCode.contains(teachers->codes[k]))
                found.names.teacherOfCode.insert(teachers->codes[k], names[k]);
    }
    if (rooms) {
        const QStringList names = firstTexts(capture, kAulas, kAulaNombre);
        for (qsizetype k = 0; k < names.size() && k < rooms->texts.size(); ++k)
            if (rooms->texts[k] != names[k])
                found.names.roomOfCode.insert(rooms->codes[k], names[k]);
    }
    found.names.sharedLessons = sharedLessons(dir, capture, found.names.teacherOfCode);
    return found;
}

} // namespace quintaro
