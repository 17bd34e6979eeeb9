#include "export/steps.h"

namespace quintaro {

namespace {
using dbf::FieldKind;

enum Column { ABREV, NOMBRE, DEPART, EMAIL, DNI, X_EMPLEADO };

const std::vector<dbf::FieldSpec> kProftFields = {
    {QStringLiteral("ABREV"), FieldKind::String, 10},  {QStringLiteral("NOMBRE"), FieldKind::String, 80},
    {QStringLiteral("DEPART"), FieldKind::String, 40}, {QStringLiteral("EMAIL"), FieldKind::String, 100},
    {QStringLiteral("DNI"), FieldKind::Integer, 0},    {QStringLiteral("X_EMPLEADO"), FieldKind::String, 10},
};
} // namespace

// Every teacher gives one row. The i-th teacher takes the i-th nombre and nombreCompleto of the
// whole document; the code is the whole trimmed name, made unique and then limited in length.
void ExportarProfesores(ExportContext& ctx)
{
    const QString table = QStringLiteral("PROFT");
    const QString nombre = QStringLiteral("/datosGHC/profesores/profesor/nombre");
    const QString nombreCompleto = QStringLiteral("/datosGHC/profesores/profesor/nombreCompleto");
    const QString owner = QStringLiteral("del profesor");

    recreateTable(ctx, table, kProftFields);
    UsedCodes used;
    const size_t count = ctx.xmlDoc.select(QStringLiteral("/datosGHC/profesores/profesor")).size();
    auto proft = openTable(ctx, table);
    for (size_t i = 0; i < count; ++i) {
        const QString code = used.assign(trimmedText(ctx.xmlDoc, nombre, i, owner));
        const QString fullName = trimmedText(ctx.xmlDoc, nombreCompleto, i, owner);
        proft->append();
        proft->setText(ABREV, code);
        proft->setText(NOMBRE, fullName);
        proft->post();
    }
    closeTable(ctx, *proft);
}

} // namespace quintaro
