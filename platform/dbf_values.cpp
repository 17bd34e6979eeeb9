#include "platform/dbf_values.h"

#include "platform/text.h"

#include <QtEndian>

#include <charconv>
#include <cmath>
#include <cstring>

namespace quintaro::dbf {

QByteArrayView withoutPadding(QByteArrayView raw)
{
    qsizetype end = raw.size();
    while (end > 0 && (raw[end - 1] == ' ' || raw[end - 1] == '\0'))
        --end;
    return raw.first(end);
}

std::optional<double> parseNumeric(QByteArrayView raw, bool* malformed)
{
    // The common case, a plain number between blanks, read without copying; anything else (a
    // sign '+', a decimal comma, stars, something that is no number) takes the long way below.
    QByteArrayView plain = raw.trimmed();
    while (!plain.isEmpty() && plain.back() == '\0')
        plain.chop(1);
    plain = plain.trimmed();
    if (!plain.isEmpty() && plain.front() != '+' && !plain.contains(',')) {
        double value = 0;
        const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
        if (error == std::errc() && end == plain.data() + plain.size() && std::isfinite(value))
            return value;
    }
    QByteArray s = raw.toByteArray().trimmed();
    while (s.endsWith('\0'))
        s.chop(1);
    s = s.trimmed();
    if (s.isEmpty() || s.count('*') == s.size())
        return std::nullopt;
    s.replace(',', '.');
    bool ok = false;
    const double value = s.toDouble(&ok); // QByteArray reads in the C locale
    if (!ok || !std::isfinite(value)) {
        *malformed = true;
        return std::nullopt;
    }
    return value;
}

std::optional<double> numberOf(QByteArrayView raw, const Field& f, bool level7, const CodePage& codePage)
{
    const auto allZero = [&] {
        for (char c : raw)
            if (c != '\0')
                return false;
        return true;
    };
    switch (f.type) {
    case 'N':
    case 'F': {
        bool malformed = false;
        const auto value = parseNumeric(raw, &malformed);
        if (malformed)
            throw ValueError{QStringLiteral("un valor que no es un número: '%1'")
                                 .arg(QString::fromLatin1(raw.toByteArray().trimmed()))};
        return value;
    }
    case 'I':
    case '+':
        if (f.length != 4 || allZero())
            return std::nullopt;
        if (level7) // big-endian with the sign bit flipped
            return double(qint32(qFromBigEndian<quint32>(raw.data()) ^ 0x80000000u));
        return double(qFromLittleEndian<qint32>(raw.data()));
    case 'O':
    case '@': {
        if (f.length != 8 || allZero())
            return std::nullopt;
        quint64 bits = qFromBigEndian<quint64>(raw.data());
        bits = (bits & 0x8000000000000000ull) ? (bits ^ 0x8000000000000000ull) : ~bits;
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
    }
    case 'B': // FoxPro double
        if (level7 || f.length != 8)
            return std::nullopt;
        {
            double value;
            std::memcpy(&value, raw.data(), sizeof value);
            return qFromLittleEndian(value);
        }
    case 'L': {
        const char c = raw.isEmpty() ? ' ' : raw[0];
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y')
            return 1.0;
        if (c == 'F' || c == 'f' || c == 'N' || c == 'n')
            return 0.0;
        return std::nullopt;
    }
    default:
        break;
    }
    const QString t = text::trimmed(codePage.decode(raw));
    if (t.isEmpty())
        return std::nullopt;
    return double(text::toInt(t));
}

QString textOf(QByteArrayView raw, const Field& f, bool level7, const CodePage& codePage)
{
    switch (f.type) {
    case 'C':
    case 'D':
    case 'M':
    case 'G':
        return codePage.decode(withoutPadding(raw));
    case 'L': {
        const std::optional<double> value = numberOf(raw, f, level7, codePage);
        return value ? QString(*value ? u'T' : u'F') : QString();
    }
    default:
        break;
    }
    const std::optional<double> value = numberOf(raw, f, level7, codePage);
    return value ? shortNumber(*value) : QString();
}

QString shortNumber(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 9.0e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

QByteArray integerDigits(qint64 value, int width)
{
    const QByteArray digits = QByteArray::number(value);
    return digits.size() <= width ? digits : QByteArray(width, '*');
}

QByteArray decimalDigits(double value, int decimals, int width)
{
    const QByteArray digits = QByteArray::number(value, 'f', decimals);
    return digits.size() <= width ? digits : QByteArray(width, '*');
}

} // namespace quintaro::dbf
