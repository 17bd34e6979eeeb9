#include "export/document_nodes.h"
#include "export/steps.h"
#include "tables/table_schemas.h"

#include "platform/error.h"

namespace quintaro {

namespace {
const tables::Aulat kTable;

// A generic room's code, base name and number, brought to 10 characters where that can be done
// by keeping its first 19 - L and last L - 9 characters. From L = 20 on only the tail remains.
QString fittedGenericCode(const QString& code)
{
    const qsizetype l = text::length(code);
    if (l <= kCodeLength)
        return code;
    return text::left(code, std::max<qsizetype>(0, 19 - l)) + text::right(code, l - 9);
}

void addRow(DbfTable& table, const QString& code, const QString& name, const QString& generic)
{
    table.append();
    table.setText(kTable.ABREV, code);
    table.setText(kTable.NOMBRE, name);
    table.setText(kTable.ES_GENERICA, generic);
    table.post();
}
} // namespace

// Ordinary rooms first, one per aula, coded by the name's first 10 characters trimmed again; then
// the generic rooms of the first conjuntoDeAulas/general: its first attribute, untrimmed, is
// their name, its second their number.
void ExportarAulas(const ExportDocument& doc, TableOutput& out)
{
    const OwnChildren nombre(doc, {paths::kAulas, paths::kAulaNombre});
    out.recreate(kTable);
    UsedCodes used;
    const size_t count = doc.select(paths::kAulas).size();
    auto aulat = out.open(kTable.name());

    for (size_t i = 0; i < count; ++i) {
        const QString name
            = QString::fromUtf8(ownChild(nombre, i, out.report(), QStringLiteral("aula n.º %1").arg(i + 1)));
        const QString given = text::trimmed(text::left(name, kCodeLength));
        const QString code = used.assign(given);
        noteChangedCode(out.report(), name, given, code, kTable.name() + QStringLiteral(".ABREV"));
        addRow(*aulat, code, name, QStringLiteral("N"));
    }

    const CapturedList& general = doc.select(paths::kAulasGenericas);
    if (!general.empty()) {
        const auto baseBytes = general.attributeValue(0, 0);
        const auto countBytes = general.attributeValue(0, 1);
        if (!baseBytes || !countBytes)
            throw RunError(QStringLiteral("El primer elemento /datosGHC/conjuntoDeAulas/general necesita dos atributos "
                                          "(nombre y número de aulas genéricas) y tiene %1")
                               .arg(general.attributeCount(0)));
        const QString baseName = QString::fromUtf8(*baseBytes);
        const QString countText = QString::fromUtf8(*countBytes);
        const int generic = wholeNumber(countText, QStringLiteral("El primer /datosGHC/conjuntoDeAulas/general"),
                                        QStringLiteral("el número de aulas genéricas"));
        for (int k = 1; k <= generic; ++k) {
            const QString code = used.assign(text::trimmed(fittedGenericCode(baseName + QString::number(k))));
            addRow(*aulat, code, baseName, QStringLiteral("S"));
        }
    }
    out.close(*aulat);
}

} // namespace quintaro
