#pragma once

#include <QString>

// The days of the week as the school's documents and Quintaro's messages name them.
namespace quintaro::tables {

// "Lunes" for day 0 (the document's dia), up to "Domingo"; empty past it.
inline QString weekdayName(int dayFromZero)
{
    static const char* const names[] = {"Lunes", "Martes", "Miércoles", "Jueves", "Viernes", "Sábado", "Domingo"};
    return dayFromZero >= 0 && dayFromZero < 7 ? QString::fromUtf8(names[dayFromZero]) : QString();
}

} // namespace quintaro::tables
