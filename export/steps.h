#pragma once

#include "export/export_document.h"
#include "export/frame_choice.h"
#include "export/table_output.h"
#include "export/used_codes.h"
#include "platform/text.h"

#include <QHash>
#include <QSet>

#include <functional>

// The seven conversion steps of the export run, called in this order. Each takes what it reads
// and returns what it leaves for the steps after it.
namespace quintaro {

// The used-code and seen-name lists that the subjects and tasks steps share. The tasks step
// leaves them empty.
struct SubjectLists {
    UsedCodes codigosUsados;
    text::CaselessList nombresVistos;
};

// What a step stored for each trimmed document text that gave a row, first occurrence first.
// The lessons step falls back on it when the stored value no longer equals the text (a name cut
// to its field, a code shortened or counted to stay unique).
using CodeOfText = QHash<QString, QString>;
struct GroupRow {
    QString abrev, nivel, curso, grupo;
};
using GroupOfText = QHash<QString, GroupRow>;

// What the groups step leaves: the rows of the chosen frames' groups by name, and the names of
// the groups it left out because their frame was not chosen.
struct ExportedGroups {
    GroupOfText rows;
    QSet<QString> ofOtherFrames;
};

struct LessonSources {
    CodeOfText subjects; // materia or tarea text -> ASIGNOMT.COD
    CodeOfText teachers; // nombre -> PROFT.ABREV
    GroupOfText groups; // nombre -> the GRUPOST row
    QSet<QString> groupsOfOtherFrames; // names of groups whose frame was not chosen
};

// The frames chosen by the time-frames step, read by the groups step: the identifiers and their
// one-character codes ("0" for the one whose day starts first).
struct ChosenFrames {
    QString marcoXML1;
    QString marcoXML2;
    QString marco1;
    QString marco2;
};

// Asks the person for one or two frames; nothing when they gave up.
using FrameChooser = std::function<std::optional<FrameSelection>()>;

void ExportarMaterias(const ExportDocument& doc, TableOutput& out, SubjectLists& lists, CodeOfText& produced);
void ExportarTareas(const ExportDocument& doc, TableOutput& out, SubjectLists& lists, CodeOfText& produced);
CodeOfText ExportarProfesores(const ExportDocument& doc, TableOutput& out);
void ExportarAulas(const ExportDocument& doc, TableOutput& out);
ChosenFrames ExportarMarcos(const ExportDocument& doc, TableOutput& out, const FrameChooser& choose);
ExportedGroups ExportarGrupos(const ExportDocument& doc, TableOutput& out, const ChosenFrames& frames);
void ExportarSesiones(const ExportDocument& doc, TableOutput& out, const LessonSources& sources);

} // namespace quintaro
