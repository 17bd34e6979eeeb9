#include "export/short_code.h"

namespace quintaro {

QString lengthLimited(const QString& code)
{
    if (text::length(code) <= kCodeLength)
        return code;
    return text::left(code, 8) + text::right(code, 2);
}

QString UsedCodes::assign(const QString& code)
{
    QString result = lengthLimited(code);
    if (m_used.contains(result)) {
        const QString stem = text::length(code) == kCodeLength ? text::left(code, kCodeLength - 1) : code;
        int& k = m_nextCounter[stem.toCaseFolded()];
        k = std::max(k, 1);
        while (m_used.contains(lengthLimited(stem + QString::number(k))))
            ++k;
        result = lengthLimited(stem + QString::number(k));
    }
    m_used.add(result);
    return result;
}

void UsedCodes::clear()
{
    m_used.clear();
    m_nextCounter.clear();
}

} // namespace quintaro
