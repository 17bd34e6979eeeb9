#include "run/table_components.h"

#include "platform/error.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

namespace quintaro {

void TableComponent::open(const WorkDir& dir)
{
    if (m_open)
        return;
    const QString path = dir.tablePath(m_table);
    const bool solution = m_table == u"SOLUC";
    if (!QFileInfo(path).isFile())
        throw RunError(
            solution
                ? QStringLiteral("No existe la tabla SOLUC en %1: Velmora todavía no ha dejado allí "
                                 "su solución. Resuelva el horario en Velmora y vuelva a importar")
                      .arg(QDir::toNativeSeparators(dir.path()))
                : QStringLiteral("No existe la tabla %1 en %2: haga antes una exportación").arg(m_table, QDir::toNativeSeparators(dir.path())));
    m_open.emplace(path, DbfTable::Access::Exclusive,
                   solution ? QStringLiteral("¿la ha escrito Velmora?")
                            : QStringLiteral("¿es de una exportación de Quintaro? Exporte de nuevo"));
}

void TableComponent::close()
{
    if (!m_open)
        return;
    // Reset even when storing fails, so that the file is released.
    const auto reset = qScopeGuard([this] { m_open.reset(); });
    m_open->close();
}

std::array<TableComponent*, 7> TableComponents::inOrder()
{
    return {&wwTableSoluc,  &wwTableGrupos, &wwTableProfesor, &wwTableAulas,
            &wwTableNomAsg, &wwTableTramos, &wwTableAsig};
}

void TableComponents::openForImport(const WorkDir& dir)
{
    for (TableComponent* c : {&wwTableSoluc, &wwTableAulas, &wwTableTramos, &wwTableAsig})
        c->open(dir);
}

void TableComponents::closeAll()
{
    for (TableComponent* c : inOrder()) {
        try {
            c->close();
        } catch (const RunError& e) {
            qWarning("%s", qPrintable(e.message()));
        }
    }
}

} // namespace quintaro
