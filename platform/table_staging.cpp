#include "platform/table_staging.h"

#include "platform/error.h"
#include "platform/no_follow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>


namespace quintaro {

TableStaging::TableStaging(const WorkDir& target)
    : m_target(target), m_staging(QDir(target.path()).filePath(kStagingFolder))
{
    freshFolder(m_staging.path());
}

TableStaging::~TableStaging() { removeTree(m_staging.path()); }

void TableStaging::commit(const QStringList& fileNames) { replaceFileSet(m_target, m_staging, fileNames); }

void restorePreviousSet(const WorkDir& target, const QStringList& fileNames)
{
    const WorkDir previous = target.subfolder(kPreviousFolder);
    // The set put back comes from Quintaro's own folder, never through a link from elsewhere.
    if (const EntryKind kind = entryKind(previous.path()); kind != EntryKind::Folder && kind != EntryKind::Missing)
        throw RunError(QStringLiteral("%1 es %2, no la carpeta donde Quintaro guarda las tablas anteriores: no se ha "
                                      "cambiado nada. Bórrelo o póngale otro nombre")
                           .arg(QDir::toNativeSeparators(previous.path()), entryKindName(kind)));
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
