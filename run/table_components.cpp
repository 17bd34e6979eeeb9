#include "run/table_components.h"

#include "platform/error.h"

#include <QFileInfo>

namespace quintaro {

void TableComponent::open(const WorkDir& dir)
{
    if (m_open)
        return;
    const QString path = dir.tablePath(m_table);
    if (!QFileInfo(path).isFile())
        throw RunError(QStringLiteral("%1: No existe la tabla %2 en %3").arg(m_name, m_table, dir.path()));
    m_open.emplace(path, DbfTable::Access::Exclusive, m_name);
}

void TableComponent::close()
{
    if (!m_open)
        return;
    // Reset even when storing fails, so that the file is released.
    struct Reset {
        std::optional<DbfTable>& table;
        ~Reset() { table.reset(); }
    } reset{m_open};
    m_open->close();
}

void TableComponents::closeAll()
{
    for (TableComponent* c : {&wwTableNomAsg, &wwTableProfesor, &wwTableTramos, &wwTableAulas, &wwTableGrupos,
                              &wwTableAsig, &wwTableSoluc}) {
        try {
            c->close();
        } catch (const RunError& e) {
            qWarning("%s", qPrintable(e.message()));
        }
    }
}

} // namespace quintaro
