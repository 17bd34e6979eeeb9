#include "import/slot_clashes.h"

#include "tables/weekdays.h"

#include "platform/text.h"

#include <algorithm>

namespace quintaro {

int SlotClashes::numberOf(QHash<QString, int>& numbers, QStringList& texts, const QString& text)
{
    auto it = numbers.find(text);
    if (it == numbers.end()) {
        it = numbers.insert(text, int(texts.size()));
        texts << text;
    }
    return *it;
}

void SlotClashes::place(const QString& who, const QString& code, const ClockSlot& at, const QString& what)
{
    if (!text::trimmed(code).isEmpty())
        place(whoNumber(who), whenNumber(at.when), at, what);
}

void SlotClashes::place(int who, int when, const ClockSlot& at, const QString& what)
{
    if (size_t(who) >= m_groupsOfWho.size())
        m_groupsOfWho.resize(size_t(who) + 1);
    std::vector<std::pair<qint64, int>>& days = m_groupsOfWho[size_t(who)];
    const auto day = std::find_if(days.begin(), days.end(), [&at](const auto& d) { return d.first == at.day; });
    int group = day == days.end() ? -1 : day->second;
    if (group < 0) {
        group = int(m_whoOfGroup.size());
        days.push_back({at.day, group});
        m_whoOfGroup.push_back(who);
    }
    m_placed.push_back({group, when, at.from, at.to, what});
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
    // The placements of each who and day together, in the order placed; the groups in the order
    // first placed.
    std::vector<size_t> start(m_whoOfGroup.size() + 1, 0);
    for (const Placed& p : m_placed)
        ++start[size_t(p.group) + 1];
    for (size_t g = 1; g < start.size(); ++g)
        start[g] += start[g - 1];
    std::vector<const Placed*> byGroup(m_placed.size());
    std::vector<size_t> next(start.begin(), start.end() - 1);
    for (const Placed& p : m_placed)
        byGroup[next[size_t(p.group)]++] = &p;

    for (size_t g = 0; g < m_whoOfGroup.size(); ++g) {
        // Slots of one period together (in the order placed), then joined with any other period
        // they overlap in clock time. A person has a few periods a day: a list is enough.
        std::vector<std::vector<const Placed*>> periods;
        std::vector<int> periodWhen;
        for (size_t i = start[g]; i < start[g + 1]; ++i) {
            const Placed* p = byGroup[i];
            const auto found = std::find(periodWhen.begin(), periodWhen.end(), p->when);
            if (found == periodWhen.end()) {
                periodWhen.push_back(p->when);
                periods.push_back({p});
            } else {
                periods[size_t(found - periodWhen.begin())].push_back(p);
            }
        }
        std::vector<bool> taken(periods.size(), false);
        const int who = m_whoOfGroup[g];
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
                m_clashing.insert(m_whos[who] + u'\n' + m_whens[p->when]);
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
            if (!whens.contains(m_whens[p->when]))
                whens << m_whens[p->when];
            whats << p->what;
        }
        sentences << QStringLiteral("%1 está en %2 sitios a la vez el %3: %4")
                         .arg(m_whos[o.who])
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
