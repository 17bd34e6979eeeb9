#pragma once

#include "platform/dbf_table.h"
#include "platform/work_dir.h"

#include <array>
#include <optional>

namespace quintaro {

// One of the main window's table components: a named holder of one table in the working
// directory, opened for exclusive use. Its errors say which table and what to do; the
// component's own name stays out of them.
class TableComponent {
public:
    TableComponent(const char* name, const char* table)
        : m_name(QString::fromLatin1(name)), m_table(QString::fromLatin1(table))
    {
    }

    void open(const WorkDir& dir);
    void close(); // stores what is pending; does nothing when closed
    bool isOpen() const { return m_open.has_value(); }

    DbfTable& operator*() { return *m_open; }
    DbfTable* operator->() { return &*m_open; }
    const QString& name() const { return m_name; }
    const QString& tableName() const { return m_table; }

private:
    QString m_name;
    QString m_table;
    std::optional<DbfTable> m_open;
};

// The seven components, each on its table.
struct TableComponents {
    TableComponent wwTableNomAsg{"wwTableNomAsg", "ASIGNOMT"};
    TableComponent wwTableProfesor{"wwTableProfesor", "PROFT"};
    TableComponent wwTableTramos{"wwTableTramos", "DIASHORAST"};
    TableComponent wwTableAulas{"wwTableAulas", "AULAT"};
    TableComponent wwTableGrupos{"wwTableGrupos", "GRUPOST"};
    TableComponent wwTableAsig{"wwTableAsig", "ASIGT"};
    TableComponent wwTableSoluc{"wwTableSoluc", "SOLUC"};

    // Opens the four the import reads, in the import run's order (SOLUC, AULAT, DIASHORAST,
    // ASIGT); a missing or held PROFT, GRUPOST or ASIGNOMT does not stop it. closeAll() closes every
    // open one in that same order, however the run ends.
    void openForImport(const WorkDir& dir);
    void closeAll();

private:
    std::array<TableComponent*, 7> inOrder();
};

} // namespace quintaro
