#include "timetable/timetable.h"

#include "import/import_run.h"
#include "platform/error.h"
#include "tables/document_paths.h"
#include "tables/weekdays.h"
#include "timetable/grids.h"
#include "timetable/quality.h"
#include "timetable/school_model.h"

#include <QDir>
#include <QFileInfo>

namespace quintaro::timetable {

Timetable readTimetable(const QString& path)
{
    const XmlDocument doc = XmlDocument::load(path);
    requireInterchangeRoot(doc.root().name(), path); // the import's own check and words
    const XmlNodeList& sections = doc.select(QString::fromLatin1(paths::kHorario));
    if (sections.empty())
        throw RunError(QStringLiteral("%1 no tiene sección horario: abra el documento resultado "
                                      "(ResultadoZentar…), el que escribe la importación")
                           .arg(QDir::toNativeSeparators(path)));

    SchoolModel model = readSchoolModel(doc);
    Timetable table;
    SlotClashes clashes;
    // The last horario section is the newest solution.
    const std::vector<Slot> slots = readSlots(sections.back(), model, clashes, table.inBreaks);

    table.document = QFileInfo(path).fileName();
    for (int d = 0; d < model.days; ++d)
        table.days << tables::weekdayName(d);
    table.clashes = clashes.found();
    for (const QString& id : model.lessonOrder) {
        const Lesson& l = model.lessons[id];
        if (l.placed != l.hours && l.hours > 0)
            table.hoursProblems.push_back({id, l.subject, l.group, l.hours, l.placed});
    }
    addGrids(table, model, slots, clashes);
    table.quality = measureQuality(table);
    return table;
}

void keepOnly(Timetable& timetable, const GridFilter& filter)
{
    if (filter.name.isEmpty())
        return;
    std::vector<Grid> kept;
    QStringList names;
    for (Grid& g : timetable.grids)
        if (g.kind == filter.kind) {
            names << g.name;
            if (g.name == filter.name.trimmed())
                kept.push_back(std::move(g));
        }
    if (kept.empty()) {
        const char* what = filter.kind == Grid::Kind::Group ? "grupo" : filter.kind == Grid::Kind::Teacher ? "profesor" : "aula";
        throw RunError(QStringLiteral("El horario no tiene %1 «%2»; tiene: %3")
                           .arg(QString::fromLatin1(what), filter.name.trimmed(), names.join(QStringLiteral(", "))));
    }
    timetable.grids = std::move(kept);
}

} // namespace quintaro::timetable
