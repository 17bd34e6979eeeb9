#include "export/steps.h"

#include "app/run_ui.h"
#include "platform/error.h"

namespace quintaro {

namespace {
using dbf::FieldKind;

enum Column {
    DIHO,
    CODDIHO,
    DIA,
    TEXTODIA,
    HORA,
    TEXTOHOR,
    HORADESDE,
    HORAHASTA,
    MINUTOS,
    MARCO,
    MARCOXML,
    ES_MARCO_ID,
    ES_SUBMARCO,
    ES_DIA,
    ES_HORADESDE,
    ES_HORAHASTA,
    ES_TIPO
};

const std::vector<dbf::FieldSpec> kDiashorastFields = {
    {QStringLiteral("DIHO"), FieldKind::String, 10},        {QStringLiteral("CODDIHO"), FieldKind::String, 10},
    {QStringLiteral("DIA"), FieldKind::String, 20},         {QStringLiteral("TEXTODIA"), FieldKind::String, 20},
    {QStringLiteral("HORA"), FieldKind::String, 8},         {QStringLiteral("TEXTOHOR"), FieldKind::String, 20},
    {QStringLiteral("HORADESDE"), FieldKind::String, 8},    {QStringLiteral("HORAHASTA"), FieldKind::String, 8},
    {QStringLiteral("MINUTOS"), FieldKind::String, 8},      {QStringLiteral("MARCO"), FieldKind::String, 1},
    {QStringLiteral("MARCOXML"), FieldKind::String, 10},    {QStringLiteral("ES_MARCO_ID"), FieldKind::String, 2},
    {QStringLiteral("ES_SUBMARCO"), FieldKind::String, 2},  {QStringLiteral("ES_DIA"), FieldKind::String, 1},
    {QStringLiteral("ES_HORADESDE"), FieldKind::String, 8}, {QStringLiteral("ES_HORAHASTA"), FieldKind::String, 8},
    {QStringLiteral("ES_TIPO"), FieldKind::String, 20},
};

const QString kFrames = QStringLiteral("/datosGHC/marcosDeHorario/marcoHorario");
const QString kPeriods = QStringLiteral("/datosGHC/marcosDeHorario/marcoHorario/tramo");

QString weekday(int dia)
{
    static const QStringList names
        = {QStringLiteral("Lunes"),   QStringLiteral("Martes"), QStringLiteral("Miércoles"), QStringLiteral("Jueves"),
           QStringLiteral("Viernes"), QStringLiteral("Sábado"), QStringLiteral("Domingo")};
    return dia >= 0 && dia < names.size() ? names.at(dia) : QString();
}

// Minutes since midnight of a time whose hours are its characters 1-2 and minutes 4-5.
int minutesOf(const QString& time) { return 60 * text::toInt(time.mid(0, 2)) + text::toInt(time.mid(3, 2)); }

// The selection text: the dialog's, shown again until the choice is valid, or the single frame's id.
QString selectionText(ExportContext& ctx)
{
    const XmlNodeList& frames = ctx.xmlDoc.select(kFrames);
    if (frames.size() >= 2) {
        FrameSelection chosen;
        do
            chosen = ctx.ui.chooseFrames(ctx.filenameXML, ctx.xmlDoc);
        while (!chosen.resultMH);
        return chosen.resultado;
    }
    if (frames.empty())
        throw RunError(QStringLiteral("El documento no tiene marcos horarios (%1)").arg(kFrames));
    const auto id = frames.front().attribute("id");
    if (!id)
        throw RunError(QStringLiteral("El único marco horario del documento no tiene atributo id"));
    return text::trimmed(*id);
}

// A row for the period at index i when it belongs to a chosen frame.
void addPeriod(ExportContext& ctx, DbfTable& table, size_t i)
{
    const XmlDocument& doc = ctx.xmlDoc;
    const QString owner = QStringLiteral("del tramo");
    const QString s = trimmedText(doc, kPeriods + QStringLiteral("/submarco"), i, owner);
    if (s != ctx.frames.marcoXML1 && s != ctx.frames.marcoXML2)
        return;
    const int d = text::toInt(trimmedText(doc, kPeriods + QStringLiteral("/dia"), i, owner));
    const int h = text::toInt(trimmedText(doc, kPeriods + QStringLiteral("/indice"), i, owner));
    const QString start = trimmedText(doc, kPeriods + QStringLiteral("/horaEntrada"), i, owner);
    const QString end = trimmedText(doc, kPeriods + QStringLiteral("/horaSalida"), i, owner);
    const QString span = text::left(start, 5) + u'-' + text::left(end, 5);
    const QString kind = trimmedText(doc, kPeriods + QStringLiteral("/Tipo"), i, owner);
    const int minutes = minutesOf(end) - minutesOf(start);

    table.append();
    table.setText(DIHO, QString::number(d + 1) + QString::number(h));
    table.setText(DIA, QString::number(d + 1));
    table.setText(TEXTODIA, weekday(d));
    table.setText(HORA, QString::number(h));
    table.setText(TEXTOHOR, QString::number(h) + u'-' + span);
    table.setText(CODDIHO, QString());
    table.setText(HORADESDE, text::left(start, 5));
    table.setText(HORAHASTA, text::left(end, 5));
    table.setText(MINUTOS, QString::number(minutes));
    table.setText(MARCOXML, s);
    table.setText(ES_MARCO_ID, s);
    table.setText(ES_SUBMARCO, s);
    table.setText(ES_DIA, QString::number(d));
    table.setText(ES_HORADESDE, start);
    table.setText(ES_HORAHASTA, end);
    table.setText(ES_TIPO, kind);
    table.post();
}

// Start of period 1 of day 0 of a frame, or `otherwise` when the frame has none.
int dayStart(DbfTable& table, const QString& frame, int otherwise)
{
    if (!table.locate(QStringLiteral("DIHO;MARCOXML"), {QStringLiteral("11"), frame}))
        return otherwise;
    return minutesOf(table.text(HORADESDE));
}
} // namespace

void ExportarMarcos(ExportContext& ctx)
{
    const QString name = QStringLiteral("DIASHORAST");
    recreateTable(ctx, name, kDiashorastFields);

    const QString selection = selectionText(ctx);
    FrameState& f = ctx.frames;
    f.marcoXML1.clear();
    f.marcoXML2.clear();
    if (text::length(selection) == 2 * kFrameIdWidth) {
        f.marcoXML1 = text::trimmed(text::left(selection, kFrameIdWidth));
        f.marcoXML2 = text::trimmed(text::right(selection, kFrameIdWidth));
    } else {
        f.marcoXML1 = text::trimmed(text::left(selection, kFrameIdWidth));
    }

    auto table = openTable(ctx, name);
    const size_t periods = ctx.xmlDoc.select(kPeriods).size();
    for (size_t i = 0; i < periods; ++i)
        addPeriod(ctx, *table, i);

    // The frame that starts its day 0 earlier gets "0"; on equal starts, the first chosen.
    table->first();
    const int a = dayStart(*table, f.marcoXML1, 0);
    const int b = dayStart(*table, f.marcoXML2, 24 * 60);
    f.marco1 = a <= b ? QStringLiteral("0") : QStringLiteral("1");
    f.marco2 = a <= b ? QStringLiteral("1") : QStringLiteral("0");
    for (table->first(); !table->eof(); table->next()) {
        const QString frame = table->text(MARCOXML);
        if (frame != f.marcoXML1 && frame != f.marcoXML2)
            continue;
        table->edit();
        table->setText(MARCO, frame == f.marcoXML1 ? f.marco1 : f.marco2);
    }
    closeTable(ctx, *table);
}

} // namespace quintaro
