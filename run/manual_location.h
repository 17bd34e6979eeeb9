#pragma once

#include <QString>

namespace quintaro {

// Where a person finds the manual outside the program: the installed HTML file on Windows, the
// source tree's Markdown elsewhere.
inline QString manualLocation()
{
#ifdef Q_OS_WIN
    return QStringLiteral("«Manual de Quintaro.html», en la carpeta de Quintaro");
#else
    return QStringLiteral("docs/manual.md");
#endif
}

} // namespace quintaro
