#include "export/export_context.h"

#include "platform/error.h"
#include "platform/file_lock.h"

namespace quintaro {

void RunReport::noteTable(const QString& name, qint64 rows)
{
    for (Table& table : tables)
        if (table.name == name) {
            table.rows = rows;
            return;
        }
    tables.push_back({name, rows});
}

void recreateTable(ExportContext& ctx, const QString& name, const std::vector<dbf::FieldSpec>& fields)
{
    // Deleting a table that Velmora still has open would pull it from under Velmora's feet.
    if (ctx.dir.tableExists(name) && isHeldByAnother(ctx.dir.tablePath(name)))
        throw RunError(QStringLiteral("La tabla %1 está en uso por otro programa").arg(name));
    ctx.dir.removeTableFiles(name);
    DbfTable::create(ctx.dir.tablePath(name), fields);
}

std::unique_ptr<DbfTable> openTable(ExportContext& ctx, const QString& name)
{
    auto table = std::make_unique<DbfTable>(ctx.dir.tablePath(name), DbfTable::Access::Shared);
    table->setWarningSink(&ctx.report.warnings);
    return table;
}

void closeTable(ExportContext& ctx, DbfTable& table)
{
    table.close();
    ctx.report.noteTable(table.tableName(), table.liveRowCount());
}

XmlNode requireNode(const XmlDocument& doc, const QString& path, size_t index, const QString& what)
{
    const XmlNodeList& nodes = doc.select(path);
    if (index >= nodes.size())
        throw RunError(QStringLiteral("Falta el elemento %1 %2 n.º %3: el documento solo tiene %4")
                           .arg(path, what)
                           .arg(index + 1)
                           .arg(nodes.size()));
    return nodes[index];
}

QString trimmedText(const XmlDocument& doc, const QString& path, size_t index, const QString& what)
{
    return text::trimmed(requireNode(doc, path, index, what).text());
}

} // namespace quintaro
