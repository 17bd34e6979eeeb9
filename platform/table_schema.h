#pragma once

#include "platform/dbf_format.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quintaro::dbf {

// A field's position in its table, resolved once from the table's declaration.
struct Column {
    int index = -1;
    operator int() const { return index; }
};

// The fields of one table, declared once, in order. A table's schema derives from this and
// declares each field as a member, so its position and its place in the list cannot drift apart:
//
//     struct ProftSchema : TableSchema {
//         ProftSchema() : TableSchema("PROFT") {}
//         const Column ABREV = add("ABREV", FieldKind::String, 10);
//         …
//     };
class TableSchema {
public:
    const QString& name() const { return m_name; }
    const std::vector<FieldSpec>& fields() const { return m_fields; }
    const QString& nameOf(Column column) const { return m_fields.at(size_t(column.index)).name; }

protected:
    explicit TableSchema(const char* name) : m_name(QString::fromLatin1(name)) { }
    Column add(const char* name, FieldKind kind, int width = 0)
    {
        m_fields.push_back({QString::fromLatin1(name), kind, width});
        return Column{int(m_fields.size()) - 1};
    }

private:
    QString m_name;
    std::vector<FieldSpec> m_fields;
};

} // namespace quintaro::dbf
