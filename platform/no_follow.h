#pragma once

#include <QByteArray>
#include <QString>

// Looking at, removing and reading the entries of the working directory without following a
// link: a symbolic link (or, on Windows, a junction) planted there must never lead a run to
// touch what it points to.
namespace quintaro {

enum class EntryKind { Missing, File, Folder, Link, Other };

// What stands at `path` itself (lstat): a link is a Link whatever it points to; Other is a FIFO,
// a device or a socket.
EntryKind entryKind(const QString& path);

// Removes whatever stands at `path`: a file or a link by itself (the folder a link points to is
// left untouched), a folder with everything in it, never following a link inside. True when
// nothing is left there.
bool removeTree(const QString& path);

// An empty folder at `path`, made anew: whatever stood there goes first (a link as a link).
// Raises a RunError naming the folder when it cannot be emptied or made.
void freshFolder(const QString& path);

// The bytes of a small file that stands at `path` itself: a link, a FIFO, a device or a file of
// more than `maxBytes` is refused with a RunError that says which (so a planted FIFO cannot hang
// a run, nor /dev/zero fill its memory).
QByteArray readSmallFile(const QString& path, qint64 maxBytes);

// "un enlace", "una carpeta", "un archivo especial (FIFO o dispositivo)"… for messages.
QString entryKindName(EntryKind kind);

} // namespace quintaro
