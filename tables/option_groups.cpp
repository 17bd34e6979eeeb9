#include "tables/option_groups.h"

namespace quintaro::tables {

QHash<QString, QString> wholeGroupOfOption(const std::vector<GroupRow>& groups)
{
    QHash<QString, QString> codeOfName;
    for (const GroupRow& g : groups)
        if (!g.name.trimmed().isEmpty() && !codeOfName.contains(g.name.trimmed()))
            codeOfName.insert(g.name.trimmed(), g.code);
    QHash<QString, QString> whole;
    for (const GroupRow& g : groups) {
        const QString name = g.name.trimmed();
        const qsizetype cut = name.indexOf(kOptionSeparator);
        if (cut <= 0 || cut + kOptionSeparator.size() >= name.size())
            continue;
        if (const auto it = codeOfName.constFind(name.left(cut).trimmed()); it != codeOfName.cend() && *it != g.code)
            whole.insert(g.code, *it);
    }
    return whole;
}

} // namespace quintaro::tables
