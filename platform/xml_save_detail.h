#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;
struct _xmlDoc;

// What the two ways of saving a document with an appended section share: where libxml2's
// serialiser writes, and the tree's own save.
namespace quintaro::xml {

// Where a serialisation goes: a device, or memory. On the way to a device a placeholder may be
// replaced: the last bytes are held back until they cannot be the start of it.
struct SaveTarget {
    QIODevice* device = nullptr;
    QByteArray* memory = nullptr;
    QByteArray placeholder = {};
    QByteArrayView replacement = {};
    QByteArray held = {};
    bool spliced = false;
    bool failed = false;

    void write(QByteArrayView bytes);

private:
    bool put(QByteArrayView bytes);
};

// While in scope libxml2 prints nothing (a failed write is told by the caller, in Spanish).
class SilentErrors {
public:
    SilentErrors();
    ~SilentErrors();
    SilentErrors(const SilentErrors&) = delete;
    SilentErrors& operator=(const SilentErrors&) = delete;
};

// libxml2's output callbacks for a SaveTarget.
int writeToTarget(void* context, const char* buffer, int len);
int closeNothing(void*);

// The encoding a document is saved in: its own, UTF-8 when it declares none.
const char* encodingOf(const _xmlDoc* doc);

// Serialises the whole tree to `device` with `markup` as the root element's last child and a line
// break after it. False when the device refused a write; a RunError naming `path` when the document
// could not be composed.
bool writeTreeWithMarkup(_xmlDoc* doc, QIODevice& device, QByteArrayView markup, const QString& path);

} // namespace quintaro::xml
