#include "import/lesson_slots.h"

#include "tables/table_schemas.h"

namespace quintaro {

LessonSlots::LessonSlots(DbfTable& asigt)
{
    static const tables::Asigt A;
    const int casig = asigt.fieldIndex(A.nameOf(A.CASIG));
    const int cgrup = asigt.fieldIndex(A.nameOf(A.CGRUP));
    const int cprof = asigt.fieldIndex(A.nameOf(A.CPROF));
    const int horas = asigt.fieldIndex(A.nameOf(A.HORAS));
    const int esSesion = asigt.fieldIndex(A.nameOf(A.ES_SESION));
    const int ctarea = asigt.fieldIndex(A.nameOf(A.CTAREA));
    m_lessons.reserve(size_t(asigt.storedRowCount()));
    m_chainOf.reserve(asigt.storedRowCount());
    for (asigt.first(); !asigt.eof(); asigt.next()) {
        const int index = int(m_lessons.size());
        m_lessons.push_back({asigt.text(cprof), asigt.text(esSesion), asigt.whole(horas), 0, !asigt.text(ctarea).isEmpty()});
        const std::pair<QString, QString> key{asigt.text(casig), asigt.text(cgrup)};
        auto chain = m_chainOf.find(key);
        if (chain == m_chainOf.end()) {
            m_chainOf.insert(key, {index, index});
        } else {
            m_lessons[size_t(chain->second)].next = index;
            chain->second = index;
        }
    }
}

std::vector<LessonSlots::Short> LessonSlots::shortOfHours() const
{
    std::vector<Short> found;
    for (const Lesson& lesson : m_lessons)
        if (lesson.taken < lesson.hours)
            found.push_back({lesson.sesion, lesson.hours, lesson.taken});
    return found;
}

LessonSlots::Result LessonSlots::take(const QString& subject, const QString& group, const QString& teacher)
{
    // Both sides are read through DbfTable::text(), which leaves out the padding blanks.
    const auto chain = m_chainOf.constFind({subject, group});
    if (chain == m_chainOf.cend())
        return {};
    const int first = chain->first;
    const auto takeOne = [](Lesson& lesson, bool past) {
        ++lesson.taken;
        return Result{lesson.sesion, past, lesson.task};
    };
    // The teacher's own lessons, when there are any; otherwise all of them.
    int firstOfTeacher = -1;
    for (int i = first; i >= 0; i = m_lessons[size_t(i)].next) {
        Lesson& lesson = m_lessons[size_t(i)];
        if (lesson.teacher != teacher)
            continue;
        if (firstOfTeacher < 0)
            firstOfTeacher = i;
        if (lesson.taken < lesson.hours)
            return takeOne(lesson, false);
    }
    if (firstOfTeacher >= 0)
        return takeOne(m_lessons[size_t(firstOfTeacher)], true);
    for (int i = first; i >= 0; i = m_lessons[size_t(i)].next)
        if (m_lessons[size_t(i)].taken < m_lessons[size_t(i)].hours)
            return takeOne(m_lessons[size_t(i)], false);
    return takeOne(m_lessons[size_t(first)], true);
}

} // namespace quintaro
