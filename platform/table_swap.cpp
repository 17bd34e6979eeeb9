#include "platform/table_swap.h"

#include "platform/durable.h"
#include "platform/error.h"
#include "platform/file_error.h"
#include "platform/file_lock.h"
#include "platform/no_follow.h"
#include "platform/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QDateTime>

#include <optional>
#include <vector>

namespace quintaro {

namespace {

const QString kReplacedSuffix = QStringLiteral(".tmp");

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

// One rename of the swap, by paths relative to the working directory: a file of the replaced set
// going out (size -1), or one of the new set coming in, with its size.
struct Move {
    QString from, to;
    qint64 size = -1;
    bool incoming() const { return size >= 0; }
};

// What a swap is doing, as its journal keeps it.
struct Journal {
    bool placed = false; // every move made and on the disk
    QString previous; // the previous-set folder, relative
    QString replaced; // where the replaced set waits until it becomes the previous set, relative
    std::vector<Move> moves; // in order: the target's files out, then the new set's in
};

QString journalPath(const WorkDir& target) { return QDir(target.path()).filePath(kSwapJournalFile); }

QString absolute(const WorkDir& target, const QString& relative) { return QDir(target.path()).filePath(relative); }

QString relative(const WorkDir& target, const QString& path) { return QDir(target.path()).relativeFilePath(path); }

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

void writeJournal(const WorkDir& target, const Journal& journal)
{
    QJsonArray moves;
    for (const Move& m : journal.moves)
        moves.append(QJsonArray{m.from, m.to, double(m.size)});
    const QJsonObject json{
        {QStringLiteral("estado"), journal.placed ? QStringLiteral("colocado") : QStringLiteral("moviendo")},
        {QStringLiteral("anterior"), journal.previous},
        {QStringLiteral("apartado"), journal.replaced},
        {QStringLiteral("movimientos"), moves},
    };
    // Written whole beside its old version and renamed over it, then the folder synced: the journal
    // on the disk is always one whole version.
    if (const auto failure = writeWholeFile(journalPath(target), QJsonDocument(json).toJson()))
        throw RunError(QStringLiteral("No se puede escribir el diario del cambio de tablas %1: %2")
                           .arg(native(journalPath(target)), failure->reason));
    durable::syncFolder(target.path());
}

// A journal is obeyed only when it names what a swap itself writes: the files of the set directly
// inside the working directory, its own folders beside them, and nothing else. Anything else (an
// absolute path, "..", another file) is a damaged or planted journal.
class JournalCheck {
public:
    JournalCheck(const WorkDir& target, const QStringList& fileNames) : m_target(target), m_fileNames(fileNames) { }

    void require(const Journal& journal) const
    {
        requireFolder(journal.previous, kPreviousFolder);
        requireFolder(journal.replaced, kPreviousFolder + kReplacedSuffix);
        if (!sameName(journal.replaced, journal.previous + kReplacedSuffix))
            refuse(journal.replaced);
        if (journal.moves.size() > size_t(2 * m_fileNames.size()))
            refuse(QStringLiteral("%1 movimientos").arg(journal.moves.size()));
        for (const Move& m : journal.moves) {
            const QString name = m.incoming() ? m.to : m.from;
            if (!isFileOfTheSet(name))
                refuse(name);
            const QString folder = m.incoming() ? folderOf(m.from, name) : folderOf(m.to, name);
            if (m.incoming() ? !(sameName(folder, kStagingFolder) || sameName(folder, journal.previous))
                             : !sameName(folder, journal.replaced))
                refuse(m.incoming() ? m.from : m.to);
        }
        // The folders a recovery moves files through must be folders of the working directory,
        // not links out of it.
        for (const QString& folder : {journal.previous, journal.replaced, kStagingFolder}) {
            const EntryKind kind = entryKind(absolute(m_target, folder));
            if (kind != EntryKind::Folder && kind != EntryKind::Missing)
                throw RunError(QStringLiteral("%1 es %2, no una carpeta de Quintaro: no se ha tocado nada. Compruebe a "
                                              "mano las tablas de %3, borre %1 y el diario %4 y vuelva a exportar")
                                   .arg(native(absolute(m_target, folder)), entryKindName(kind),
                                        native(m_target.path()), native(journalPath(m_target))));
        }
    }

private:
    bool isFileOfTheSet(const QString& name) const
    {
        for (const QString& allowed : m_fileNames)
            if (sameName(name, allowed))
                return true;
        return false;
    }
    // The folder part of "FOLDER/NAME", or a refusal when the path is anything else.
    QString folderOf(const QString& path, const QString& name) const
    {
        const qsizetype slash = path.indexOf(u'/');
        if (slash <= 0 || path.indexOf(u'/', slash + 1) >= 0 || path.contains(u'\\')
            || !sameName(path.mid(slash + 1), name))
            refuse(path);
        return path.left(slash);
    }
    void requireFolder(const QString& folder, const QString& wanted) const
    {
        if (!sameName(folder, wanted))
            refuse(folder);
    }
    [[noreturn]] void refuse(const QString& what) const
    {
        throw RunError(QStringLiteral("El diario del cambio de tablas %1 nombra «%2», que no es una tabla de Velmora "
                                      "ni una carpeta de Quintaro dentro de %3: está dañado y no se ha tocado nada. "
                                      "Compruebe a mano las tablas de %3 y de %4, borre el diario y vuelva a exportar")
                           .arg(native(journalPath(m_target)), what, native(m_target.path()), kPreviousFolder));
    }

    const WorkDir& m_target;
    const QStringList& m_fileNames;
};

// The journal is small; a larger one, a link or a FIFO under its name is refused unread.
constexpr qint64 kJournalMaxBytes = 64 * 1024;

std::optional<Journal> readJournal(const WorkDir& target, const QStringList& fileNames)
{
    const QString path = journalPath(target);
    if (entryKind(path) == EntryKind::Missing)
        return std::nullopt;
    QByteArray bytes;
    try {
        bytes = readSmallFile(path, kJournalMaxBytes);
    } catch (const RunError& e) {
        throw RunError(QStringLiteral("%1. Es el diario del cambio de tablas de Quintaro: no se ha tocado nada; "
                                      "compruebe a mano las tablas de %2 y de %3 y borre %4")
                           .arg(e.message(), native(target.path()), kPreviousFolder, native(path)));
    }
    const QJsonObject json = QJsonDocument::fromJson(bytes).object();
    Journal journal;
    journal.placed = json.value(QStringLiteral("estado")).toString() == u"colocado";
    journal.previous = json.value(QStringLiteral("anterior")).toString();
    journal.replaced = json.value(QStringLiteral("apartado")).toString();
    for (const QJsonValue& value : json.value(QStringLiteral("movimientos")).toArray()) {
        const QJsonArray m = value.toArray();
        journal.moves.push_back({m.at(0).toString(), m.at(1).toString(), qint64(m.at(2).toDouble(-1))});
    }
    // A journal that says nothing usable was never completed: writeWholeFile puts only whole ones
    // in place, so this is a damaged file, not a swap under way.
    if (journal.previous.isEmpty() || journal.replaced.isEmpty() || journal.moves.empty())
        throw RunError(QStringLiteral("El diario del cambio de tablas %1 está dañado; compruebe a mano las tablas de "
                                      "%2 y de %3 y borre el diario")
                           .arg(native(path), native(target.path()), kPreviousFolder));
    JournalCheck(target, fileNames).require(journal);
    return journal;
}

void removeJournal(const WorkDir& target)
{
    QFile journal(journalPath(target));
    if (journal.exists() && !journal.remove())
        throw RunError(QStringLiteral("No se puede borrar el diario del cambio de tablas %1: %2")
                           .arg(native(journal.fileName()), fileFailure(journal, lastSystemError())));
    durable::syncFolder(target.path());
}

void move(const QString& from, const QString& to)
{
    if (!durable::moveFile(from, to))
        throw RunError(QStringLiteral("No se puede mover %1 a %2 (%3)")
                           .arg(native(from), native(to), failureKind(lastSystemError())));
}

// The folders a swap touches, synced once its renames are made.
void syncFolders(const WorkDir& target, const Journal& journal)
{
    QStringList folders{target.path()};
    for (const Move& m : journal.moves)
        for (const QString& path : {m.from, m.to}) {
            const QString folder = QFileInfo(absolute(target, path)).absolutePath();
            if (!folders.contains(folder) && QFileInfo(folder).isDir())
                folders << folder;
        }
    for (const QString& folder : folders)
        durable::syncFolder(folder);
}

// Whether a move has been made. A replaced file has gone out once it is in the replaced-set folder
// (which the swap made empty). A new file has come in once it has left its folder and stands at
// its new name, and the replaced file of that name (if any) has gone out first, since until then
// the name holds the old file.
bool made(const WorkDir& target, const Journal& journal, const Move& m)
{
    if (!m.incoming())
        return QFileInfo::exists(absolute(target, m.to));
    if (QFileInfo::exists(absolute(target, m.from)) || !QFileInfo::exists(absolute(target, m.to)))
        return false;
    for (const Move& out : journal.moves)
        if (!out.incoming() && sameName(out.from, m.to))
            return QFileInfo::exists(absolute(target, out.to));
    return true;
}

// Whether every move has been made.
bool allMade(const WorkDir& target, const Journal& journal)
{
    for (const Move& m : journal.moves)
        if (!made(target, journal, m))
            return false;
    return true;
}

// Whether every file of the new set still to move is whole (its recorded size): the moves can be
// finished. Those already moved were whole when they moved (synced before the first move).
bool restOfNewSetWhole(const WorkDir& target, const Journal& journal)
{
    for (const Move& m : journal.moves) {
        if (!m.incoming() || made(target, journal, m))
            continue;
        const QFileInfo now(absolute(target, m.from));
        if (entryKind(now.filePath()) != EntryKind::File || now.size() != m.size)
            return false;
    }
    return true;
}

// The moves not yet made, in order.
void moveForward(const WorkDir& target, const Journal& journal)
{
    for (const Move& m : journal.moves)
        if (!made(target, journal, m))
            move(absolute(target, m.from), absolute(target, m.to));
}

// Where files that no longer match the journal are kept when a swap is undone: a folder of its
// own, named by the time, so that nothing later removes them.
QString rescueFolder(const WorkDir& target)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = QDir(target.path()).filePath(QStringLiteral("QUINTARO_RESCATE_") + stamp);
    for (int n = 2; entryKind(path) != EntryKind::Missing; ++n)
        path = QDir(target.path()).filePath(QStringLiteral("QUINTARO_RESCATE_%1_%2").arg(stamp).arg(n));
    return path;
}

// The moves made, undone in reverse; false when one cannot be. A new file that has changed since
// it moved (its size is not the journal's) is not taken back where the next run would throw it
// away: it goes into `*rescued` (made on first use), which then names that folder.
bool moveBack(const WorkDir& target, const Journal& journal, QString* rescued)
{
    bool all = true;
    for (auto it = journal.moves.rbegin(); it != journal.moves.rend(); ++it) {
        if (!made(target, journal, *it))
            continue;
        const QString from = absolute(target, it->to);
        QString to = absolute(target, it->from);
        if (it->incoming() && QFileInfo(from).size() != it->size) {
            if (rescued->isEmpty()) {
                *rescued = rescueFolder(target);
                if (!QDir().mkdir(*rescued))
                    return false;
            }
            to = QDir(*rescued).filePath(QFileInfo(from).fileName());
        }
        if (!durable::moveFile(from, to))
            all = false;
    }
    return all;
}

// The last part: the earlier previous set goes, the replaced one takes its place, the journal goes.
void keepReplacedSet(const WorkDir& target, const Journal& journal)
{
    const QString previous = absolute(target, journal.previous), replaced = absolute(target, journal.replaced);
    if (entryKind(replaced) == EntryKind::Folder) {
        if (!removeTree(previous))
            throw SwapError(QStringLiteral("Las tablas nuevas están en su sitio, pero no se puede vaciar %1 para "
                                          "guardar las anteriores, que esperan en %2; la próxima ejecución de "
                                          "Quintaro lo intentará de nuevo")
                               .arg(native(previous), native(replaced)));
        durable::syncFolder(target.path());
        if (!durable::moveFile(replaced, previous))
            throw SwapError(QStringLiteral("Las tablas nuevas están en su sitio, pero las anteriores no se pueden "
                                          "guardar en %1 (%2); esperan en %3 y la próxima ejecución de Quintaro lo "
                                          "intentará de nuevo")
                               .arg(native(previous), failureKind(lastSystemError()), native(replaced)));
        durable::syncFolder(target.path());
    }
    removeJournal(target);
}

// Undoes a swap that did not finish: true once every file is back where it was (or, changed since,
// kept in `*rescued`) and the journal is gone; false, the journal kept for the next run, when a
// file cannot be put back.
bool undoSwap(const WorkDir& target, const Journal& journal, QString* rescued)
{
    try {
        if (!moveBack(target, journal, rescued))
            return false;
        syncFolders(target, journal);
        if (!rescued->isEmpty())
            durable::syncFolder(*rescued);
        removeTree(absolute(target, journal.replaced));
        removeJournal(target);
        return true;
    } catch (const RunError&) {
        return false;
    }
}

QString cannotUndo(const WorkDir& target)
{
    return QStringLiteral("No se han podido devolver todas las tablas a su sitio: la próxima ejecución de Quintaro "
                          "terminará el cambio según el diario %1")
        .arg(native(journalPath(target)));
}

} // namespace

void replaceFileSet(const WorkDir& target, const WorkDir& source, const QStringList& fileNames)
{
    // Every table of the target, locked from this check until it has moved: no other program can
    // take it in between.
    std::vector<FileDescriptor> held;
    for (const QString& name : fileNames)
        if (name.endsWith(QStringLiteral(".DBF"), Qt::CaseInsensitive))
            for (const QString& path : target.filesNamed(name)) {
                LockedOpen opened = openLocked(path, LockMode::ExclusiveMovable, true);
                if (opened.held)
                    throw RunError(heldByAnotherMessage(QFileInfo(path).completeBaseName().toUpper()));
                held.push_back(std::move(opened.fd));
            }

    Journal journal;
    const QString previous = target.subfolder(kPreviousFolder).path();
    journal.previous = relative(target, previous);
    journal.replaced = journal.previous + kReplacedSuffix;
    for (const QString& name : fileNames)
        for (const QString& path : target.filesNamed(name))
            journal.moves.push_back(
                {relative(target, path), journal.replaced + u'/' + QFileInfo(path).fileName(), -1});
    for (const QString& name : fileNames)
        for (const QString& path : source.filesNamed(name)) {
            durable::syncFile(path); // the new set is on the disk before anything moves
            journal.moves.push_back(
                {relative(target, path), relative(target, QDir(target.path()).filePath(QFileInfo(path).fileName())),
                 QFileInfo(path).size()});
        }
    durable::syncFolder(source.path());
    freshFolder(absolute(target, journal.replaced));
    durable::syncFolder(target.path());

    try {
        writeJournal(target, journal);
    } catch (const RunError&) {
        // Nothing has moved: a journal that reached the folder all the same would only send the
        // next run looking for a swap that never began.
        QFile::remove(journalPath(target));
        throw;
    }
    try {
        moveForward(target, journal);
        syncFolders(target, journal);
    } catch (const RunError& e) {
        const QString why = QStringLiteral("No se han podido cambiar las tablas: %1. ").arg(e.message());
        QString rescued; // a swap undone at once has changed nothing it moved
        if (!undoSwap(target, journal, &rescued))
            throw SwapError(why + cannotUndo(target));
        throw SwapError(why + QStringLiteral("Las tablas que había se han dejado como estaban"));
    }
    held.clear(); // the old set has moved; its locks go
    try {
        journal.placed = true;
        writeJournal(target, journal);
        keepReplacedSet(target, journal);
    } catch (const SwapError&) {
        throw;
    } catch (const RunError& e) {
        throw SwapError(QStringLiteral("Las tablas nuevas están en su sitio, pero no se ha podido terminar de guardar "
                                       "las anteriores (%1); la próxima ejecución de Quintaro lo terminará")
                            .arg(e.message()));
    }
}

QString recoverInterruptedSwap(const WorkDir& target, const QStringList& fileNames)
{
    const std::optional<Journal> found = readJournal(target, fileNames);
    if (!found)
        return {};
    Journal journal = *found;
    const QString where = native(target.path());
    if (!journal.placed) {
        // Every move made: the new set is in place, and whatever it holds now (Velmora may have
        // worked on it since) stays. Otherwise forward only while what is left to move is whole.
        if (!allMade(target, journal) && !restOfNewSetWhole(target, journal)) {
            const QString found
                = QStringLiteral("Se encontró en %1 un cambio de tablas interrumpido cuyas tablas nuevas no estaban "
                                 "completas")
                      .arg(where);
            QString rescued;
            if (!undoSwap(target, journal, &rescued))
                throw SwapError(found + QStringLiteral(". ") + cannotUndo(target));
            QString done = found + QStringLiteral(": se ha deshecho y están las tablas que había antes");
            if (!rescued.isEmpty())
                done += QStringLiteral("; las tablas nuevas que se habían cambiado desde entonces se guardan en %1")
                            .arg(native(rescued));
            return done;
        }
        moveForward(target, journal);
        syncFolders(target, journal);
        journal.placed = true;
        writeJournal(target, journal);
    }
    keepReplacedSet(target, journal);
    return QStringLiteral("Se encontró en %1 un cambio de tablas interrumpido y se ha terminado: están las tablas "
                          "nuevas y las anteriores se guardan en %2")
        .arg(where, kPreviousFolder);
}

} // namespace quintaro
