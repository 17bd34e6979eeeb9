#pragma once

#include "fet/fet_file.h"

#include <QStringList>

// The school's own rules, kept from one FET file to the next: whatever a school adds in FET's
// window (a teacher not available on Friday afternoons, optional subjects at the same hour, a
// lab for chemistry) lives in its .fet file, and a file written again after a change in Escolaria
// would lose it.
namespace quintaro::fet {

struct RulesCarried {
    qint64 kept = 0; // constraints carried into the new file
    qint64 rooms = 0; // rooms the school added in FET, carried with them
    QStringList leftOut; // one Spanish line per constraint left out, saying why
};

// Carries into `file` every time and space constraint of the FET file at `previous` that
// Quintaro did not write itself (their comments begin with kOwnConstraintMark): teachers, groups,
// subjects and rooms are matched by name, activities by the lesson ("sesión N") and hour they
// belong to. A constraint whose teacher, group, subject, room, activity tag or lesson is no
// longer there is left out and listed, never dropped silently. Rooms the school added are carried
// too. Raises a RunError when `previous` cannot be read as a FET file.
RulesCarried carryRules(FetFile& file, const QString& previous);

} // namespace quintaro::fet
