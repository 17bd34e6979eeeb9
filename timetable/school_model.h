#pragma once

#include "import/slot_clashes.h"
#include "platform/xml_document.h"
#include "timetable/timetable.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// What a result document says, read once for the grids: its lessons, teachers, groups, rooms and
// frames, and the time slots of its horario section.
namespace quintaro::timetable {

struct Lesson {
    QString subject, group; // the first group
    QStringList groups, teachers; // every one the lesson names, as written
    bool task = false; // a guardia, a meeting: it may be in a break
    qint64 hours = 1;
    qint64 placed = 0;
};

struct Slot {
    QString frame;
    int day = 0, index = 0;
    QString lesson, teacher, room;
    bool namedRoom = false;
    QStringList teachers, groups; // the tramo's teacher first, then the lesson's others; its groups
};

// "lunes, hora 2 (marco M)".
QString when(const Slot& s);
QString teacherWho(const QString& t);
QString groupWho(const QString& g);
QString roomWho(const QString& r);

struct SchoolModel {
    QHash<QString, Lesson> lessons;
    QStringList lessonOrder;
    QHash<QString, QString> fullName; // a teacher's nombreCompleto by nombre
    QStringList teacherOrder;
    QHash<QString, QString> frameOfGroup;
    QStringList groupOrder;
    QStringList roomOrder;
    // Each frame's period rows, by index, with the day whose times they show (the earliest).
    QStringList frameOrder;
    QHash<QString, QMap<int, std::pair<int, PeriodRow>>> rowsOfFrame;
    QHash<QString, std::pair<int, int>> clockOf; // "frame/day/index" -> minutes from, to
    QHash<QString, QString> breakOf; // "frame/day/index" -> the Tipo of a period that is no teaching time
    int days = 5;
    // The option groups of each whole group (tables/option_groups.h), by name.
    QHash<QString, QStringList> optionsOf;
    QHash<QString, QString> wholeOfOption;

    // "Ana Gómez (AGM)", or the short name when the document gives no other.
    QString teacherLabel(const QString& teacher) const;
    QString teacherFullName(const QString& teacher) const;
};

SchoolModel readSchoolModel(const XmlDocument& doc);

// The time slots of a horario section: each lesson's placed hours counted in `model`, who is where
// placed in `clashes`, and a class in a break told in `inBreaks`.
std::vector<Slot> readSlots(const XmlNode& section, SchoolModel& model, SlotClashes& clashes, QStringList& inBreaks);

} // namespace quintaro::timetable
