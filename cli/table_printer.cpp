#include "cli/table_printer.h"

#include <algorithm>
#include <vector>

namespace quintaro {

namespace {
QString csvField(const QString& value)
{
    if (!value.contains(u';') && !value.contains(u'"') && !value.contains(u'\n') && !value.contains(u'\r'))
        return value;
    return u'"' + QString(value).replace(u'"', QStringLiteral("\"\"")) + u'"';
}
} // namespace

void printTable(DbfTable& table, QTextStream& out, bool csv)
{
    const auto& fields = table.fields();
    std::vector<QStringList> rows;
    for (table.first(); !table.eof(); table.next()) {
        QStringList row;
        for (size_t f = 0; f < fields.size(); ++f)
            row << table.text(int(f));
        rows.push_back(row);
    }

    QStringList names;
    for (const auto& field : fields)
        names << field.name;

    if (csv) {
        QStringList header;
        for (const QString& name : names)
            header << csvField(name);
        out << header.join(u';') << '\n';
        for (const QStringList& row : rows) {
            QStringList cells;
            for (const QString& cell : row)
                cells << csvField(cell);
            out << cells.join(u';') << '\n';
        }
        out.flush();
        return;
    }

    out << "Tabla " << table.tableName() << ": " << fields.size() << " campos, " << rows.size() << " filas" << '\n';
    for (const auto& field : fields)
        out << "  " << field.name.leftJustified(11) << ' ' << field.type << ' ' << field.length
            << (field.decimals ? QStringLiteral(",%1").arg(field.decimals) : QString()) << '\n';
    out << '\n';
    std::vector<qsizetype> widths;
    for (size_t f = 0; f < fields.size(); ++f) {
        qsizetype w = names.at(qsizetype(f)).size();
        for (const QStringList& row : rows)
            w = std::max(w, row.at(qsizetype(f)).size());
        widths.push_back(w);
    }
    const auto printRow = [&](const QStringList& cells) {
        QStringList padded;
        for (size_t f = 0; f < fields.size(); ++f)
            padded << cells.at(qsizetype(f)).leftJustified(widths[f]);
        QString line = padded.join(QStringLiteral(" | "));
        while (line.endsWith(u' '))
            line.chop(1);
        out << line << '\n';
    };
    printRow(names);
    for (const QStringList& row : rows)
        printRow(row);
    out.flush();
}

} // namespace quintaro
