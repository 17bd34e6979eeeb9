#pragma once

#include "tables/school_tables.h"

#include <QSet>
#include <QStringList>

// A period's Tipo is free text ("Lectiva", "Lectivo", "Clase", "Recreo", "RECREO 2"…). This is the
// one rule that says which periods are teaching time, for the FET file, the Velmora stand-in, the
// checks and the timetable.
namespace quintaro::tables {

class PeriodKinds {
public:
    // `schoolBreaks`: the texts a school uses for its own breaks (--no-lectivos), taken as breaks
    // beside the usual words.
    explicit PeriodKinds(const QStringList& schoolBreaks);
    PeriodKinds() : PeriodKinds(QStringList()) { }

    // Compared without case or accents: a break when the Tipo has a word of kBreakWords, starts
    // with "no lectiv", or is one of the school's break texts; teaching otherwise (empty included).
    bool isBreak(const QString& kind) const;
    bool isTeaching(const QString& kind) const { return !isBreak(kind); }

    // The usual words for a break, as compared (lower case, no accents).
    static const QStringList& breakWords();

private:
    QSet<QString> m_schoolBreaks;
};

// Lower case without accents or surrounding spaces: how kinds are compared.
QString foldedKind(const QString& kind);

// How each Tipo value of `periods` was taken, one line each in the order first met:
// "'Recreo': no lectivo, 10 tramos".
QStringList kindsTaken(const std::vector<PeriodRow>& periods, const PeriodKinds& kinds);

// The groups that cannot be timetabled as they stand: one with no teaching period in its frame,
// or with more weekly hours than its frame has teaching periods. One Spanish sentence each, naming
// the group, its hours and its periods.
QStringList groupsOverTheirPeriods(const SchoolTables& school, const PeriodKinds& kinds);

} // namespace quintaro::tables
