#include "export/document_nodes.h"
#include "export/steps.h"
#include "tables/table_schemas.h"

namespace quintaro {

namespace {
const tables::Proft kTable;
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
    const size_t count = doc.select(paths::kProfesores).size();
    auto proft = out.open(kTable.name());
    for (size_t i = 0; i < count; ++i) {
        const QString owner = nombre.count(i) > 0
            ? QStringLiteral("profesor '%1'").arg(QString::fromUtf8(nombre.text(i)))
            : QStringLiteral("profesor n.º %1").arg(i + 1);
        const QString name = QString::fromUtf8(ownChild(nombre, i, out.report(), owner));
        const QString code = used.assign(name);
        noteChangedCode(out.report(), name, code, kTable.name() + QStringLiteral(".ABREV"));
        const QString fullName = QString::fromUtf8(ownChild(nombreCompleto, i, out.report(), owner));
        if (!produced.contains(name))
            produced.insert(name, code);
        proft->append();
        proft->setText(kTable.ABREV, code);
        proft->setText(kTable.NOMBRE, fullName);
        proft->post();
    }
    out.close(*proft);
    return produced;
}

} // namespace quintaro
