#include "export/document_nodes.h"
#include "export/steps.h"
#include "tables/table_schemas.h"
#include "tables/weekdays.h"

#include "platform/error.h"

namespace quintaro {

namespace {
const tables::Diashorast kTable;

// Minutes since midnight of a time whose hours are its characters 1-2 and minutes 4-5.
int minutesOf(const QString& time, const QString& where, const QString& name)
{
    if (!text::isInt(time.mid(0, 2)) || !text::isInt(time.mid(3, 2)))
        throw RunError(QStringLiteral("%1: %2 '%3' no es una hora (hh:mm)").arg(where, name, time));
    return 60 * time.mid(0, 2).toInt() + time.mid(3, 2).toInt();
}

// The selection text: the person's choice, or the single frame's id.
QString selectionText(const ExportDocument& doc, const FrameChooser& choose)
{
    const CapturedList& frames = doc.select(paths::kMarcos);
    if (frames.size() >= 2) {
        const std::optional<FrameSelection> chosen = choose();
        if (!chosen || !chosen->resultMH)
            throw RunCancelled(kExportCancelled);
        return chosen->resultado;
    }
    if (frames.empty())
        throw RunError(
            QStringLiteral("El documento no tiene marcos horarios (%1)").arg(QLatin1StringView(paths::kMarcos)));
    const auto id = frames.attribute(0, "id");
    if (!id)
        throw RunError(QStringLiteral("El único marco horario del documento no tiene atributo id"));
    return QString::fromUtf8(trimmedBytes(*id));
}

// Each period's own children.
struct PeriodFields {
    explicit PeriodFields(const ExportDocument& doc)
        : submarco(doc, {paths::kTramos, paths::kTramoSubmarco}), dia(doc, {paths::kTramos, paths::kTramoDia}),
          indice(doc, {paths::kTramos, paths::kTramoIndice}), entrada(doc, {paths::kTramos, paths::kTramoEntrada}),
          salida(doc, {paths::kTramos, paths::kTramoSalida}), tipo(doc, {paths::kTramos, paths::kTramoTipo})
    {
    }
    OwnChildren submarco, dia, indice, entrada, salida, tipo;
};

// A row for the period at index i when it belongs to a chosen frame.
void addPeriod(const PeriodFields& p, const ChosenFrames& frames, DbfTable& table, size_t i, ExportReport& report)
{
    const QString s = QString::fromUtf8(p.submarco.text(i));
    if (s != frames.marcoXML1 && s != frames.marcoXML2)
        return;
    const QString owner = QStringLiteral("tramo n.º %1 del marco %2").arg(i + 1).arg(s);
    if (p.submarco.count(i) > 1)
        ownChild(p.submarco, i, report, owner);
    const QString where = QStringLiteral("El tramo n.º %1 del marco %2").arg(i + 1).arg(s);
    const auto child = [&](const OwnChildren& c) { return QString::fromUtf8(ownChild(c, i, report, owner)); };
    const int d = wholeNumber(child(p.dia), where, QStringLiteral("dia"));
    const int h = wholeNumber(child(p.indice), where, QStringLiteral("indice"));
    const QString start = child(p.entrada);
    const QString end = child(p.salida);
    const QString span = text::left(start, 5) + u'-' + text::left(end, 5);
    const QString kind = child(p.tipo);
    const int minutes
        = minutesOf(end, where, QStringLiteral("horaSalida")) - minutesOf(start, where, QStringLiteral("horaEntrada"));

    table.append();
    table.setText(kTable.DIHO, QString::number(d + 1) + QString::number(h));
    table.setText(kTable.DIA, QString::number(d + 1));
    table.setText(kTable.TEXTODIA, tables::weekdayName(d));
    table.setText(kTable.HORA, QString::number(h));
    table.setText(kTable.TEXTOHOR, QString::number(h) + u'-' + span);
    table.setText(kTable.CODDIHO, QString());
    table.setText(kTable.HORADESDE, text::left(start, 5));
    table.setText(kTable.HORAHASTA, text::left(end, 5));
    table.setText(kTable.MINUTOS, QString::number(minutes));
    table.setText(kTable.MARCOXML, s);
    table.setText(kTable.ES_MARCO_ID, s);
    table.setText(kTable.ES_SUBMARCO, s);
    table.setText(kTable.ES_DIA, QString::number(d));
    table.setText(kTable.ES_HORADESDE, start);
    table.setText(kTable.ES_HORAHASTA, end);
    table.setText(kTable.ES_TIPO, kind);
    table.post();
}

// Start of period 1 of day 0 of a frame, or `otherwise` when the frame has none.
int dayStart(DbfTable& table, const QString& frame, int otherwise)
{
    if (!table.locate(QStringLiteral("DIHO;MARCOXML"), {QStringLiteral("11"), frame}))
        return otherwise;
    return minutesOf(table.text(kTable.HORADESDE), QStringLiteral("El primer tramo del marco %1").arg(frame),
                     QStringLiteral("horaEntrada"));
}
} // namespace

ChosenFrames ExportarMarcos(const ExportDocument& doc, TableOutput& out, const FrameChooser& choose)
{
    out.recreate(kTable);

    const QString selection = selectionText(doc, choose);
    ChosenFrames f;
    if (text::length(selection) == 2 * kFrameIdWidth) {
        f.marcoXML1 = text::trimmed(text::left(selection, kFrameIdWidth));
        f.marcoXML2 = text::trimmed(text::right(selection, kFrameIdWidth));
    } else {
        f.marcoXML1 = text::trimmed(text::left(selection, kFrameIdWidth));
    }

    // An identifier longer than 10 characters was cut on the way; its periods no longer match it.
    for (const QString& id : frameIdentifiers(doc)) {
        const QString whole = text::trimmed(id);
        if (text::length(whole) > kFrameIdWidth
            && (text::left(whole, kFrameIdWidth) == f.marcoXML1 || text::left(whole, kFrameIdWidth) == f.marcoXML2))
            out.report().note(Finding::FrameIdCut, {}, whole,
                              QStringLiteral("cortado a «%1»").arg(text::left(whole, kFrameIdWidth)));
    }

    auto table = out.open(kTable.name());
    const PeriodFields fields(doc);
    const size_t periods = doc.select(paths::kTramos).size();
    for (size_t i = 0; i < periods; ++i)
        try {
            addPeriod(fields, f, *table, i, out.report());
        } catch (const RunError& e) {
            out.report().stopOrNote(e); // a check goes on to the next period
        }
    for (const QString& frame : {f.marcoXML1, f.marcoXML2})
        if (!frame.isEmpty() && !table->locate(QStringLiteral("MARCOXML"), {frame}))
            out.report().note(Finding::FrameEmpty, {}, frame, QStringLiteral("ningún tramo tiene este submarco"));

    // The frame that starts its day 0 earlier gets "0"; on equal starts, the first chosen.
    table->first();
    const int a = dayStart(*table, f.marcoXML1, 0);
    const int b = dayStart(*table, f.marcoXML2, 24 * 60);
    f.marco1 = a <= b ? QStringLiteral("0") : QStringLiteral("1");
    f.marco2 = a <= b ? QStringLiteral("1") : QStringLiteral("0");
    for (table->first(); !table->eof(); table->next()) {
        const QString frame = table->text(kTable.MARCOXML);
        if (frame != f.marcoXML1 && frame != f.marcoXML2)
            continue;
        table->edit();
        table->setText(kTable.MARCO, frame == f.marcoXML1 ? f.marco1 : f.marco2);
    }
    out.close(*table);
    return f;
}

} // namespace quintaro
