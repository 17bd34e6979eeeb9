#include "platform/codepage.h"

#include "platform/error.h"

#include <QHash>
#include <QStringDecoder>

#include <mutex>

namespace quintaro {

struct CodePage::Table {
    char16_t toUnicode[256];
    QHash<char16_t, char> fromUnicode;
};

namespace {
std::shared_ptr<const CodePage::Table> buildTable(const char* name)
{
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    QStringDecoder decoder(name);
    const QString decoded = decoder.isValid() ? QString(decoder.decode(all)) : QString();
    if (decoded.size() != 256)
        throw RunError(QStringLiteral("El juego de caracteres %1 no está disponible").arg(QString::fromLatin1(name)));

    auto table = std::make_shared<CodePage::Table>();
    for (int i = 255; i >= 0; --i) { // lowest byte wins for characters with two forms
        table->toUnicode[i] = decoded.at(i).unicode();
        table->fromUnicode.insert(decoded.at(i).unicode(), char(i));
    }
    return table;
}

std::shared_ptr<const CodePage::Table> tableFor(const char* name)
{
    static std::mutex mutex;
    static QHash<QByteArray, std::shared_ptr<const CodePage::Table>> tables;
    std::lock_guard lock(mutex);
    auto& slot = tables[QByteArray(name)];
    if (!slot)
        slot = buildTable(name);
    return slot;
}
} // namespace

CodePage::CodePage(const char* name) : m_table(tableFor(name)) { }

CodePage CodePage::windows1252() { return CodePage("windows-1252"); }

CodePage CodePage::forLanguageDriver(unsigned char id)
{
    switch (id) {
    case 0x01:
        return CodePage("IBM437");
    case 0x02:
        return CodePage("IBM850");
    case 0x64:
        return CodePage("IBM852");
    case 0xC8:
        return CodePage("windows-1250");
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
        if (cp < 0x80) {
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

} // namespace quintaro
