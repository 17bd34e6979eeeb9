#pragma once

#include <QString>

namespace quintaro {

// The title of every message box and of the application.
inline const QString kAppTitle = QStringLiteral("Quintaro");

} // namespace quintaro
