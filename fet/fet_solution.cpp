#include "fet/fet_solution.h"

#include "platform/error.h"
#include "platform/xml_document.h"

#include <QDir>
#include <QFileInfo>

#include <map>

namespace quintaro::fet {

namespace {
const QString kActivitiesSuffix = QStringLiteral("_activities.xml");

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

SolutionFiles filesOf(const QString& activities, bool partial)
{
    const QFileInfo info(activities);
    const QString name = info.fileName().chopped(kActivitiesSuffix.size());
    const QString data = info.dir().filePath(name + QStringLiteral("_data_and_timetable.fet"));
    return {info.absoluteFilePath(), QFileInfo(data).isFile() ? data : QString(), partial};
}

[[noreturn]] void notOfThisDocument(const QString& why)
{
    throw RunError(QStringLiteral("La solución de FET no es de este documento con estos marcos horarios (%1). "
                                  "Escriba el archivo de FET de nuevo con 'quintaro-cli fet' y vuelva a resolverlo")
                       .arg(why));
}
} // namespace

SolutionsFound solutionsIn(const QString& outputDir)
{
    // fet-cl writes timetables/NAME/NAME_activities.xml when it placed everything; when it
    // stopped before, NAME-highest/NAME_activities.xml (and NAME-current), and NAME/ holds only
    // its random seed.
    SolutionsFound found;
    const QDir timetables(QDir(outputDir).filePath(QStringLiteral("timetables")));
    for (const QFileInfo& folder : timetables.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QStringList files = QDir(folder.absoluteFilePath()).entryList({u'*' + kActivitiesSuffix}, QDir::Files);
        if (files.isEmpty())
            continue;
        const QString inside = QDir(folder.absoluteFilePath()).filePath(files.constFirst());
        if (folder.fileName().endsWith(QStringLiteral("-highest"))) {
            if (found.highest.isEmpty())
                found.highest = inside;
        } else if (!folder.fileName().endsWith(QStringLiteral("-current")) && found.complete.isEmpty()) {
            found.complete = inside;
        }
    }
    return found;
}

SolutionFiles findSolution(const QString& path)
{
    const QFileInfo info(path);
    if (info.isFile()) {
        if (!info.fileName().endsWith(kActivitiesSuffix))
            throw RunError(QStringLiteral("%1 no es el archivo de actividades de FET (…%2) ni su carpeta de resultados")
                               .arg(native(path), kActivitiesSuffix));
        return filesOf(path, info.dir().dirName().endsWith(QStringLiteral("-highest")));
    }
    if (!info.isDir())
        throw RunError(QStringLiteral("No existe %1").arg(native(path)));
    const SolutionsFound found = solutionsIn(path);
    const QString& complete = found.complete;
    const QString& highest = found.highest;
    if (!complete.isEmpty())
        return filesOf(complete, false);
    if (!highest.isEmpty())
        return filesOf(highest, true);
    throw RunError(QStringLiteral("%1 no tiene una solución de FET (timetables/…/…%2): ¿terminó fet-cl?")
                       .arg(native(path), kActivitiesSuffix));
}

Solution readSolution(const SolutionFiles& files, const tables::SchoolTables& school, const FetFile& file)
{
    const Grid grid(school);
    const qsizetype expected = qsizetype(file.lessonOfActivity.size());

    if (!files.data.isEmpty()) {
        const XmlDocument data = XmlDocument::load(files.data);
        const XmlNodeList& activities = data.select(QStringLiteral("/fet/Activities_List/Activity"));
        if (qsizetype(activities.size()) != expected)
            notOfThisDocument(QStringLiteral("FET resolvió %1 actividades y el documento da %2")
                                  .arg(activities.size())
                                  .arg(expected));
        for (const XmlNode& a : activities) {
            bool ok = false;
            const qint64 id = a.firstChild("Id").text().trimmed().toLongLong(&ok);
            if (!ok || id < 1 || id > expected)
                notOfThisDocument(QStringLiteral("actividad %1 desconocida").arg(a.firstChild("Id").text().trimmed()));
            const QString said = a.firstChild("Comments").text().trimmed();
            const QString wanted = activityComment(school.lessons[file.lessonOfActivity[size_t(id - 1)]].id);
            if (said != wanted)
                notOfThisDocument(QStringLiteral("la actividad %1 es «%2» en FET y «%3» en el documento").arg(id).arg(said, wanted));
        }
    }

    const XmlDocument result = XmlDocument::load(files.activities);
    if (result.root().name() != u"Activities_Timetable")
        throw RunError(QStringLiteral("%1 no es un archivo de actividades de FET (su elemento raíz es %2)")
                           .arg(native(files.activities), result.root().name()));
    const XmlNodeList& activities = result.select(QStringLiteral("/Activities_Timetable/Activity"));
    if (qsizetype(activities.size()) != expected)
        notOfThisDocument(QStringLiteral("la solución tiene %1 actividades y el documento da %2").arg(activities.size()).arg(expected));

    Solution solution;
    solution.lessonsChecked = !files.data.isEmpty();
    solution.hours.resize(size_t(expected));
    std::map<std::pair<int, QString>, qint64> busy; // (period, teacher or group) -> activity
    std::vector<bool> seen(size_t(expected), false);
    for (const XmlNode& a : activities) {
        bool ok = false;
        const QString idText = a.firstChild("Id").text().trimmed();
        const qint64 id = idText.toLongLong(&ok);
        if (!ok || id < 1 || id > expected || seen[size_t(id - 1)])
            notOfThisDocument(QStringLiteral("actividad «%1» desconocida o repetida").arg(idText));
        seen[size_t(id - 1)] = true;
        tables::PlacedHour& hour = solution.hours[size_t(id - 1)];
        hour.lesson = file.lessonOfActivity[size_t(id - 1)];
        const QString day = a.firstChild("Day").text().trimmed(), time = a.firstChild("Hour").text().trimmed();
        if (day.isEmpty() || time.isEmpty()) {
            ++solution.unplaced;
            continue;
        }
        const int d = int(grid.days().indexOf(day)), h = int(grid.hours().indexOf(time));
        if (d < 0 || h < 0 || grid.periodAt(d, h) < 0)
            notOfThisDocument(QStringLiteral("la actividad %1 está el «%2» a la hora «%3», que el documento no tiene")
                                  .arg(id)
                                  .arg(day, time));
        const tables::LessonRow& lesson = school.lessons[size_t(hour.lesson)];
        const QString frame = school.frameOfGroup.value(lesson.group);
        if (!frame.isEmpty() && grid.frameOfHour(h) != frame)
            notOfThisDocument(QStringLiteral("la actividad %1 (sesión %2, grupo %3) está a la hora «%4», que es de otro "
                                             "marco horario que el de su grupo")
                                  .arg(id)
                                  .arg(lesson.id)
                                  .arg(lesson.group, time));
        hour.period = grid.periodAt(d, h);
        hour.room = file.roomCodeOfName.value(a.firstChild("Room").text().trimmed());
        // FET never puts a teacher or a group in two places at once with its own data; when it
        // seems to here, its activities are not the lessons they are taken for.
        for (const QString& who : {QStringLiteral("profesor ") + lesson.teacher, QStringLiteral("grupo ") + lesson.group}) {
            if (who.endsWith(u' '))
                continue;
            const auto [at, fresh] = busy.try_emplace(std::make_pair(hour.period, who), id);
            if (!fresh)
                notOfThisDocument(QStringLiteral("las actividades %1 y %2 ponen al %3 dos veces el «%4» a la hora «%5»")
                                      .arg(at->second)
                                      .arg(id)
                                      .arg(who, day, time));
        }
    }
    return solution;
}

} // namespace quintaro::fet
