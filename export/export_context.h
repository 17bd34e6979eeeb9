#pragma once

#include "export/short_code.h"
#include "platform/dbf_table.h"
#include "platform/table_components.h"
#include "platform/text.h"
#include "platform/work_dir.h"
#include "platform/xml_document.h"

#include <memory>
#include <vector>

namespace quintaro {

class RunUi;

// The frames chosen by the time-frames step, read by the groups step.
struct FrameState {
    QString marcoXML1;
    QString marcoXML2;
    QString marco1;
    QString marco2;
};

// What a run did, for the command line's summary.
struct RunReport {
    struct Table {
        QString name;
        qint64 rows = 0;
    };
    struct DroppedLesson {
        QString sesion; // the lesson's first attribute
        QString materia; // its subject text, found in no row of ASIGNOMT
    };
    std::vector<Table> tables;
    QStringList warnings;
    std::vector<DroppedLesson> droppedLessons;
    int teacherNotFound = 0;
    int groupNotFound = 0;
    int taskNotFound = 0;
    QString failedStep;
    QString resultDocument;
    qint64 timeSlots = 0;
    bool hadSchedule = false; // the chosen document already held a horario section

    void noteTable(const QString& name, qint64 rows);
};

// Everything an export step works with: the loaded document, the working directory, the main
// window's table components and the run's shared state.
struct ExportContext {
    const XmlDocument& xmlDoc;
    const WorkDir& dir;
    const QString& filenameXML;
    RunUi& ui;
    TableComponents& components;
    UsedCodes& codigosUsados;
    text::CaselessList& nombresVistos;
    FrameState& frames;
    RunReport& report;
};

// Deletes NAME.DBF and NAME.MDX and creates the table anew with these fields. Refuses, naming
// the table, when another program holds it.
void recreateTable(ExportContext& ctx, const QString& name, const std::vector<dbf::FieldSpec>& fields);
// Opens one of the run's tables for the step's own shared use.
std::unique_ptr<DbfTable> openTable(ExportContext& ctx, const QString& name);
// Closes the table and records its row count for the summary.
void closeTable(ExportContext& ctx, DbfTable& table);

// The node at index i of a selection; a missing one stops the run with a message naming the
// path and the position ("what" names the owner, e.g. "del profesor").
XmlNode requireNode(const XmlDocument& doc, const QString& path, size_t index, const QString& what);
QString trimmedText(const XmlDocument& doc, const QString& path, size_t index, const QString& what);

} // namespace quintaro
