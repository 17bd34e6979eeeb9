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
    for (asigt.first(); !asigt.eof(); asigt.next()) {
        const Key key{asigt.text(casig), asigt.text(cgrup)};
        std::vector<Lesson>& lessons = m_lessons[key];
        m_order.emplace_back(key, lessons.size());
        lessons.push_back({asigt.text(cprof), asigt.text(esSesion), asigt.whole(horas), 0, !asigt.text(ctarea).isEmpty()});
    }
}

std::vector<LessonSlots::Short> LessonSlots::shortOfHours() const
{
    std::vector<Short> found;
    for (const auto& [key, index] : m_order) {
        const Lesson& lesson = m_lessons.constFind(key)->at(index); // value() would give a copy
        if (lesson.taken < lesson.hours)
            found.push_back({lesson.sesion, lesson.hours, lesson.taken});
    }
    return found;
}

LessonSlots::Result LessonSlots::take(const QString& subject, const QString& group, const QString& teacher)
{
    // Both sides are read through DbfTable::text(), which leaves out the padding blanks.
    const auto found = m_lessons.find(Key{subject, group});
    if (found == m_lessons.end())
        return {};
    std::vector<Lesson>& all = *found;

    std::vector<Lesson*> candidates;
    for (Lesson& lesson : all)
        if (lesson.teacher == teacher)
            candidates.push_back(&lesson);
    if (candidates.empty())
        for (Lesson& lesson : all)
            candidates.push_back(&lesson);

    for (Lesson* lesson : candidates)
        if (lesson->taken < lesson->hours) {
            ++lesson->taken;
            return {lesson->sesion, false, lesson->task};
        }
    ++candidates.front()->taken;
    return {candidates.front()->sesion, true, candidates.front()->task};
}

} // namespace quintaro
