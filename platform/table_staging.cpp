#include "platform/table_staging.h"

#include "platform/error.h"
#include "platform/file_lock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>
#include <vector>

namespace quintaro {

namespace {
// A folder made empty, or made at all; raises a RunError naming it otherwise.
void freshFolder(const QString& path)
{
    QDir folder(path);
    if (folder.exists() && !folder.removeRecursively())
        throw RunError(QStringLiteral("No se puede vaciar la carpeta %1").arg(path));
    if (!QDir().mkpath(path))
        throw RunError(QStringLiteral("No se puede crear la carpeta %1").arg(path));
}

// Renames done so far, undone in reverse when a later one fails.
class Moves {
public:
    void move(const QString& from, const QString& to)
    {
        if (!QFile::rename(from, to))
            throw RunError(QStringLiteral("No se puede mover %1 a %2").arg(from, to));
        m_done.emplace_back(from, to);
    }
    void undo()
    {
        for (auto it = m_done.rbegin(); it != m_done.rend(); ++it)
            if (!QFile::rename(it->second, it->first))
                qWarning("No se pudo devolver %s a %s", qPrintable(it->second), qPrintable(it->first));
        m_done.clear();
    }

private:
    std::vector<std::pair<QString, QString>> m_done;
};
} // namespace

void replaceFileSet(const WorkDir& target, const WorkDir& source, const QStringList& fileNames)
{
    for (const QString& name : fileNames)
        if (name.endsWith(QStringLiteral(".DBF"), Qt::CaseInsensitive))
            for (const QString& path : target.filesNamed(name))
                if (isHeldByAnother(path))
                    throw RunError(heldByAnotherMessage(QFileInfo(path).completeBaseName().toUpper()));

    const QString previous = target.subfolder(kPreviousFolder).path();
    const QString replaced = previous + QStringLiteral(".tmp");
    freshFolder(replaced);
    Moves moves;
    try {
        for (const QString& name : fileNames)
            for (const QString& path : target.filesNamed(name))
                moves.move(path, QDir(replaced).filePath(QFileInfo(path).fileName()));
        for (const QString& name : fileNames)
            for (const QString& path : source.filesNamed(name))
                moves.move(path, QDir(target.path()).filePath(QFileInfo(path).fileName()));
    } catch (const RunError&) {
        moves.undo();
        QDir(replaced).removeRecursively();
        throw;
    }
    // The new set is in place; keeping the old one is the last, lesser part. (When the source was
    // the previous set itself, its files have just moved out of it.)
    QDir(previous).removeRecursively();
    if (!QDir().rename(replaced, previous))
        qWarning("No se pudo guardar el juego anterior de tablas en %s", qPrintable(previous));
}

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
                           .arg(previous.path()));
    replaceFileSet(target, previous, fileNames);
}

} // namespace quintaro
