#pragma once

#include "platform/text.h"

#include <QHash>
#include <QString>

namespace quintaro {

constexpr int kCodeLength = 10;

// More than 10 characters become the first 8 followed by the last 2.
QString lengthLimited(const QString& code);

// The used-code list of one code-giving step (subjects and tasks share one) with the rule that
// makes each code unique within its table.
//
// A code collides when its form after the length limit is already in the list (letter case
// ignored). Then a code of exactly 10 characters loses its last character, and the counter
// k = 1, 2, … is appended until a candidate's form after the length limit is free; that form is
// the code (when a stem's hundred or so shortened forms are all taken, the stem gives up
// characters to keep all of the counter's digits). The list holds final codes. Codes that are unique without this care
// come out the same as the plain rule (test the code itself, limit the length afterwards) would give them; where the
// plain rule hands two rows one code ('Astronomía 11' and 'Astronomía 12' both 'Astronom10'), this
// one goes on counting ('Astronom11').
//
// What goes in is each step's own business: the subjects step cuts the text to 10 characters, the
// rooms step cuts and trims again, the teachers step takes the whole name, the groups step the
// joined level, course and unit.
class UsedCodes {
public:
    QString assign(const QString& code);
    bool contains(const QString& code) const { return m_used.contains(code); }
    void clear();
    // How many candidate codes the counters have tried: the work assign has done.
    qint64 candidatesTried() const { return m_tried; }

private:
    // The free code for counter k, or empty when it is taken.
    QString candidate(const QString& stem, int k) const;

    text::CaselessList m_used;
    // Per case-folded stem, the counter to try next. Codes only ever join the list, so a counter
    // found taken once stays taken, and the search may resume there.
    QHash<QString, int> m_nextCounter;
    mutable qint64 m_tried = 0;
};

} // namespace quintaro
