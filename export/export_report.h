#pragma once

#include "platform/error.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quintaro {

// Something the export run noticed that the person should know: what happened to which lesson or value.
struct Finding {
    enum Kind {
        WouldStop, // a check only: what would stop the export (a number that is not one, …)
        SubjectMissing, // the lesson's subject is not in ASIGNOMT: no row in ASIGT
        TeacherMissing, // the lesson's teacher is not in PROFT: empty CPROF
        GroupMissing, // the lesson's group is not in GRUPOST: empty CGRUP
        GroupOfOtherFrame, // the lesson's group belongs to a frame not chosen: empty CGRUP
        TaskMissing, // the lesson's task is not a code of ASIGNOMT: empty CTAREA
        HoursTakenAsOne, // numSesiones was empty
        Unmappable, // characters without a Windows-1252 form, stored as '?'
        TextCut, // a name or description longer than its field
        CodeChanged, // a code changed to stay unique or to fit 10 characters
        FrameIdCut, // a chosen frame's identifier longer than 10 characters
        FrameEmpty, // a chosen frame that gives DIASHORAST no period
        ChildMissing, // an element without a child the step reads: read as empty
        ChildRepeated, // an element with that child more than once: the first is used
        TeacherNameShared, // two or more teachers with one nombre: the lessons naming it go to the first
        HoursNotPositive, // a lesson of 0 or fewer weekly hours: no hour to place
        // New kinds go above this line; the report's titles and CSV names are checked against it.
        KindCount
    };
    Kind kind;
    QString sesion; // the lesson's identifier, where a lesson is concerned
    QString value; // the value at fault
    QString detail; // where it stands or what became of it
};

// What the export run noticed, for the person who started it: the rows of each table and the
// findings, in the order they arose.
struct ExportReport {
    struct Table {
        QString name;
        qint64 rows = 0;
    };
    std::vector<Table> tables;
    std::vector<Finding> findings;
    // What the step under way when the run stopped was converting ("los profesores (tabla
    // PROFT)"); empty once every step has finished.
    QString failedStep;
    // A check of the document, not an export: an element that would stop the run is noted as
    // WouldStop and left out, and the step goes on, so that every problem is listed at once.
    bool checkOnly = false;
    // Tables made for FET, which takes every teacher of a lesson (Velmora takes the first only).
    bool forFet = false;

    void noteTable(const QString& name, qint64 rows);
    void note(Finding::Kind kind, const QString& sesion, const QString& value, const QString& detail = {});
    qsizetype count(Finding::Kind kind) const;
    std::vector<Finding> of(Finding::Kind kind) const;
    // Raises `e` in an export; notes it (WouldStop) in a check, naming the lesson when there is one.
    void stopOrNote(const Error& e, const QString& sesion = {});
};

} // namespace quintaro
