#include "export/steps.h"

namespace quintaro {

namespace {
using dbf::FieldKind;

const std::vector<dbf::FieldSpec> kAsignomtFields = {
    {QStringLiteral("COD"), FieldKind::String, 10},      {QStringLiteral("CODLARGO"), FieldKind::String, 10},
    {QStringLiteral("NOMBRE"), FieldKind::String, 80},   {QStringLiteral("MATERIA"), FieldKind::String, 8},
    {QStringLiteral("CODTAREA"), FieldKind::String, 10}, {QStringLiteral("ESTAREA"), FieldKind::Boolean, 0},
};

enum Column { COD, CODLARGO, NOMBRE, MATERIA, CODTAREA, ESTAREA };

// One subject or task element becomes one row, unless its text (letter case aside) has already
// given one. The code is the text's first 10 characters, not trimmed again, made unique.
void addRow(ExportContext& ctx, DbfTable& table, const XmlNode& node, bool isTask)
{
    const QString name = text::trimmed(node.text());
    const QString prefix = text::left(name, kCodeLength);
    if (ctx.nombresVistos.contains(name))
        return;
    ctx.nombresVistos.add(name);
    const QString code = ctx.codigosUsados.assign(prefix);

    table.append();
    table.setText(COD, code);
    table.setText(CODLARGO, name);
    table.setText(NOMBRE, name);
    if (isTask)
        table.setText(CODTAREA, prefix);
    table.setBoolean(ESTAREA, isTask);
    table.post();
}

void addRows(ExportContext& ctx, const QString& path, bool isTask)
{
    const XmlNodeList& nodes = ctx.xmlDoc.select(path);
    auto table = openTable(ctx, QStringLiteral("ASIGNOMT"));
    for (const XmlNode& node : nodes)
        addRow(ctx, *table, node, isTask);
    closeTable(ctx, *table);
}
} // namespace

void ExportarMaterias(ExportContext& ctx)
{
    recreateTable(ctx, QStringLiteral("ASIGNOMT"), kAsignomtFields);
    addRows(ctx, QStringLiteral("/datosGHC/materias/materia"), false);
}

void ExportarTareas(ExportContext& ctx)
{
    addRows(ctx, QStringLiteral("/datosGHC/tareas/tarea"), true);
    ctx.codigosUsados.clear();
    ctx.nombresVistos.clear();
}

} // namespace quintaro
