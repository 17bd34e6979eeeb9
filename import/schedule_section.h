#pragma once

#include <QByteArray>
#include <QString>

#include <string>

namespace quintaro {

// The horario section of the result document, written as markup while SOLUC is read instead of
// built as a tree: one tramo per placed slot, each on a line of its own. The markup is exactly
// what the XML library writes for the same elements (UTF-8; the document's own encoding is
// applied when the section is spliced in).
class ScheduleSection {
public:
    // `expectedSlots`: room made for that many.
    explicit ScheduleSection(qsizetype expectedSlots = 0);

    enum class Room { Unnamed, Generic, Named }; // no attribute, anonima="…", id="…"
    void addSlot(qint64 dia, qint64 indice, const QString& marco, Room room, const QString& roomName,
                 const QString& sesion, const QString& teacher);

    // The whole section, closed.
    QByteArray finish();

private:
    std::string m_markup;
};

} // namespace quintaro
