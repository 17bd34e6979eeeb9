#pragma once

#include "platform/work_dir.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// The six tables of an export, read back as plain rows, for what places the lessons after the
// export (the Velmora stand-in, the FET file) and writes SOLUC for the import.
namespace quintaro::tables {

struct PeriodRow { // DIASHORAST
    int day = 0; // DIA, from 1
    int hour = 0; // HORA
    QString dayName; // TEXTODIA
    QString from, to; // HORADESDE, HORAHASTA ("08:30")
    QString frame; // MARCO, "0" or "1"
    QString frameId; // MARCOXML, the document's frame identifier
    QString kind; // ES_TIPO ("Lectiva", "Recreo"…)
};

struct GroupRow { // GRUPOST
    QString code, level, course, unit, name, frame; // ABREV, NIVEL, CURSO, GRUPO, DESCRIP, MARCO
};

struct NamedRow { // PROFT, ASIGNOMT, AULAT: the code and the whole name
    QString code, name;
    bool generic = false; // AULAT.ES_GENERICA "S"
};

struct LessonRow { // ASIGT
    QString subject, teacher, group, level, course, unit, task; // CASIG, CPROF, CGRUP, NIVEL, CURSO, GRUPO, CTAREA
    qint64 hours = 0; // HORAS, never negative
    qint64 id = 0; // ES_SESION
};

struct SchoolTables {
    std::vector<PeriodRow> periods;
    std::vector<GroupRow> groups;
    std::vector<NamedRow> teachers, subjects, rooms;
    std::vector<LessonRow> lessons;
    QHash<QString, QString> frameOfGroup; // GRUPOST.ABREV -> MARCO
};

// Reads the six tables of `dir`, shared (Velmora may have them open). A missing table stops with
// a message that says to export first.
SchoolTables readSchoolTables(const WorkDir& dir);

// Minutes since midnight of "HH:MM", or -1.
int minutesOf(const QString& time);

} // namespace quintaro::tables
