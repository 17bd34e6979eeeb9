#pragma once

#include <QHash>
#include <QSet>
#include <QString>

#include <optional>

namespace quintaro::text {

// Removes leading and trailing characters whose code is 32 or less (blanks and control characters).
QString trimmed(const QString& s);

// Length, prefix and suffix counted in characters (code points), not UTF-16 units or bytes.
qsizetype length(const QString& s);
QString left(const QString& s, qsizetype count);
QString right(const QString& s, qsizetype count);

// Strict decimal integer: an optional sign and digits, within 32 bits; the number, or nothing.
// One rule for bytes (UTF-8 or ASCII) and for strings.
std::optional<int> parseInt(QByteArrayView s);
std::optional<int> parseInt(QStringView s);
// The same as a test, and as a value that raises "'%s' no es un número entero" otherwise.
bool isInt(const QString& s);
int toInt(const QString& s);

// The error box's rule: a full stop is added unless the message already ends in a character at or
// below '.' in code order. An empty message stays empty.
QString withFullStop(const QString& message);

// A string list whose membership ignores letter case by Unicode case folding:
// 'Coro' matches 'CORO', 'Í' matches 'í', 'a' does not match 'á'.
class CaselessList {
public:
    bool contains(const QString& s) const { return m_folded.contains(s.toCaseFolded()); }
    void add(const QString& s) { m_folded.insert(s.toCaseFolded()); }
    qsizetype size() const { return m_folded.size(); }
    void clear() { m_folded.clear(); }

private:
    QSet<QString> m_folded;
};

} // namespace quintaro::text
