#pragma once

#include "export/export_document.h"

#include <QList>
#include <QStringList>

#include <optional>

// The choice of time frames, shared by the selection dialog, the command line and the time-frames
// step: which frames a document lists, what each shows of its first day, and the selection text.
namespace quintaro {

inline constexpr int kFrameIdWidth = 10;
inline constexpr int kHoursLineWidth = 30;

struct FrameSelection {
    bool resultMH = false;
    QString resultado; // 10 characters per chosen frame, in the order of the list
    bool cancelled = false; // the person closed the dialog (Esc, the close box) instead of choosing
};

// What the export says when the person cancels the frame choice.
inline const QString kExportCancelled = QStringLiteral("Exportación cancelada; las tablas de Velmora no se han cambiado.");

// The frame list: of each marcoHorario, the value of its attribute id (its first attribute when it
// has no id), untrimmed. A frame without any attribute stops the run with a message naming it.
QStringList frameIdentifiers(const ExportDocument& doc);

// How a frame is shown to the person: its identifier, and its attribute nombre beside it when it
// has one ("M — Mañana"), in the order of frameIdentifiers.
QStringList frameLabels(const ExportDocument& doc);

// The hours list for the frame named `current`: one line per period whose submarco equals it and
// whose dia is exactly "0", "indice-horaEntrada-horaSalida-Tipo" cut to 30 characters, nothing
// trimmed. Nothing when the document has fewer than two periods (the list then keeps what it shows).
std::optional<QStringList> hoursLines(const ExportDocument& doc, const QString& current);

// What closing the dialog hands back for these selected rows of `ids`, and the message to show
// for an invalid count (empty when the count is valid).
struct ClosingResult {
    FrameSelection selection;
    QString message;
};
ClosingResult closeSelection(const QStringList& ids, const QList<int>& selectedRows);

// The rows of `ids` that the wanted identifiers name (both trimmed), in the order given, or what is
// wrong with them: an unknown identifier, a repeated one, none or more than two.
struct IdentifierMatch {
    QList<int> rows;
    QString problem; // empty when the identifiers name one or two listed frames
};
IdentifierMatch matchIdentifiers(const QStringList& ids, const QStringList& wanted);

// The command line's choice: each wanted identifier matches a listed one, both trimmed; the
// selection is built in list order exactly as the dialog builds it. Raises a UsageError for an
// unknown identifier, a repeated one, or more than two.
FrameSelection selectByIdentifiers(const QStringList& ids, const QStringList& wanted);

inline const QString kTooManyFrames
    = QStringLiteral("Demasiados Marcos Horarios seleccionados.\r\nComo máximo puede seleccionar 2 Marcos Horarios");
inline const QString kNoFrame = QStringLiteral("Debe al menos seleccionar 1 Marco Horario.");

} // namespace quintaro
