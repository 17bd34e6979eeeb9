#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace quintaro {

// The 8-bit character set of a dBase table, converted through fixed byte-to-character tables
// (code_page_tables.h): cheap for every field, and no conversion library needed on any system.
class CodePage {
public:
    // Windows-1252, the character set of every table this program writes.
    static CodePage windows1252();
    // The character set named by a table's language-driver byte (levels III to V);
    // unknown values fall back to Windows-1252.
    static CodePage forLanguageDriver(unsigned char id);

    QString decode(QByteArrayView bytes) const;

    struct Encoded {
        QByteArray bytes; // one byte per character; characters without an 8-bit form become '?'
        QString unmapped; // those characters, each once, in order of appearance
    };
    Encoded encode(const QString& text) const;
    // UTF-8 text in this set, as encode() gives it; false, with `out` unusable, when a character has
    // no form here or the bytes are not UTF-8. For lookups, where such a text cannot match anything.
    bool encodeUtf8(QByteArrayView utf8, QByteArray& out) const;

    struct Table;

private:
    explicit CodePage(std::shared_ptr<const Table> table);
    std::shared_ptr<const Table> m_table;
};

} // namespace quintaro
