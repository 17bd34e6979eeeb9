#include "import/schedule_section.h"

namespace quintaro {

namespace {
// Copies `utf8`, each character for which `escape` gives a replacement replaced; runs of plain
// characters are copied whole.
template <typename Escape> void appendEscaped(QByteArray& out, QByteArrayView utf8, Escape escape)
{
    qsizetype plain = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char* replacement = escape(utf8[i]);
        if (!replacement)
            continue;
        out.append(utf8.sliced(plain, i - plain));
        out.append(replacement);
        plain = i + 1;
    }
    out.append(utf8.sliced(plain));
}
} // namespace

void appendAttributeValue(QByteArray& out, QByteArrayView utf8)
{
    appendEscaped(out, utf8, [](char c) -> const char* {
        switch (c) {
        case '\n':
            return "&#10;";
        case '\r':
            return "&#13;";
        case '\t':
            return "&#9;";
        case '"':
            return "&quot;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '&':
            return "&amp;";
        default:
            return nullptr;
        }
    });
}

void appendElementText(QByteArray& out, QByteArrayView utf8)
{
    appendEscaped(out, utf8, [](char c) -> const char* {
        switch (c) {
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '&':
            return "&amp;";
        case '\r':
            return "&#13;";
        default:
            return nullptr;
        }
    });
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
