#include "tables/period_kinds.h"

#include <QHash>
#include <QRegularExpression>

#include <map>

namespace quintaro::tables {

QString foldedKind(const QString& kind)
{
    const QString decomposed = kind.trimmed().toCaseFolded().normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            folded += c;
    return folded.simplified();
}

const QStringList& PeriodKinds::breakWords()
{
    static const QStringList words{QStringLiteral("recreo"),   QStringLiteral("descanso"), QStringLiteral("patio"),
                                   QStringLiteral("comida"),   QStringLiteral("almuerzo"), QStringLiteral("comedor"),
                                   QStringLiteral("pausa"),    QStringLiteral("receso"),   QStringLiteral("break")};
    return words;
}

PeriodKinds::PeriodKinds(const QStringList& schoolBreaks)
{
    for (const QString& text : schoolBreaks)
        if (const QString folded = foldedKind(text); !folded.isEmpty())
            m_schoolBreaks.insert(folded);
}

bool PeriodKinds::isBreak(const QString& kind) const
{
    const QString folded = foldedKind(kind);
    if (folded.isEmpty())
        return false;
    if (m_schoolBreaks.contains(folded) || folded.startsWith(QStringLiteral("no lectiv")))
        return true;
    static const QRegularExpression wordSplit(QStringLiteral("[^\\p{L}\\p{N}]+"));
    for (const QString& word : folded.split(wordSplit, Qt::SkipEmptyParts))
        if (breakWords().contains(word))
            return true;
    return false;
}

QStringList kindsTaken(const std::vector<PeriodRow>& periods, const PeriodKinds& kinds)
{
    QStringList order;
    QHash<QString, int> count;
    for (const PeriodRow& p : periods) {
        const QString kind = p.kind.trimmed();
        if (!count.contains(kind))
            order << kind;
        ++count[kind];
    }
    QStringList lines;
    for (const QString& kind : order)
        lines << QStringLiteral("'%1': %2, %3 %4")
                     .arg(kind, kinds.isTeaching(kind) ? QStringLiteral("lectivo") : QStringLiteral("no lectivo"))
                     .arg(count.value(kind))
                     .arg(count.value(kind) == 1 ? QStringLiteral("tramo") : QStringLiteral("tramos"));
    return lines;
}

QStringList groupsOverTheirPeriods(const SchoolTables& school, const PeriodKinds& kinds)
{
    QHash<QString, qint64> teachingPeriods; // per frame
    for (const PeriodRow& p : school.periods)
        if (kinds.isTeaching(p.kind))
            ++teachingPeriods[p.frame];
    std::map<QString, qint64> hoursOfGroup; // by code, so the sentences come in a stable order
    for (const LessonRow& l : school.lessons)
        if (!l.group.isEmpty())
            hoursOfGroup[l.group] += l.hours;
    QStringList problems;
    for (const GroupRow& g : school.groups) {
        const qint64 hours = hoursOfGroup.count(g.code) ? hoursOfGroup.at(g.code) : 0;
        const qint64 periods = teachingPeriods.value(g.frame);
        if (periods == 0)
            problems << QStringLiteral("El grupo %1 no tiene ningún tramo lectivo en su marco horario: todos sus tramos "
                                       "son de un Tipo que se toma como descanso. Revise el Tipo de los tramos en "
                                       "Escolaria (o --no-lectivos)")
                            .arg(g.name.isEmpty() ? g.code : g.name);
        else if (hours > periods)
            problems << QStringLiteral("El grupo %1 tiene %2 horas de clase a la semana y su marco horario solo %3 "
                                       "tramos lectivos. Si sus alumnos se reparten entre materias a la misma hora "
                                       "(optativas, desdobles), eso es un bloque de opciones; si no, quite horas en "
                                       "Escolaria")
                            .arg(g.name.isEmpty() ? g.code : g.name)
                            .arg(hours)
                            .arg(periods);
    }
    return problems;
}

} // namespace quintaro::tables
