#pragma once

#include "tables/school_tables.h"

#include <QHash>
#include <QString>

// Option blocks: a group whose students split among subjects taught at one hour (optativas,
// desdobles). The school says it by naming each option's group after the whole group:
// "1º ESO A · Francés", "1º ESO A · Alemán" are options of "1º ESO A". The whole group's lessons
// are every option's; the options' lessons go at one time, each option's hours beside the others'.
namespace quintaro::tables {

inline const QString kOptionSeparator = QStringLiteral(" · ");

// For each option group (GRUPOST.ABREV), the whole group's code. A name is an option's when it is
// another group's whole name, the separator and something more.
QHash<QString, QString> wholeGroupOfOption(const std::vector<GroupRow>& groups);

} // namespace quintaro::tables
