#include "export/frame_choice.h"

#include "platform/error.h"
#include "platform/text.h"

namespace quintaro {

namespace {
QString padded(const QString& id) { return text::left(id + QString(kFrameIdWidth, u' '), kFrameIdWidth); }
} // namespace

QStringList frameIdentifiers(const XmlDocument& doc)
{
    QStringList ids;
    const XmlNodeList& frames = doc.select(QStringLiteral("/datosGHC/marcosDeHorario/marcoHorario"));
    for (size_t k = 0; k < frames.size(); ++k) {
        const auto id = frames[k].attributeValue(0);
        if (!id)
            throw RunError(QStringLiteral("El marco horario n.º %1 (/datosGHC/marcosDeHorario/marcoHorario) no tiene "
                                          "atributos; el primero debe ser su id")
                               .arg(k + 1));
        ids << *id;
    }
    return ids;
}

std::optional<QStringList> hoursLines(const XmlDocument& doc, const QString& current)
{
    const XmlNodeList& periods = doc.select(QStringLiteral("/datosGHC/marcosDeHorario/marcoHorario/tramo"));
    if (periods.size() <= 1)
        return std::nullopt;
    QStringList lines;
    for (const XmlNode& period : periods) {
        // A period lacking a child is not shown: it cannot be told apart for this list.
        const XmlNode submarco = period.firstChild("submarco");
        const XmlNode dia = period.firstChild("dia");
        if (submarco.isNull() || dia.isNull() || submarco.text() != current || dia.text() != u"0")
            continue;
        const QString line = period.firstChild("indice").text() + u'-' + period.firstChild("horaEntrada").text() + u'-'
            + period.firstChild("horaSalida").text() + u'-' + period.firstChild("Tipo").text();
        lines << text::left(line, kHoursLineWidth);
    }
    return lines;
}

ClosingResult closeSelection(const QStringList& ids, const QList<int>& selectedRows)
{
    ClosingResult result;
    result.selection.resultMH = true;
    if (selectedRows.size() > 2) {
        result.message = kTooManyFrames;
        result.selection.resultMH = false;
    } else if (selectedRows.isEmpty()) {
        result.message = kNoFrame;
        result.selection.resultMH = false;
    }
    for (qsizetype row = 0; row < ids.size(); ++row)
        if (selectedRows.contains(int(row)))
            result.selection.resultado += padded(ids.at(row));
    return result;
}

FrameSelection selectByIdentifiers(const QStringList& ids, const QStringList& wanted)
{
    const auto listing = [&] {
        QStringList shown;
        for (const QString& id : ids)
            shown << text::trimmed(id);
        return shown.join(QStringLiteral(", "));
    };
    if (wanted.isEmpty() || wanted.size() > 2)
        throw UsageError(
            QStringLiteral("Elija uno o dos marcos horarios con --marcos; el documento tiene: %1").arg(listing()));
    QList<int> rows;
    for (const QString& value : wanted) {
        const QString id = text::trimmed(value);
        qsizetype row = -1;
        for (qsizetype i = 0; i < ids.size() && row < 0; ++i)
            if (text::trimmed(ids.at(i)) == id)
                row = i;
        if (row < 0)
            throw UsageError(
                QStringLiteral("El documento no tiene el marco horario '%1'; tiene: %2").arg(id, listing()));
        if (rows.contains(int(row)))
            throw UsageError(QStringLiteral("El marco horario '%1' está repetido en --marcos").arg(id));
        rows << int(row);
    }
    return closeSelection(ids, rows).selection;
}

} // namespace quintaro
