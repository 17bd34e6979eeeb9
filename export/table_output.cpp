#include "export/table_output.h"

#include "platform/error.h"
#include "platform/file_lock.h"

namespace quintaro {

void ExportReport::noteTable(const QString& name, qint64 rows)
{
    for (Table& table : tables)
        if (table.name == name) {
            table.rows = rows;
            return;
        }
    tables.push_back({name, rows});
}

TableOutput::TableOutput(WorkDir staging, WorkDir target, ExportReport& report)
    : m_staging(std::move(staging)), m_target(std::move(target)), m_report(report)
{
}

void TableOutput::recreate(const dbf::TableSchema& schema)
{
    const QString& name = schema.name();
    // Velmora must have let go of the table this run will replace.
    if (m_target.tableExists(name) && isHeldByAnother(m_target.tablePath(name)))
        throw RunError(heldByAnotherMessage(name));
    m_staging.removeTableFiles(name);
    DbfTable::create(m_staging.tablePath(name), schema.fields());
}

std::unique_ptr<DbfTable> TableOutput::open(const QString& name)
{
    auto table = std::make_unique<DbfTable>(m_staging.tablePath(name), DbfTable::Access::Shared);
    table->setWarningSink(&m_report.warnings);
    return table;
}

void TableOutput::close(DbfTable& table)
{
    table.close();
    m_report.noteTable(table.tableName(), table.liveRowCount());
}

std::unique_ptr<DbfTable> TableOutput::openLookup(const QString& name)
{
    return std::make_unique<DbfTable>(m_staging.tablePath(name), DbfTable::Access::Exclusive);
}

} // namespace quintaro
