#include "platform/table_staging.h"

#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>


namespace quintaro {

namespace {
// A folder made empty, or made at all; raises a RunError naming it otherwise.
void freshFolder(const QString& path)
{
    QDir folder(path);
    if (folder.exists() && !folder.removeRecursively())
        throw RunError(QStringLiteral("No se puede vaciar la carpeta %1").arg(QDir::toNativeSeparators(path)));
    if (!QDir().mkpath(path))
        throw RunError(QStringLiteral("No se puede crear la carpeta %1").arg(QDir::toNativeSeparators(path)));
}
} // namespace

TableStaging::TableStaging(const WorkDir& target)
    : m_target(target), m_staging(QDir(target.path()).filePath(kStagingFolder))
{
    freshFolder(m_staging.path());
}

TableStaging::~TableStaging() { QDir(m_staging.path()).removeRecursively(); }

void TableStaging::commit(const QStringList& fileNames) { replaceFileSet(m_target, m_staging, fileNames); }

void restorePreviousSet(const WorkDir& target, const QStringList& fileNames)
{
    const WorkDir previous = target.subfolder(kPreviousFolder);
    bool hasTable = false;
    for (const QString& name : fileNames)
        hasTable = hasTable
            || (name.endsWith(QStringLiteral(".DBF"), Qt::CaseInsensitive) && !previous.filesNamed(name).isEmpty());
    if (!hasTable)
        throw RunError(QStringLiteral("No hay un juego anterior de tablas en %1: todavía no se ha sustituido ninguno")
                           .arg(QDir::toNativeSeparators(previous.path())));
    replaceFileSet(target, previous, fileNames);
}

} // namespace quintaro
