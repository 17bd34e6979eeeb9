#include "timetable/quality.h"

#include <QSet>

#include <optional>

namespace quintaro::timetable {

namespace {
bool busy(const Grid& grid, size_t row, size_t day) { return !grid.cells[row][day].empty(); }

// The gaps of one grid, each marked: the teaching periods left free between two lessons of one
// day within one frame (a teacher's morning and evening are two shifts, not a gap).
qint64 markGaps(Grid& grid)
{
    grid.gaps.assign(grid.rows.size(), std::vector<bool>(grid.cells.empty() ? 0 : grid.cells.front().size(), false));
    qint64 gaps = 0;
    for (size_t day = 0; day < (grid.cells.empty() ? 0 : grid.cells.front().size()); ++day) {
        size_t start = 0;
        while (start < grid.rows.size()) {
            size_t end = start;
            while (end < grid.rows.size() && grid.rows[end].frame == grid.rows[start].frame)
                ++end;
            // Rows start..end-1 are one frame's: free teaching rows between the first and last busy.
            std::optional<size_t> first, last;
            for (size_t r = start; r < end; ++r)
                if (busy(grid, r, day)) {
                    first = first.value_or(r);
                    last = r;
                }
            if (first)
                for (size_t r = *first + 1; r < *last; ++r)
                    if (grid.rows[r].teaching && !busy(grid, r, day)) {
                        grid.gaps[r][day] = true;
                        ++gaps;
                    }
            start = end;
        }
    }
    return gaps;
}

qint64 subjectRepeats(const Grid& grid)
{
    qint64 repeats = 0;
    for (size_t day = 0; day < (grid.cells.empty() ? 0 : grid.cells.front().size()); ++day) {
        QSet<QString> seen;
        for (size_t r = 0; r < grid.rows.size(); ++r) {
            QSet<QString> here; // one cell counts a subject once
            for (const Entry& e : grid.cells[r][day])
                here.insert(e.subject);
            for (const QString& subject : here) {
                if (seen.contains(subject))
                    ++repeats;
                seen.insert(subject);
            }
        }
    }
    return repeats;
}
} // namespace

Quality measureQuality(Timetable& timetable)
{
    Quality q;
    for (Grid& grid : timetable.grids) {
        const qint64 gaps = markGaps(grid);
        if (grid.kind == Grid::Kind::Group) {
            q.studentGaps += gaps;
            q.groupsWithGaps += gaps > 0;
            q.subjectTwiceInADay += subjectRepeats(grid);
        } else if (grid.kind == Grid::Kind::Teacher) {
            q.teacherGaps += gaps;
            if (gaps > q.mostTeacherGaps) {
                q.mostTeacherGaps = gaps;
                q.teacherWithMost = grid.label;
            }
        }
    }
    return q;
}

QString qualityLine(const Quality& q)
{
    const auto count = [](qint64 n, const char* one, const char* many) {
        return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
    };
    QString line = QStringLiteral("Calidad: %1 de alumnos").arg(count(q.studentGaps, "hueco", "huecos"));
    if (q.groupsWithGaps > 0)
        line += QStringLiteral(" (en %1)").arg(count(q.groupsWithGaps, "grupo", "grupos"));
    line += QStringLiteral("; %1 de profesores").arg(count(q.teacherGaps, "hueco", "huecos"));
    if (q.mostTeacherGaps > 0)
        line += QStringLiteral(" (como mucho %1, %2)").arg(q.mostTeacherGaps).arg(q.teacherWithMost);
    line += QStringLiteral("; una materia repetida en un día: %1.")
                .arg(count(q.subjectTwiceInADay, "vez", "veces"));
    return line;
}

} // namespace quintaro::timetable
