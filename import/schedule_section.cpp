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

void appendEscaped(std::string& out, char c, bool attribute)
{
    if (const char* escaped = replacement(c, attribute))
        out += escaped;
    else
        out += c;
}

// Appends `text` in UTF-8 with those replacements (only ASCII characters are ever replaced).
void appendEscaped(std::string& out, QStringView text, bool attribute)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80) { // the rest through the encoder: codes and names are mostly ASCII
            for (const char byte : text.sliced(i).toUtf8())
                appendEscaped(out, byte, attribute);
            return;
        }
        appendEscaped(out, char(c), attribute);
    }
}

// An element holding only text; an empty one is written as <name/>.
void appendTextElement(std::string& out, const char* name, const QString& text)
{
    out += '<';
    out += name;
    if (text.isEmpty()) {
        out += "/>";
        return;
    }
    out += '>';
    appendEscaped(out, text, false);
    out += "</";
    out += name;
    out += '>';
}
} // namespace

ScheduleSection::ScheduleSection(qsizetype expectedSlots) : m_markup("<horario>")
{
    m_markup.reserve(size_t(expectedSlots) * 160);
}

void ScheduleSection::addSlot(qint64 dia, qint64 indice, const QString& marco, Room room, const QString& roomName,
                              const QString& sesion, const QString& teacher)
{
    std::string& out = m_markup;
    out += "\n  <tramo dia=\"";
    out += std::to_string(dia);
    out += "\" indice=\"";
    out += std::to_string(indice);
    out += "\" marco=\"";
    appendEscaped(out, marco, true);
    out += "\"><aula";
    if (room != Room::Unnamed) {
        out += room == Room::Generic ? " anonima=\"" : " id=\"";
        appendEscaped(out, roomName, true);
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
    const QByteArray markup(m_markup.data(), qsizetype(m_markup.size()));
    m_markup = std::string();
    return markup;
}

} // namespace quintaro
