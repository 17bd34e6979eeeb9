#include "export/document_nodes.h"
#include "export/steps.h"
#include "tables/table_schemas.h"

#include "platform/error.h"

namespace quintaro {

namespace {
const tables::Grupost kTable;
} // namespace

// One row per group of a chosen frame. A group's frame is its whole trimmed submarco, compared
// exactly with the chosen identifiers (comparing only its first character would drop every group
// of a frame named '10' and put a group '12' into frame '1'). The code is level, course and unit
// joined, made unique.
ExportedGroups ExportarGrupos(const ExportDocument& doc, TableOutput& out, const ChosenFrames& f)
{
    out.recreate(kTable);
    UsedCodes used;
    const CapturedList& grupos = doc.select(paths::kGrupos);
    const OwnChildren nombre(doc, {paths::kGrupos, paths::kGrupoNombre});
    const OwnChildren nivel(doc, {paths::kGrupos, paths::kGrupoNivel});
    const OwnChildren curso(doc, {paths::kGrupos, paths::kGrupoCurso});
    const OwnChildren unidad(doc, {paths::kGrupos, paths::kGrupoUnidad});
    ExportedGroups produced;
    auto table = out.open(kTable.name());

    for (size_t i = 0; i < grupos.size(); ++i) {
        const QString owner = nombre.count(i) > 0
            ? QStringLiteral("grupo '%1'").arg(QString::fromUtf8(nombre.text(i)))
            : QStringLiteral("grupo n.º %1").arg(i + 1);
        const auto submarco = grupos.attribute(i, "submarco");
        if (!submarco)
            throw RunError(QStringLiteral("El grupo n.º %1 (%2) no tiene atributo submarco")
                               .arg(i + 1)
                               .arg(QLatin1StringView(paths::kGrupos)));
        const QString frame = QString::fromUtf8(trimmedBytes(*submarco));
        if (frame != f.marcoXML1 && frame != f.marcoXML2) {
            produced.ofOtherFrames.insert(QString::fromUtf8(nombre.text(i)));
            continue;
        }
        ExportReport& report = out.report();
        const QString level = QString::fromUtf8(ownChild(nivel, i, report, owner));
        const QString course = QString::fromUtf8(ownChild(curso, i, report, owner));
        const QString unit = QString::fromUtf8(ownChild(unidad, i, report, owner));
        const QString description = QString::fromUtf8(ownChild(nombre, i, report, owner));
        const QString code = used.assign(level + course + unit);
        noteChangedCode(out.report(), level + course + unit, level + course + unit, code,
                        kTable.name() + QStringLiteral(".ABREV"));
        if (!produced.rows.contains(description))
            produced.rows.insert(description, {code, level, course, unit});

        table->append();
        table->setText(kTable.ABREV, code);
        table->setText(kTable.TURNO, QString());
        table->setText(kTable.NIVEL, level);
        table->setText(kTable.CURSO, course);
        table->setText(kTable.GRUPO, unit);
        table->setText(kTable.MARCO, frame == f.marcoXML1 ? f.marco1 : f.marco2);
        table->setText(kTable.DESCRIP, description);
        table->post();
    }
    out.close(*table);
    return produced;
}

} // namespace quintaro
