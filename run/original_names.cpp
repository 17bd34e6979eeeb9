#include "run/original_names.h"

#include "platform/dbf_table.h"
#include "platform/error.h"
#include "platform/xml_capture.h"
#include "tables/table_schemas.h"

#include <QFileInfo>

#include <optional>

namespace quintaro {

namespace {
constexpr char kProfesores[] = "/datosGHC/profesores/profesor";
constexpr char kProfesorNombre[] = "/datosGHC/profesores/profesor/nombre";
constexpr char kAulas[] = "/datosGHC/aulas/aula";
constexpr char kAulaNombre[] = "/datosGHC/aulas/aula/nombre";

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
} // namespace

OriginalNamesFound originalNames(const WorkDir& dir, const QString& document, bool exported)
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
    XmlCapture capture = XmlCapture::load(document, {{kProfesores}, {kProfesorNombre, true}, {kAulas}, {kAulaNombre, true}});
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
    return found;
}

} // namespace quintaro
