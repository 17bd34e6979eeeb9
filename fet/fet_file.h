#pragma once

#include "fet/fet_grid.h"
#include "import/import_run.h"
#include "tables/period_kinds.h"
#include "tables/school_tables.h"

#include <QByteArray>

#include <optional>
#include <vector>

// The school of an export as a FET file: FET, the free timetable generator, solves it with its
// command-line program, and the import takes its solution back (fet_solution.h).
namespace quintaro::fet {

// What a Spanish secondary school asks of a timetable, written as FET's own constraints so that
// the school sees (and can change) them in FET's window. A limit below 0 asks nothing.
struct SchoolRules {
    int studentGaps = 0; // free periods between a group's lessons in the week
    bool studentsEarly = true; // each group starts at its first teaching period every day
    int teacherGaps = 3; // free periods between a teacher's lessons in the week
    bool differentDays = true; // a lesson's hours on different days where the week has room (95 %)

    // The rules asked, in Spanish, one line each, as the file's comments say them.
    QStringList described() const;
};

// One step of easing the rules when FET cannot place every hour under them: the teachers' gaps
// first (3 more, then no limit), then the students' start at their first period, then the
// different days; the students' gaps last, and only when `studentsToo`. Nothing when nothing is
// left to ease; otherwise the eased rules, and in `what` what this step gave up, in Spanish.
std::optional<SchoolRules> easedOnce(const SchoolRules& rules, bool studentsToo, QString* what);

// What the file is made of besides the tables.
struct FileHeading {
    QString institution; // the document's file name
    QStringList frames; // the chosen frames' identifiers, recorded in the file's comments
    tables::PeriodKinds kinds; // which periods are teaching time
    SchoolRules rules;
};

struct FetFile {
    QByteArray xml; // UTF-8
    // For each activity, by Id - 1: the lesson (index into SchoolTables::lessons) it is an hour of.
    std::vector<size_t> lessonOfActivity;
    // The names the file gives the rooms, by AULAT.ABREV, and back.
    QHash<QString, QString> roomCodeOfName;
    // How many activities are hours of tasks (guardias, meetings: CTAREA) rather than classes.
    qint64 taskActivities = 0;
};

// One activity per weekly hour of each lesson, the hours of one lesson as one activity group with
// the lesson's id in its comments ("sesión 101"); teachers by their short name as the document
// wrote it (their whole name in the comments), subjects and groups by their whole names, years by
// level and course, the ordinary rooms by name. `names` gives the document's own texts for codes
// whose table form differs.
FetFile writeFetFile(const tables::SchoolTables& school, const OriginalNames& names, const FileHeading& heading);

// How the comments of every constraint Quintaro writes begin.
inline const QString kOwnConstraintMark = QStringLiteral("[Quintaro] ");

// "sesión 101": the comment of each activity of lesson 101.
QString activityComment(qint64 lessonId);
// The frames recorded in a file's comments by writeFetFile; empty when there is no such line.
QStringList framesInComments(const QString& comments);

} // namespace quintaro::fet
