#include "import/slot_clashes.h"

#include "platform/text.h"

namespace quintaro {

void SlotClashes::place(const QString& who, const QString& code, const QString& when, const QString& what)
{
    if (text::trimmed(code).isEmpty())
        return;
    QStringList& there = m_at[key(who, when)];
    if (there.size() == 1)
        m_order << key(who, when);
    there << what;
}

QStringList SlotClashes::found() const
{
    QStringList sentences;
    for (const QString& k : m_order) {
        const QStringList& there = m_at.value(k);
        sentences << QStringLiteral("%1 está en %2 sitios a la vez el %3: %4")
                         .arg(k.section(u'\n', 0, 0))
                         .arg(there.size())
                         .arg(k.section(u'\n', 1), there.join(QStringLiteral(", ")));
    }
    return sentences;
}

bool SlotClashes::clashes(const QString& who, const QString& when) const { return m_at.value(key(who, when)).size() > 1; }

QString dayName(qint64 dia)
{
    static const char* const names[] = {"lunes", "martes", "miércoles", "jueves", "viernes", "sábado", "domingo"};
    return dia >= 1 && dia <= 7 ? QString::fromUtf8(names[dia - 1]) : QStringLiteral("día %1").arg(dia);
}

} // namespace quintaro
