#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <vector>

namespace quintaro::dbf {

// A lookup on one or more fields of a table: the first live row, in stored order, of each key. A key
// is the fields' stored bytes without their padding (the decoded text for fields other than
// characters), each prefixed by its length when there are several, so that ("AB","C") and
// ("A","BC") differ. Built on first use and kept right by appends; an edit of a key field makes
// the table mark it for rebuilding.
class DbfIndex {
public:
    DbfIndex(QString name, std::vector<int> fields) : m_name(std::move(name)), m_fields(std::move(fields)) { }

    const QString& name() const { return m_name; } // the field names as given, upper case
    const std::vector<int>& fields() const { return m_fields; }
    bool built() const { return m_built; }
    void markBuilt() { m_built = true; }
    void invalidate()
    {
        m_built = false;
        m_firstRow.clear();
    }

    // Keeps `row` for `key` unless an earlier row has that key.
    void add(const QByteArray& key, qint64 row)
    {
        if (!m_firstRow.contains(key))
            m_firstRow.insert(key, row);
    }
    // The row of a key, or -1.
    qint64 find(const QByteArray& key) const { return m_firstRow.value(key, -1); }

    // One field's part of a key.
    static void appendPart(QByteArray& key, QByteArrayView part, bool several)
    {
        if (several)
            key += QByteArray::number(part.size()) + ':';
        key += part;
    }

private:
    QString m_name;
    std::vector<int> m_fields;
    QHash<QByteArray, qint64> m_firstRow;
    bool m_built = false;
};

} // namespace quintaro::dbf
