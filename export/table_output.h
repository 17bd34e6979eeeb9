#pragma once

#include "export/export_report.h"
#include "platform/dbf_table.h"
#include "platform/table_schema.h"
#include "platform/work_dir.h"

#include <memory>

namespace quintaro {


// Where the export steps write their tables: a staging folder, whose tables replace the working
// directory's only once every step has finished. Velmora's own tables are checked all the same,
// so that a table it holds stops the run at the step that would replace it.
// Notes a code that the uniqueness rule or the length limit made differ from what went in
// (`given`), naming it by the whole text that produced it ("'Matemáticas Aplicadas' → ASIGNOMT.COD
// «Matemátic1»").
void noteChangedCode(ExportReport& report, const QString& wholeText, const QString& given, const QString& code,
                     const QString& where);

class TableOutput {
public:
    TableOutput(WorkDir staging, WorkDir target, ExportReport& report);

    const WorkDir& dir() const { return m_staging; }
    ExportReport& report() { return m_report; }

    // Creates the table empty with the schema's fields, replacing any earlier one of that name.
    void recreate(const dbf::TableSchema& schema);
    // The table for the step's own rows, and closing it again with its row count noted.
    std::unique_ptr<DbfTable> open(const QString& name);
    void close(DbfTable& table);
    // A table of an earlier step, for exclusive lookups.
    std::unique_ptr<DbfTable> openLookup(const QString& name);

private:
    WorkDir m_staging;
    WorkDir m_target;
    ExportReport& m_report;
};

} // namespace quintaro
