#include "export/used_codes.h"

namespace quintaro {

QString lengthLimited(const QString& code)
{
    if (text::length(code) <= kCodeLength)
        return code;
    return text::left(code, 8) + text::right(code, 2);
}

QString UsedCodes::candidate(const QString& stem, int k) const
{
    ++m_tried;
    const QString digits = QString::number(k);
    const QString limited = lengthLimited(stem + digits);
    if (!m_used.contains(limited))
        return limited;
    // First 8 and last 2 keep only two digits of k, so a stem has about a hundred such forms.
    // Past them, the stem gives up characters to keep all of k's digits: one code per k.
    if (digits.size() > 2 && text::length(stem + digits) > kCodeLength) {
        const QString whole = text::left(stem, kCodeLength - digits.size()) + digits;
        if (!m_used.contains(whole))
            return whole;
    }
    return {};
}

QString UsedCodes::assign(const QString& code)
{
    QString result = lengthLimited(code);
    if (m_used.contains(result)) {
        const QString stem = text::length(code) == kCodeLength ? text::left(code, kCodeLength - 1) : code;
        int& k = m_nextCounter[stem.toCaseFolded()];
        k = std::max(k, 1);
        for (;; ++k) {
            result = candidate(stem, k);
            if (!result.isEmpty())
                break;
        }
    }
    m_used.add(result);
    return result;
}

void UsedCodes::clear()
{
    m_used.clear();
    m_nextCounter.clear();
    m_tried = 0;
}

} // namespace quintaro
