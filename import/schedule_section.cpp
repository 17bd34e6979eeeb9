#include "import/schedule_section.h"

namespace quintaro {

void appendAttributeValue(QByteArray& out, QByteArrayView utf8)
{
    for (char c : utf8) {
        switch (c) {
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        case '\t':
            out += "&#9;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        default:
            out += c;
        }
    }
}

void appendElementText(QByteArray& out, QByteArrayView utf8)
{
    for (char c : utf8) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            out += c;
        }
    }
}

namespace {
// An element holding only text; an empty one is written as <name/>.
void appendTextElement(QByteArray& out, const char* name, const QString& text)
{
    out += '<';
    out += name;
    if (text.isEmpty()) {
        out += "/>";
        return;
    }
    out += '>';
    appendElementText(out, text.toUtf8());
    out += "</";
    out += name;
    out += '>';
}
} // namespace

ScheduleSection::ScheduleSection() : m_markup("<horario>") { }

void ScheduleSection::addSlot(qint64 dia, qint64 indice, const QString& marco, Room room, const QString& roomName,
                              const QString& sesion, const QString& teacher)
{
    QByteArray& out = m_markup;
    out += "\n  <tramo dia=\"";
    out += QByteArray::number(dia);
    out += "\" indice=\"";
    out += QByteArray::number(indice);
    out += "\" marco=\"";
    appendAttributeValue(out, marco.toUtf8());
    out += "\"><aula";
    if (room != Room::Unnamed) {
        out += room == Room::Generic ? " anonima=\"" : " id=\"";
        appendAttributeValue(out, roomName.toUtf8());
        out += '"';
    }
    out += '>';
    appendTextElement(out, "sesion", sesion);
    appendTextElement(out, "profesor", teacher);
    out += "</aula></tramo>";
}

QByteArray ScheduleSection::finish()
{
    m_markup += "\n</horario>";
    return std::move(m_markup);
}

} // namespace quintaro
