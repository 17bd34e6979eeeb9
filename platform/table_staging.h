#pragma once

#include "platform/table_swap.h"
#include "platform/work_dir.h"

#include <QStringList>

namespace quintaro {

// A staging folder inside the working directory for a run's new tables. It starts empty (what a
// run that died left there is thrown away; an interrupted swap that needed it has been finished
// before, see recoverInterruptedSwap) and is removed, with whatever it still holds, when the
// object goes: tables of a failed run never reach Velmora.
class TableStaging {
public:
    explicit TableStaging(const WorkDir& target);
    ~TableStaging();
    TableStaging(const TableStaging&) = delete;
    TableStaging& operator=(const TableStaging&) = delete;

    const WorkDir& dir() const { return m_staging; }
    // Puts the staged files in place, keeping the ones they replace as the previous set.
    void commit(const QStringList& fileNames);

private:
    WorkDir m_target;
    WorkDir m_staging;
};

// Puts the previous set back, keeping the set it replaces as the new previous set, so that this
// can be undone the same way. Raises a RunError when there is no previous set.
void restorePreviousSet(const WorkDir& target, const QStringList& fileNames);

} // namespace quintaro
