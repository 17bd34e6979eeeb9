#include "tables/soluc_writer.h"

#include "platform/dbf_table.h"
#include "platform/error.h"
#include "platform/file_lock.h"
#include "tables/soluc_schema.h"

namespace quintaro::tables {

SolucCounts writeSoluc(const WorkDir& dir, const SchoolTables& school, const std::vector<PlacedHour>& hours)
{
    static const Soluc t;
    if (dir.tableExists(t.name()) && isHeldByAnother(dir.tablePath(t.name())))
        throw RunError(heldByAnotherMessage(t.name()));
    dir.removeTableFiles(t.name());
    DbfTable::create(dir.tablePath(t.name()), t.fields());
    DbfTable soluc(dir.tablePath(t.name()), DbfTable::Access::Exclusive);

    SolucCounts counts;
    for (const PlacedHour& hour : hours) {
        const LessonRow& lesson = school.lessons.at(hour.lesson);
        soluc.append();
        soluc.setText(t.ASIG, lesson.subject);
        soluc.setText(t.PROF, lesson.teacher);
        soluc.setText(t.CODGRUPO, lesson.group);
        soluc.setText(t.NIVEL, lesson.level);
        soluc.setText(t.CURSO, lesson.course);
        soluc.setText(t.GRUPO, lesson.unit);
        soluc.setText(t.TAREA, lesson.task);
        // The frame of the period it was given (a task has no group to take it from); an
        // unplaced hour keeps its group's.
        soluc.setText(t.MARCO, hour.period < 0 ? school.frameOfGroup.value(lesson.group)
                                               : school.periods.at(size_t(hour.period)).frame);
        soluc.setFloat(t.SESIONES, 1);
        if (hour.period < 0) {
            soluc.setFloat(t.DIA, 0);
            soluc.setFloat(t.HORA, 0);
            ++counts.unplaced;
        } else {
            const PeriodRow& period = school.periods.at(size_t(hour.period));
            soluc.setFloat(t.DIA, period.day);
            soluc.setFloat(t.HORA, period.hour);
            soluc.setText(t.AULA, hour.room);
            if (hour.room.isEmpty())
                ++counts.withoutRoom;
            ++counts.placed;
        }
        soluc.post();
    }
    soluc.close();
    return counts;
}

} // namespace quintaro::tables
