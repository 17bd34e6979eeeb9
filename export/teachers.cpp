#include "export/document_nodes.h"
#include "export/steps.h"
#include "tables/table_schemas.h"

namespace quintaro {

namespace {
const tables::Proft kTable;

// Every lesson that names a short name shared by several teachers goes to the first of them: told
// with both teachers' full names, how many lessons that is, and what to change.
void noteSharedNames(const ExportDocument& doc, ExportReport& report, const QMap<QString, QStringList>& sharing)
{
    QHash<QString, int> lessonsOf;
    for (auto it = sharing.cbegin(); it != sharing.cend(); ++it)
        if (it.value().size() > 1)
            lessonsOf.insert(it.key(), 0);
    if (lessonsOf.isEmpty())
        return;
    const CapturedList& named = doc.select(paths::kSesionProfesor);
    for (size_t j = 0; j < named.size(); ++j) {
        const auto found = lessonsOf.find(QString::fromUtf8(trimmedBytes(named.text(j))));
        if (found != lessonsOf.end())
            ++*found;
    }
    for (auto it = sharing.cbegin(); it != sharing.cend(); ++it) {
        if (it.value().size() < 2)
            continue;
        const int lessons = lessonsOf.value(it.key());
        report.note(Finding::TeacherNameShared, {}, it.key(),
                    QStringLiteral("'%1' es el nombre corto de %2 profesores: %3; %4 que nombran a '%1' van a %5. "
                                   "Dé a cada profesor un nombre corto distinto en Escolaria y exporte de nuevo")
                        .arg(it.key())
                        .arg(it.value().size())
                        .arg(it.value().join(QStringLiteral(", ")))
                        .arg(lessons == 1 ? QStringLiteral("la sesión") : QStringLiteral("las %1 sesiones").arg(lessons))
                        .arg(it.value().front()));
    }
}
} // namespace

// Every teacher gives one row, from its own nombre and nombreCompleto; the code is the whole
// trimmed name, made unique and then limited in length.
CodeOfText ExportarProfesores(const ExportDocument& doc, TableOutput& out)
{
    const OwnChildren nombre(doc, {paths::kProfesores, paths::kProfesorNombre});
    const OwnChildren nombreCompleto(doc, {paths::kProfesores, paths::kProfesorNombreCompleto});

    out.recreate(kTable);
    UsedCodes used;
    CodeOfText produced;
    QMap<QString, QStringList> sharing; // nombre -> each teacher of that nombre, with its code
    const size_t count = doc.select(paths::kProfesores).size();
    auto proft = out.open(kTable.name());
    for (size_t i = 0; i < count; ++i) {
        const QString owner = nombre.count(i) > 0
            ? QStringLiteral("profesor '%1'").arg(QString::fromUtf8(nombre.text(i)))
            : QStringLiteral("profesor n.º %1").arg(i + 1);
        const QString name = QString::fromUtf8(ownChild(nombre, i, out.report(), owner));
        const QString code = used.assign(name);
        noteChangedCode(out.report(), name, name, code, kTable.name() + QStringLiteral(".ABREV"));
        const QString fullName = QString::fromUtf8(ownChild(nombreCompleto, i, out.report(), owner));
        if (!produced.contains(name))
            produced.insert(name, code);
        sharing[name] << QStringLiteral("%1 (%2)").arg(fullName.isEmpty() ? QStringLiteral("sin nombre completo") : fullName, code);
        proft->append();
        proft->setText(kTable.ABREV, code);
        proft->setText(kTable.NOMBRE, fullName);
        proft->post();
    }
    out.close(*proft);
    noteSharedNames(doc, out.report(), sharing);
    return produced;
}

} // namespace quintaro
