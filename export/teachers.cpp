#include "export/document_nodes.h"
#include "export/steps.h"
#include "tables/table_schemas.h"

namespace quintaro {

namespace {
const tables::Proft kTable;
} // namespace

// Every teacher gives one row. The i-th teacher takes the i-th nombre and nombreCompleto of the
// whole document; the code is the whole trimmed name, made unique and then limited in length.
CodeOfText ExportarProfesores(const ExportDocument& doc, TableOutput& out)
{
    const char* nombre = paths::kProfesorNombre;
    const char* nombreCompleto = paths::kProfesorNombreCompleto;
    const QString owner = QStringLiteral("del profesor");

    out.recreate(kTable);
    UsedCodes used;
    CodeOfText produced;
    const size_t count = doc.select(paths::kProfesores).size();
    auto proft = out.open(kTable.name());
    for (size_t i = 0; i < count; ++i) {
        const QString name = trimmedText(doc, nombre, i, owner);
        const QString code = used.assign(name);
        noteChangedCode(out.report(), name, code, kTable.name() + QStringLiteral(".ABREV"));
        const QString fullName = trimmedText(doc, nombreCompleto, i, owner);
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
