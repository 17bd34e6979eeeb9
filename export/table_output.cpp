#include "export/table_output.h"

#include "platform/error.h"
#include "platform/file_lock.h"

namespace quintaro {

void noteChangedCode(ExportReport& report, const QString& given, const QString& code, const QString& where)
{
    if (code != given)
        report.note(Finding::CodeChanged, {}, given, QStringLiteral("%1: «%2»").arg(where, code));
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
    table->setTextLossSink([this](const DbfTable::TextLoss& loss) {
        const QString where = loss.table + u'.' + loss.field;
        if (!loss.unmapped.isEmpty())
            m_report.note(Finding::Unmappable, {}, loss.value,
                          QStringLiteral("%1: «%2» se guardó como '?'").arg(where, loss.unmapped));
        // Names and descriptions are meant to be kept whole; shorter fields hold codes and parts
        // that the rules cut on purpose.
        if (loss.cut && loss.width >= kWholeTextWidth)
            m_report.note(Finding::TextCut, {}, loss.value,
                          QStringLiteral("%1: cortado a %2 caracteres").arg(where).arg(loss.width));
    });
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
