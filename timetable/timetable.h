#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// A solved timetable as a person reads it: from a result document (either solver's), one grid per
// group, teacher and named room, with the days across and the frame's periods down, and what is
// wrong with it marked.
namespace quintaro::timetable {

// One period row of a grid: a frame's period by its index, with its times on the first day.
struct PeriodRow {
    QString frame;
    int index = 0;
    QString from, to;
    bool teaching = true; // by the period kinds' rule (tables/period_kinds.h)
    QString kind; // its Tipo as written ("Recreo")
};

// What one cell shows of one slot.
struct Entry {
    QString lesson; // the sesion id
    QString subject; // the materia, in full
    QString other; // the teacher in a group's grid, the group in a teacher's or a room's
    QString room; // a named room, outside a room's own grid; empty for the group's own
    bool clash = false; // the grid's owner is in two places at that time
    bool wrongHours = false; // the lesson has more or fewer placed hours than its numSesiones
    bool inBreak = false; // a class (not a task) in a period that is no teaching time
};

struct Grid {
    enum class Kind { Group, Teacher, Room };
    Kind kind = Kind::Group;
    QString name; // as the document writes it ("1º ESO A", "MGL", "Aula π")
    QString title; // "Grupo 1º ESO A", "Profesor María García López (MGL)", "Aula Aula π"
    QString label; // for lists: "1º ESO A", "María García López (MGL)", "Aula π"
    std::vector<PeriodRow> rows;
    // cells[row][day]: the entries at that period on that day (two or more: a clash).
    std::vector<std::vector<std::vector<Entry>>> cells;
    QStringList problems; // what is marked, one sentence each
    std::vector<std::vector<bool>> gaps; // gaps[row][day]: a free period between lessons (measureQuality)
};

// The lessons whose placed hours differ from their numSesiones.
struct HoursProblem {
    QString lesson, subject, group;
    qint64 hours = 0, placed = 0;
};

// How good the timetable is, as a school judges it (timetable/quality.h).
struct Quality {
    qint64 studentGaps = 0; // free teaching periods between a group's lessons, in the week
    qint64 groupsWithGaps = 0;
    qint64 teacherGaps = 0; // the same for the teachers, within each frame's periods
    qint64 mostTeacherGaps = 0;
    QString teacherWithMost; // the grid label of the teacher with the most
    qint64 subjectTwiceInADay = 0; // a group's subject in more than one period of a day
};

struct Timetable {
    QString document; // the result document's file name
    QStringList days; // "Lunes" … as many as the frames have
    std::vector<Grid> grids; // groups, then teachers, then rooms, each in the document's order
    std::vector<HoursProblem> hoursProblems;
    QStringList clashes; // the same sentences as the import report
    QStringList inBreaks; // class hours in periods that are no teaching time, one sentence each
    Quality quality; // of every grid, counted before any is left out
};

// Reads the result document at `path`: its last horario section against its own lessons,
// frames, groups, teachers and rooms. Raises a RunError when it is not a result document.
Timetable readTimetable(const QString& path);

// Which grids to keep: all, or those of one group, teacher or room by name (case and accents as
// written; an empty filter keeps everything).
struct GridFilter {
    Grid::Kind kind = Grid::Kind::Group;
    QString name;
};
// Raises a RunError naming what exists when nothing matches.
void keepOnly(Timetable& timetable, const GridFilter& filter);

} // namespace quintaro::timetable
