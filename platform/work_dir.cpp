#include "platform/work_dir.h"

#include "platform/durable.h"
#include "platform/error.h"
#include "platform/file_error.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace quintaro {

namespace {
QString findEntry(const QDir& dir, const QString& name)
{
    if (QFileInfo::exists(dir.filePath(name)))
        return name;
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return {};
}
} // namespace

QString resolveCaseInsensitive(const QString& base, const QStringList& parts)
{
    QString path = base;
    for (const QString& part : parts) {
        const QString found = findEntry(QDir(path), part);
        path = QDir(path).filePath(found.isEmpty() ? part : found);
    }
    return QDir::cleanPath(path);
}

QString WorkDir::defaultPath()
{
    const QString configured = qEnvironmentVariable("QUINTARO_VTEMP");
    if (!configured.isEmpty())
        return configured;
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\VTEMP");
#else
    QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (prefix.isEmpty())
        prefix = resolveCaseInsensitive(QDir::homePath(), {QStringLiteral(".wine")});
    return resolveCaseInsensitive(prefix, {QStringLiteral("drive_c"), QStringLiteral("VTEMP")});
#endif
}

WorkDir WorkDir::prepare(const QString& path, QStringList* made)
{
    const QString dir = path.isEmpty() ? defaultPath() : path;
    const QFileInfo info(dir);
    const bool existed = info.exists();
    if (existed && !info.isDir())
        throw RunError(QStringLiteral("La carpeta de trabajo %1 es un archivo, no una carpeta").arg(dir));
    // The folders that mkpath will make, the deepest first: all of them go again if the run fails.
    QStringList missing;
    for (QString folder = QDir::cleanPath(QDir(dir).absolutePath()); !QFileInfo::exists(folder);
         folder = QFileInfo(folder).absolutePath())
        missing << folder;
    if (!existed && !QDir().mkpath(dir))
        throw RunError(
            QStringLiteral("No se puede crear la carpeta de trabajo %1 (%2)").arg(dir, failureKind(lastSystemError())));
    if (made)
        *made = missing;
    return WorkDir(QDir(dir).absolutePath());
}

QString WorkDir::mapWindowsPath(const QString& windowsPath)
{
    QStringList parts = QString(windowsPath).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
#ifdef Q_OS_WIN
    return parts.join(u'/');
#else
    // "c:" and "vtemp" stand for the working directory; the rest is followed inside it.
    if (parts.size() >= 2 && parts.at(0).compare(u"c:", Qt::CaseInsensitive) == 0
        && parts.at(1).compare(u"vtemp", Qt::CaseInsensitive) == 0)
        return resolveCaseInsensitive(defaultPath(), parts.mid(2));
    return resolveCaseInsensitive(QDir::rootPath(), parts);
#endif
}

QString WorkDir::tablePath(const QString& table) const
{
    const QString name = table.toUpper() + QStringLiteral(".DBF");
    const QString found = findEntry(QDir(m_path), name);
    return QDir(m_path).filePath(found.isEmpty() ? name : found);
}

bool WorkDir::tableExists(const QString& table) const { return QFileInfo(tablePath(table)).isFile(); }

void WorkDir::removeTableFiles(const QString& table) const
{
    for (const QString& suffix : {QStringLiteral(".DBF"), QStringLiteral(".MDX")})
        for (const QString& path : filesNamed(table + suffix))
            QFile::remove(path);
}

QStringList WorkDir::filesNamed(const QString& fileName) const
{
    const QDir dir(m_path);
    QStringList found;
    if (!QFileInfo(m_path).isDir())
        return found;
    // A listing the system broke off raises an error: a table is never missed for it.
    for (const QString& entry : durable::entriesOf(m_path))
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0 && QFileInfo(dir.filePath(entry)).isFile())
            found << dir.filePath(entry);
    return found;
}

WorkDir WorkDir::subfolder(const QString& name) const { return WorkDir(resolveCaseInsensitive(m_path, {name})); }

} // namespace quintaro
