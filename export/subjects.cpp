#include "export/steps.h"
#include "export/table_schemas.h"

namespace quintaro {

namespace {
const tables::Asignomt kTable;

// One subject or task element becomes one row, unless its text (letter case aside) has already
// given one. The code is the text's first 10 characters, not trimmed again, made unique.
void addRow(ExportReport& report, SubjectLists& lists, CodeOfText& produced, DbfTable& table, const XmlNode& node,
            bool isTask)
{
    const QString name = text::trimmed(node.text());
    const QString prefix = text::left(name, kCodeLength);
    if (lists.nombresVistos.contains(name))
        return;
    lists.nombresVistos.add(name);
    const QString code = lists.codigosUsados.assign(prefix);
    noteChangedCode(report, prefix, code, kTable.name() + QStringLiteral(".COD"));
    produced.insert(name, code);

    table.append();
    table.setText(kTable.COD, code);
    table.setText(kTable.CODLARGO, name);
    table.setText(kTable.NOMBRE, name);
    if (isTask)
        table.setText(kTable.CODTAREA, prefix);
    table.setBoolean(kTable.ESTAREA, isTask);
    table.post();
}

void addRows(const XmlDocument& doc, TableOutput& out, SubjectLists& lists, CodeOfText& produced, const QString& path,
             bool isTask)
{
    const XmlNodeList& nodes = doc.select(path);
    auto table = out.open(kTable.name());
    for (const XmlNode& node : nodes)
        addRow(out.report(), lists, produced, *table, node, isTask);
    out.close(*table);
}
} // namespace

void ExportarMaterias(const XmlDocument& doc, TableOutput& out, SubjectLists& lists, CodeOfText& produced)
{
    out.recreate(kTable);
    addRows(doc, out, lists, produced, QStringLiteral("/datosGHC/materias/materia"), false);
}

void ExportarTareas(const XmlDocument& doc, TableOutput& out, SubjectLists& lists, CodeOfText& produced)
{
    addRows(doc, out, lists, produced, QStringLiteral("/datosGHC/tareas/tarea"), true);
    lists.codigosUsados.clear();
    lists.nombresVistos.clear();
}

} // namespace quintaro
