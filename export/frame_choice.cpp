#include "export/frame_choice.h"

#include "platform/error.h"
#include "platform/text.h"

namespace quintaro {

namespace {
// For each of `parents` elements, the position of its first child in `children`, or -1.
std::vector<qsizetype> firstChildren(const CapturedList& children, size_t parents)
{
    std::vector<qsizetype> first(parents, -1);
    for (size_t i = children.size(); i-- > 0;) {
        const qsizetype parent = children.parent(i);
        if (parent >= 0 && size_t(parent) < parents)
            first[size_t(parent)] = qsizetype(i);
    }
    return first;
}

QString padded(const QString& id) { return text::left(id + QString(kFrameIdWidth, u' '), kFrameIdWidth); }
} // namespace

QStringList frameIdentifiers(const ExportDocument& doc)
{
    QStringList ids;
    const CapturedList& frames = doc.select(paths::kMarcos);
    for (size_t k = 0; k < frames.size(); ++k) {
        // The attribute named id; a frame without one is known by its first attribute.
        auto id = frames.attribute(k, "id");
        if (!id)
            id = frames.attributeValue(k, 0);
        if (!id)
            throw RunError(QStringLiteral("El marco horario n.º %1 (/datosGHC/marcosDeHorario/marcoHorario) no tiene "
                                          "atributos; el primero debe ser su id")
                               .arg(k + 1));
        ids << QString::fromUtf8(*id);
    }
    return ids;
}

QStringList frameLabels(const ExportDocument& doc)
{
    const QStringList ids = frameIdentifiers(doc);
    const CapturedList& frames = doc.select(paths::kMarcos);
    QStringList labels;
    for (qsizetype k = 0; k < ids.size(); ++k) {
        const QString name = text::trimmed(QString::fromUtf8(frames.attribute(size_t(k), "nombre").value_or("")));
        labels << text::trimmed(ids.at(k)) + (name.isEmpty() ? QString() : QStringLiteral(" — ") + name);
    }
    return labels;
}

std::optional<QStringList> hoursLines(const ExportDocument& doc, const QString& current)
{
    const size_t periods = doc.select(paths::kTramos).size();
    if (periods <= 1)
        return std::nullopt;
    // Of each period, the text of its first child of a name, or nothing when it has none.
    const auto childText = [&](const char* path) {
        const CapturedList& children = doc.select(path);
        std::vector<std::optional<QString>> texts(periods);
        const std::vector<qsizetype> first = firstChildren(children, periods);
        for (size_t p = 0; p < periods; ++p)
            if (first[p] >= 0)
                texts[p] = QString::fromUtf8(children.text(size_t(first[p])));
        return texts;
    };
    const auto submarco = childText(paths::kTramoSubmarco), dia = childText(paths::kTramoDia);
    const auto indice = childText(paths::kTramoIndice), entrada = childText(paths::kTramoEntrada);
    const auto salida = childText(paths::kTramoSalida), tipo = childText(paths::kTramoTipo);
    QStringList lines;
    for (size_t p = 0; p < periods; ++p) {
        // A period lacking a child is not shown: it cannot be told apart for this list.
        if (!submarco[p] || !dia[p] || *submarco[p] != current || *dia[p] != u"0")
            continue;
        const QString line = indice[p].value_or(QString()) + u'-' + entrada[p].value_or(QString()) + u'-'
            + salida[p].value_or(QString()) + u'-' + tipo[p].value_or(QString());
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

IdentifierMatch matchIdentifiers(const QStringList& ids, const QStringList& wanted)
{
    QStringList shown;
    for (const QString& id : ids)
        shown << text::trimmed(id);
    const QString listing = shown.join(QStringLiteral(", "));
    if (wanted.isEmpty() || wanted.size() > 2)
        return {{}, QStringLiteral("Elija uno o dos marcos horarios; el documento tiene: %1").arg(listing)};
    QList<int> rows;
    for (const QString& value : wanted) {
        const int row = int(shown.indexOf(text::trimmed(value)));
        if (row < 0)
            return {{},
                    QStringLiteral("El documento no tiene el marco horario '%1'; tiene: %2")
                        .arg(text::trimmed(value), listing)};
        if (rows.contains(row))
            return {{}, QStringLiteral("El marco horario '%1' está repetido").arg(text::trimmed(value))};
        rows << row;
    }
    return {rows, {}};
}

FrameSelection selectByIdentifiers(const QStringList& ids, const QStringList& wanted)
{
    const IdentifierMatch match = matchIdentifiers(ids, wanted);
    if (!match.problem.isEmpty())
        throw UsageError(match.problem);
    return closeSelection(ids, match.rows).selection;
}

} // namespace quintaro
