#include "import/slot_clashes.h"

#include "tables/weekdays.h"

#include "platform/text.h"

#include <algorithm>

namespace quintaro {

void SlotClashes::place(const QString& who, const QString& code, const ClockSlot& at, const QString& what)
{
    if (text::trimmed(code).isEmpty())
        return;
    const WhoAndDay key{who, at.day};
    auto& placed = m_byWhoAndDay[key];
    if (placed.empty())
        m_order.push_back(key);
    placed.push_back({at.from, at.to, at.when, what});
    m_overlaps.reset();
}

namespace {
bool overlap(int aFrom, int aTo, int bFrom, int bTo) { return aFrom >= 0 && aTo > aFrom && bFrom >= 0 && bTo > bFrom && aFrom < bTo && bFrom < aTo; }
} // namespace

const std::vector<SlotClashes::Overlap>& SlotClashes::overlaps() const
{
    if (m_overlaps)
        return *m_overlaps;
    m_overlaps.emplace();
    m_clashing.clear();
    for (const WhoAndDay& key : m_order) {
        const std::vector<Placed>& placed = *m_byWhoAndDay.constFind(key); // a reference: the overlaps point into it
        // Slots of one period together (in the order placed), then joined with any other period
        // they overlap in clock time.
        std::vector<std::vector<const Placed*>> periods;
        QHash<QString, size_t> periodOf;
        for (const Placed& p : placed) {
            if (!periodOf.contains(p.when)) {
                periodOf.insert(p.when, periods.size());
                periods.emplace_back();
            }
            periods[periodOf.value(p.when)].push_back(&p);
        }
        std::vector<bool> taken(periods.size(), false);
        const QString& who = key.first;
        for (size_t i = 0; i < periods.size(); ++i) {
            if (taken[i])
                continue;
            std::vector<const Placed*> together = periods[i];
            for (size_t j = i + 1; j < periods.size(); ++j) {
                const Placed* a = periods[i].front();
                const Placed* b = periods[j].front();
                if (!taken[j] && overlap(a->from, a->to, b->from, b->to)) {
                    taken[j] = true;
                    together.insert(together.end(), periods[j].begin(), periods[j].end());
                }
            }
            if (together.size() < 2)
                continue;
            for (const Placed* p : together)
                m_clashing.insert(who + u'\n' + p->when);
            m_overlaps->push_back({who, std::move(together)});
        }
    }
    return *m_overlaps;
}

QStringList SlotClashes::found() const
{
    QStringList sentences;
    for (const Overlap& o : overlaps()) {
        QStringList whens, whats;
        for (const Placed* p : o.placed) {
            if (!whens.contains(p->when))
                whens << p->when;
            whats << p->what;
        }
        sentences << QStringLiteral("%1 está en %2 sitios a la vez el %3: %4")
                         .arg(o.who)
                         .arg(o.placed.size())
                         .arg(whens.join(QStringLiteral(" y el ")), whats.join(QStringLiteral(", ")));
    }
    return sentences;
}

bool SlotClashes::clashes(const QString& who, const QString& when) const
{
    overlaps();
    return m_clashing.contains(who + u'\n' + when);
}

QString dayName(qint64 dia)
{
    return dia >= 1 && dia <= 7 ? tables::weekdayName(int(dia - 1)).toLower() : QStringLiteral("día %1").arg(dia);
}

} // namespace quintaro
