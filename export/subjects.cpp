#include "export/document_nodes.h"
#include "export/steps.h"
#include "tables/table_schemas.h"

namespace quintaro {

namespace {
const tables::Asignomt kTable;

// One subject or task element becomes one row, unless its text (letter case aside) has already
// given one. The code is the text's first 10 characters, not trimmed again, made unique.
void addRow(ExportReport& report, SubjectLists& lists, CodeOfText& produced, DbfTable& table, QByteArrayView text,
            bool isTask)
{
    const QString name = QString::fromUtf8(trimmedBytes(text));
    const QString prefix = text::left(name, kCodeLength);
    if (lists.nombresVistos.contains(name))
        return;
    lists.nombresVistos.add(name);
    const QString code = lists.codigosUsados.assign(prefix);
    noteChangedCode(report, name, prefix, code, kTable.name() + QStringLiteral(".COD"));
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

void addRows(const ExportDocument& doc, TableOutput& out, SubjectLists& lists, CodeOfText& produced, const char* path,
             bool isTask)
{
    const CapturedList& nodes = doc.select(path);
    auto table = out.open(kTable.name());
    for (size_t i = 0; i < nodes.size(); ++i)
        addRow(out.report(), lists, produced, *table, nodes.text(i), isTask);
    out.close(*table);
}
} // namespace

void ExportarMaterias(const ExportDocument& doc, TableOutput& out, SubjectLists& lists, CodeOfText& produced)
{
    out.recreate(kTable);
    addRows(doc, out, lists, produced, paths::kMaterias, false);
}

void ExportarTareas(const ExportDocument& doc, TableOutput& out, SubjectLists& lists, CodeOfText& produced)
{
    addRows(doc, out, lists, produced, paths::kTareas, true);
    lists.codigosUsados.clear();
    lists.nombresVistos.clear();
}

} // namespace quintaro
