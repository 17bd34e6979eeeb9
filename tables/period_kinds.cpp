#include "tables/period_kinds.h"

#include "tables/option_groups.h"

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
    QHash<QString, qint64> ownHours;
    for (const LessonRow& l : school.lessons)
        if (!l.group.isEmpty())
            ownHours[l.group] += l.hours;
    // An option's students also have their whole group's lessons; the whole group's have those of
    // its busiest option, the options of a block going at one time.
    const QHash<QString, QString> wholeOf = wholeGroupOfOption(school.groups);
    QHash<QString, qint64> busiestOption;
    for (auto it = wholeOf.cbegin(); it != wholeOf.cend(); ++it)
        busiestOption[it.value()] = std::max(busiestOption.value(it.value()), ownHours.value(it.key()));
    QStringList problems;
    for (const GroupRow& g : school.groups) {
        const qint64 hours = ownHours.value(g.code) + busiestOption.value(g.code)
                           + (wholeOf.contains(g.code) ? ownHours.value(wholeOf.value(g.code)) : 0);
        const qint64 periods = teachingPeriods.value(g.frame);
        const QString name = g.name.isEmpty() ? g.code : g.name;
        if (periods == 0)
            problems << QStringLiteral("El grupo %1 no tiene ningún tramo lectivo en su marco horario: todos sus tramos "
                                       "son de un Tipo que se toma como descanso. Revise el Tipo de los tramos en "
                                       "Escolaria (o --no-lectivos)")
                            .arg(name);
        else if (hours > periods)
            problems << QStringLiteral("El grupo %1 tiene %2 horas de clase a la semana y su marco horario solo %3 "
                                       "tramos lectivos. Si sus alumnos se reparten entre materias a la misma hora "
                                       "(optativas, desdobles), eso es un bloque de opciones: en Escolaria dé a cada "
                                       "opción un grupo con el nombre del grupo, \"%4\" y la opción (\"%1%4Francés\") "
                                       "y ponga allí sus sesiones; si no, quite horas en Escolaria")
                            .arg(name)
                            .arg(hours)
                            .arg(periods)
                            .arg(kOptionSeparator);
    }
    return problems;
}

} // namespace quintaro::tables
