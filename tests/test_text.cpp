#include "platform/code_page.h"
#include "platform/error.h"
#include "platform/text.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

using namespace quintaro;

TEST(Text, TrimRemovesCodesUpTo32Only)
{
    EXPECT_EQ(text::trimmed(QStringLiteral("\t\n  Coro \r\x01")), QStringLiteral("Coro"));
    EXPECT_EQ(text::trimmed(QStringLiteral("\u00A0x\u00A0")),
              QStringLiteral("\u00A0x\u00A0")); // no-break space is above 32
    EXPECT_EQ(text::trimmed(QStringLiteral("   ")), QString());
}

TEST(Text, PrefixAndSuffixCountCharactersNotUnits)
{
    const QString withEmoji = QStringLiteral("ab\U0001F600cd");
    EXPECT_EQ(text::length(withEmoji), 5);
    EXPECT_EQ(text::left(withEmoji, 3), QStringLiteral("ab\U0001F600"));
    EXPECT_EQ(text::right(withEmoji, 3), QStringLiteral("\U0001F600cd"));
    EXPECT_EQ(text::left(QStringLiteral("Astronomía Práctica"), 10), QStringLiteral("Astronomía"));
    EXPECT_EQ(text::left(QStringLiteral("abc"), 10), QStringLiteral("abc"));
}

TEST(Text, StrictIntegers)
{
    EXPECT_EQ(text::toInt(QStringLiteral("-30")), -30);
    EXPECT_EQ(text::toInt(QStringLiteral("+7")), 7);
    EXPECT_EQ(text::toInt(QStringLiteral("2147483647")), 2147483647);
    for (const char* bad : {"8:", "", " 3", "3 ", "1e3", "0x10", "2147483648", "tres"}) {
        try {
            text::toInt(QString::fromUtf8(bad));
            ADD_FAILURE() << bad << " was accepted";
        } catch (const RunError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("'%1' no es un número entero").arg(QString::fromUtf8(bad)));
        }
    }
}

TEST(Text, FullStopRule)
{
    EXPECT_EQ(text::withFullStop(QStringLiteral("Field 'X' not found")), QStringLiteral("Field 'X' not found."));
    EXPECT_EQ(text::withFullStop(QStringLiteral("Hecho.")), QStringLiteral("Hecho."));
    EXPECT_EQ(text::withFullStop(QStringLiteral("¿Seguro?")), QStringLiteral("¿Seguro?.")); // '?' is above '.'
    EXPECT_EQ(text::withFullStop(QStringLiteral("Atención!")), QStringLiteral("Atención!")); // '!' is below '.'
    EXPECT_EQ(text::withFullStop(QString()), QString());
}

TEST(Text, CaselessListFoldsCaseButKeepsAccents)
{
    text::CaselessList list;
    list.add(QStringLiteral("CORO"));
    list.add(QStringLiteral("Í"));
    list.add(QStringLiteral("a"));
    EXPECT_TRUE(list.contains(QStringLiteral("Coro")));
    EXPECT_TRUE(list.contains(QStringLiteral("í")));
    EXPECT_FALSE(list.contains(QStringLiteral("á")));
}

TEST(CodePages, FixedTablesAgreeWithIcu)
{
    // Every byte of each set as ICU (behind Qt) converts it, where this Qt has ICU: the fixed
    // tables keep the conversions that tables already written were read with.
    const struct {
        unsigned char driver;
        const char* icuName;
    } sets[] = {{0x01, "IBM437"}, {0x02, "IBM850"}, {0x64, "IBM852"}, {0xC8, "windows-1250"}, {0x57, "windows-1252"}};
    QByteArray all;
    for (int b = 0; b < 0x100; ++b)
        all.append(char(b));
    for (const auto& set : sets) {
        QStringDecoder icu(set.icuName);
        if (!icu.isValid())
            GTEST_SKIP() << "this Qt has no converter for " << set.icuName;
        const QString expected = icu.decode(all);
        EXPECT_EQ(CodePage::forLanguageDriver(set.driver).decode(all), expected) << set.icuName;
    }
}
