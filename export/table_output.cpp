#include "export/table_output.h"

#include "platform/error.h"
#include "platform/file_lock.h"

namespace quintaro {

void noteChangedCode(ExportReport& report, const QString& wholeText, const QString& given, const QString& code,
                     const QString& where)
{
    if (code != given)
        report.note(Finding::CodeChanged, {}, wholeText, QStringLiteral("'%1' → %2 «%3»").arg(wholeText, where, code));
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
        // Every text cut to its field is told, except where the rules cut on purpose: the long
        // code (the name's first 10 characters) and the frame's short forms (a cut frame
        // identifier is told on its own).
        static const QStringList kCutOnPurpose
            = {QStringLiteral("ASIGNOMT.CODLARGO"), QStringLiteral("DIASHORAST.MARCOXML"),
               QStringLiteral("DIASHORAST.ES_MARCO_ID"), QStringLiteral("DIASHORAST.ES_SUBMARCO")};
        if (loss.cut && !kCutOnPurpose.contains(where))
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
