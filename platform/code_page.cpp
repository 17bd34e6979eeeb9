#include "platform/code_page.h"

#include "platform/code_page_tables.h"

#include <QHash>

namespace quintaro {

struct CodePage::Table {
    const char16_t* toUnicode;
    QHash<char16_t, char> fromUnicode;
};

namespace {
std::shared_ptr<const CodePage::Table> buildTable(const char16_t (&characters)[256])
{
    auto table = std::make_shared<CodePage::Table>();
    table->toUnicode = characters;
    for (int i = 255; i >= 0; --i) // lowest byte wins for characters with two forms
        table->fromUnicode.insert(characters[i], char(i));
    return table;
}

// Each set's table is built once and shared.
template <const char16_t (&Characters)[256]> const std::shared_ptr<const CodePage::Table>& tableOf()
{
    static const std::shared_ptr<const CodePage::Table> table = buildTable(Characters);
    return table;
}
} // namespace

CodePage::CodePage(std::shared_ptr<const Table> table) : m_table(std::move(table)) { }

CodePage CodePage::windows1252() { return CodePage(tableOf<codepages::kWindows1252>()); }

CodePage CodePage::forLanguageDriver(unsigned char id)
{
    switch (id) {
    case 0x01:
        return CodePage(tableOf<codepages::kIbm437>());
    case 0x02:
        return CodePage(tableOf<codepages::kIbm850>());
    case 0x64:
        return CodePage(tableOf<codepages::kIbm852>());
    case 0xC8:
        return CodePage(tableOf<codepages::kWindows1250>());
    default:
        return windows1252(); // 0x03, 0x57, 0x58, 0x59, 0 and anything unknown
    }
}

QString CodePage::decode(QByteArrayView bytes) const
{
    QString result(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = m_table->toUnicode[static_cast<unsigned char>(bytes[i])];
    return result;
}

CodePage::Encoded CodePage::encode(const QString& text) const
{
    Encoded result;
    result.bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t cp = text.at(i).unicode();
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        // ASCII stands for itself, except where a set says otherwise (the IBM sets swap 0x1A, 0x1C
        // and 0x7F).
        if (cp < 0x80 && m_table->toUnicode[cp] == cp) {
            result.bytes.append(char(cp));
            continue;
        }
        const auto found = cp <= 0xFFFF ? m_table->fromUnicode.constFind(char16_t(cp)) : m_table->fromUnicode.cend();
        if (found != m_table->fromUnicode.cend()) {
            result.bytes.append(*found);
            continue;
        }
        result.bytes.append('?');
        const QString one = QString::fromUcs4(&cp, 1);
        if (!result.unmapped.contains(one))
            result.unmapped += one;
    }
    return result;
}

bool CodePage::encodeUtf8(QByteArrayView utf8, QByteArray& out) const
{
    // Never longer than the UTF-8; written in place and cut to length at the end.
    out.resize(utf8.size());
    char* to = out.data();
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        if (*p < 0x80 && m_table->toUnicode[*p] == *p) {
            *to++ = char(*p++);
            continue;
        }
        // Every set here is single-byte and its non-ASCII characters lie in the BMP: two- and
        // three-byte sequences only.
        char32_t cp = 0;
        if (*p < 0x80) {
            cp = *p++;
        } else if ((*p & 0xE0) == 0xC0 && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
            cp = char32_t(*p & 0x1F) << 6 | (p[1] & 0x3F);
            p += 2;
        } else if ((*p & 0xF0) == 0xE0 && end - p >= 3 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
            cp = char32_t(*p & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
            p += 3;
        } else {
            return false;
        }
        const auto found = m_table->fromUnicode.constFind(char16_t(cp));
        if (found == m_table->fromUnicode.cend())
            return false;
        *to++ = *found;
    }
    out.resize(to - out.data());
    return true;
}

} // namespace quintaro
