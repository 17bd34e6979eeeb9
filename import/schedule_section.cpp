#include "import/schedule_section.h"

namespace quintaro {

namespace {
// What libxml2 writes for a character of element text, or of an attribute value (which also
// protects its quotes and keeps its line breaks and tabs); nothing for one written as it is.
const char* replacement(char c, bool attribute)
{
    switch (c) {
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '&':
        return "&amp;";
    case '\r':
        return "&#13;";
    case '\n':
        return attribute ? "&#10;" : nullptr;
    case '\t':
        return attribute ? "&#9;" : nullptr;
    case '"':
        return attribute ? "&quot;" : nullptr;
    default:
        return nullptr;
    }
}

// Copies `utf8` with those replacements; runs of plain characters are copied whole.
void appendEscaped(QByteArray& out, QByteArrayView utf8, bool attribute)
{
    qsizetype plain = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char* escaped = replacement(utf8[i], attribute);
        if (!escaped)
            continue;
        out.append(utf8.sliced(plain, i - plain));
        out.append(escaped);
        plain = i + 1;
    }
    out.append(utf8.sliced(plain));
}
} // namespace

void appendAttributeValue(QByteArray& out, QByteArrayView utf8) { appendEscaped(out, utf8, true); }

void appendElementText(QByteArray& out, QByteArrayView utf8) { appendEscaped(out, utf8, false); }

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
