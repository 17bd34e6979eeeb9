#include "platform/text.h"

#include "platform/error.h"

#include <limits>

namespace quintaro::text {

QString trimmed(const QString& s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && s.at(end - 1).unicode() <= 32)
        --end;
    return s.mid(begin, end - begin);
}

namespace {
// UTF-16 offset of the code point with index `count`, or the string's size when it has fewer.
qsizetype offsetOfChar(const QString& s, qsizetype count)
{
    qsizetype offset = 0;
    for (qsizetype i = 0; i < count && offset < s.size(); ++i)
        offset
            += (s.at(offset).isHighSurrogate() && offset + 1 < s.size() && s.at(offset + 1).isLowSurrogate()) ? 2 : 1;
    return offset;
}
} // namespace

qsizetype length(const QString& s)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < s.size(); ++i)
        if (!(s.at(i).isLowSurrogate() && i > 0 && s.at(i - 1).isHighSurrogate()))
            ++n;
    return n;
}

QString left(const QString& s, qsizetype count)
{
    if (count <= 0)
        return {};
    return s.left(offsetOfChar(s, count));
}

QString right(const QString& s, qsizetype count)
{
    if (count <= 0)
        return {};
    const qsizetype total = length(s);
    if (count >= total)
        return s;
    return s.mid(offsetOfChar(s, total - count));
}

std::optional<int> parseInt(QStringView s)
{
    // Only ASCII can be a digit or a sign; anything else is no number.
    QByteArray ascii(s.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].unicode() >= 0x80)
            return std::nullopt;
        ascii[i] = char(s[i].unicode());
    }
    return parseInt(QByteArrayView(ascii));
}

bool isInt(const QString& s) { return parseInt(QStringView(s)).has_value(); }

int toInt(const QString& s)
{
    if (const std::optional<int> value = parseInt(QStringView(s)))
        return *value;
    throw RunError(QStringLiteral("'%1' no es un número entero").arg(s));
}

std::optional<int> parseInt(QByteArrayView s)
{
    qsizetype i = 0;
    const bool negative = !s.isEmpty() && s[0] == '-';
    if (!s.isEmpty() && (s[0] == '+' || s[0] == '-'))
        ++i;
    if (i == s.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9')
            return std::nullopt;
        value = value * 10 + (s[i] - '0');
        if (value > qint64(1) << 31)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return std::nullopt;
    return int(value);
}

QString withFullStop(const QString& message)
{
    if (message.isEmpty() || message.back().unicode() <= u'.')
        return message;
    return message + u'.';
}

} // namespace quintaro::text
