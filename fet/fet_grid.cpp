#include "fet/fet_grid.h"

#include <QMap>

#include <algorithm>

namespace quintaro::fet {

Grid::Grid(const tables::SchoolTables& school)
{
    // Days in the order of DIA; hours by frame (its code orders it: "0" starts its day first),
    // then by HORA.
    QMap<int, QString> dayNames;
    QMap<std::pair<QString, int>, QString> hourNames;
    for (const tables::PeriodRow& p : school.periods) {
        if (!dayNames.contains(p.day))
            dayNames.insert(p.day, p.dayName.isEmpty() ? QStringLiteral("Día %1").arg(p.day) : p.dayName);
        const auto key = std::pair(p.frame, p.hour);
        if (!hourNames.contains(key))
            hourNames.insert(key, QStringLiteral("%1 %2 %3-%4").arg(p.frameId).arg(p.hour).arg(p.from, p.to));
    }
    QHash<int, int> dayIndex;
    for (auto it = dayNames.cbegin(); it != dayNames.cend(); ++it) {
        dayIndex.insert(it.key(), int(m_days.size()));
        m_days << it.value();
    }
    QHash<QString, int> hourIndex; // "frame/hour"
    for (auto it = hourNames.cbegin(); it != hourNames.cend(); ++it) {
        hourIndex.insert(it.key().first + u'/' + QString::number(it.key().second), int(m_hours.size()));
        // FET needs distinct names; a frame identifier cut to its field could make two alike.
        QString name = it.value();
        while (m_hours.contains(name))
            name += u'\'';
        m_hours << name;
        m_frameOfHour << it.key().first;
    }
    for (const tables::PeriodRow& p : school.periods) {
        const int d = dayIndex.value(p.day);
        const int h = hourIndex.value(p.frame + u'/' + QString::number(p.hour));
        m_dayOfPeriod.push_back(d);
        m_hourOfPeriod.push_back(h);
        m_period.insert(qMakePair(d, h), int(m_dayOfPeriod.size()) - 1);
    }
}

} // namespace quintaro::fet
