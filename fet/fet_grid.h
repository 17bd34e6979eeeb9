#pragma once

#include "tables/school_tables.h"

#include <QHash>
#include <QStringList>

#include <vector>

// The week as FET sees it: the days, and the hours of the chosen frames one after the other in a
// single list ("M 1 08:30-09:25", …, "T 1 15:00-15:55", …), the frame that starts earlier first.
// Each group is kept to its own frame's hours; a slot that is no teaching time in any frame is a
// break for everybody.
namespace quintaro::fet {

class Grid {
public:
    explicit Grid(const tables::SchoolTables& school);

    const QStringList& days() const { return m_days; }
    const QStringList& hours() const { return m_hours; }
    // The period (index into SchoolTables::periods) at a FET day and hour, or -1.
    int periodAt(int day, int hour) const { return m_period.value(qMakePair(day, hour), -1); }
    // The FET day and hour of a period.
    int dayOf(int period) const { return m_dayOfPeriod.at(size_t(period)); }
    int hourOf(int period) const { return m_hourOfPeriod.at(size_t(period)); }
    // The frame code ("0" or "1") a FET hour belongs to.
    const QString& frameOfHour(int hour) const { return m_frameOfHour.at(hour); }

private:
    QStringList m_days, m_hours, m_frameOfHour;
    QHash<QPair<int, int>, int> m_period;
    std::vector<int> m_dayOfPeriod, m_hourOfPeriod;
};

} // namespace quintaro::fet
