#pragma once

#include <QString>

class QFileDevice;

namespace quintaro {

// The last system error: errno on POSIX, GetLastError() on Windows. Read it right after the call
// that failed.
int lastSystemError();

// A system error told by its kind, in Spanish: "sin permiso", "disco lleno", "de solo lectura",
// "no existe", "en uso por otro programa"; others by their number.
QString failureKind(int systemError);

// Why a file operation failed, in Spanish: the system error's kind, or else what the file says
// went wrong.
QString fileFailure(const QFileDevice& file, int systemError);

} // namespace quintaro
