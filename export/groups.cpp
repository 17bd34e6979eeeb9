#include "export/steps.h"

#include "platform/error.h"

namespace quintaro {

namespace {
using dbf::FieldKind;

enum Column { ABREV, TURNO, NIVEL, CURSO, GRUPO, DESCRIP, MARCO };

const std::vector<dbf::FieldSpec> kGrupostFields = {
    {QStringLiteral("ABREV"), FieldKind::String, 10}, {QStringLiteral("TURNO"), FieldKind::String, 1},
    {QStringLiteral("NIVEL"), FieldKind::String, 5},  {QStringLiteral("CURSO"), FieldKind::String, 3},
    {QStringLiteral("GRUPO"), FieldKind::String, 2},  {QStringLiteral("DESCRIP"), FieldKind::String, 80},
    {QStringLiteral("MARCO"), FieldKind::String, 1},
};
} // namespace

// One row per group of a chosen frame. A group's frame is its whole trimmed submarco, compared
// exactly with the chosen identifiers (comparing only its first character would drop every group
// of a frame named '10' and put a group '12' into frame '1'). The code is level, course and unit
// joined, made unique.
void ExportarGrupos(ExportContext& ctx)
{
    const QString name = QStringLiteral("GRUPOST");
    const QString base = QStringLiteral("/datosGHC/grupos/grupo");
    const QString owner = QStringLiteral("del grupo");
    recreateTable(ctx, name, kGrupostFields);
    UsedCodes used;
    const size_t count = ctx.xmlDoc.select(base + QStringLiteral("/nombre")).size();
    auto table = openTable(ctx, name);
    const FrameState& f = ctx.frames;

    for (size_t i = 0; i < count; ++i) {
        const auto submarco = requireNode(ctx.xmlDoc, base, i, owner).attribute("submarco");
        if (!submarco)
            throw RunError(QStringLiteral("El grupo n.º %1 (%2) no tiene atributo submarco").arg(i + 1).arg(base));
        const QString frame = text::trimmed(*submarco);
        if (frame != f.marcoXML1 && frame != f.marcoXML2)
            continue;
        const QString level = trimmedText(ctx.xmlDoc, base + QStringLiteral("/nivel"), i, owner);
        const QString course = trimmedText(ctx.xmlDoc, base + QStringLiteral("/curso"), i, owner);
        const QString unit = trimmedText(ctx.xmlDoc, base + QStringLiteral("/unidad"), i, owner);
        const QString description = trimmedText(ctx.xmlDoc, base + QStringLiteral("/nombre"), i, owner);
        const QString code = used.assign(level + course + unit);

        table->append();
        table->setText(ABREV, code);
        table->setText(TURNO, QString());
        table->setText(NIVEL, level);
        table->setText(CURSO, course);
        table->setText(GRUPO, unit);
        table->setText(MARCO, frame == f.marcoXML1 ? f.marco1 : f.marco2);
        table->setText(DESCRIP, description);
        table->post();
    }
    closeTable(ctx, *table);
}

} // namespace quintaro
