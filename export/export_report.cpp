#include "export/export_report.h"

#include "platform/error.h"

#include <algorithm>
#include <iterator>

namespace quintaro {

void ExportReport::note(Finding::Kind kind, const QString& sesion, const QString& value, const QString& detail)
{
    findings.push_back({kind, sesion, value, detail});
}

qsizetype ExportReport::count(Finding::Kind kind) const
{
    return std::count_if(findings.begin(), findings.end(), [kind](const Finding& f) { return f.kind == kind; });
}

std::vector<Finding> ExportReport::of(Finding::Kind kind) const
{
    std::vector<Finding> found;
    std::copy_if(findings.begin(), findings.end(), std::back_inserter(found),
                 [kind](const Finding& f) { return f.kind == kind; });
    return found;
}

void ExportReport::stopOrNote(const Error& e, const QString& sesion)
{
    if (!checkOnly)
        throw RunError(e.message());
    note(Finding::WouldStop, sesion, {}, e.message());
}

void ExportReport::noteTable(const QString& name, qint64 rows)
{
    for (Table& table : tables)
        if (table.name == name) {
            table.rows = rows;
            return;
        }
    tables.push_back({name, rows});
}

} // namespace quintaro
