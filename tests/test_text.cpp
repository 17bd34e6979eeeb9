#include "export/short_code.h"
#include "platform/error.h"
#include "platform/text.h"

#include <QSet>

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
            EXPECT_EQ(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(QString::fromUtf8(bad)));
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

// Each row: the codes that go in, one after the other, and the codes that come out.
struct CodeCase {
    const char* name;
    QStringList in;
    QStringList out;
};
void PrintTo(const CodeCase& c, std::ostream* os) { *os << c.name; }

class ShortCodes : public testing::TestWithParam<CodeCase> { };

TEST_P(ShortCodes, GivesUniqueCodes)
{
    UsedCodes used;
    QStringList got;
    for (const QString& code : GetParam().in)
        got << used.assign(code);
    EXPECT_EQ(got, GetParam().out);
}

QStringList astronomyIn()
{
    QStringList in;
    for (int i = 1; i <= 12; ++i)
        in << text::left(QStringLiteral("Astronomía %1").arg(i), 10);
    return in;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortCodes,
    testing::Values(
        CodeCase{"caseInsensitiveCounter", {"ABC", "ABC", "abc"}, {"ABC", "ABC1", "abc2"}},
        CodeCase{"tenCharactersLoseTheLast", {"ABCDEFGHIJ", "ABCDEFGHIJ"}, {"ABCDEFGHIJ", "ABCDEFGHI1"}},
        CodeCase{"blankCodeGetsCounter", {"", ""}, {"", "1"}},
        CodeCase{"finalBlankKept", {"Teatro en ", "Teatro en "}, {"Teatro en ", "Teatro en1"}},
        CodeCase{"counterPastNineIsShortened",
                 astronomyIn(),
                 {"Astronomía", "Astronomí1", "Astronomí2", "Astronomí3", "Astronomí4", "Astronomí5", "Astronomí6",
                  "Astronomí7", "Astronomí8", "Astronomí9", "Astronom10", "Astronom11"}},
        CodeCase{"longNamesTwice", {"ABCDEFGHIJKL", "ABCDEFGHIJKL"}, {"ABCDEFGHKL", "ABCDEFGHL1"}},
        CodeCase{"shortenedFormCollidesWithPlainCode", {"ABCDEFGHIJKL", "ABCDEFGHKL"}, {"ABCDEFGHKL", "ABCDEFGHK1"}},
        CodeCase{"groupsCounter", {"ESO1A", "ESO1A", "ESO1A", "eso1A"}, {"ESO1A", "ESO1A1", "ESO1A2", "eso1A3"}},
        CodeCase{"genericCollidesWithOrdinary", {"Aula1", "Aula1"}, {"Aula1", "Aula11"}}),
    [](const testing::TestParamInfo<CodeCase>& info) { return std::string(info.param.name); });

TEST(ShortCodes, MoreEqualPrefixesThanShortenedFormsStayUnique)
{
    // 'Laborator' + counter: the first 8 and last 2 characters give only ~110 forms.
    UsedCodes used;
    QSet<QString> codes;
    for (int i = 0; i < 1500; ++i) {
        const QString code = used.assign(QStringLiteral("Laboratori"));
        EXPECT_LE(text::length(code), 10);
        EXPECT_FALSE(codes.contains(code.toCaseFolded())) << code.toStdString();
        codes << code.toCaseFolded();
    }
    EXPECT_TRUE(codes.contains(QStringLiteral("laborato99"))); // the plain forms come first
    EXPECT_TRUE(codes.contains(QStringLiteral("laborat100"))); // then the stem makes room
    EXPECT_TRUE(codes.contains(QStringLiteral("labora1000")));
}

TEST(ShortCodes, ManyEqualNamesStayFast)
{
    // The counter resumes where it stopped, so 20 000 equal names take linear time.
    UsedCodes used;
    QString last;
    for (int i = 0; i < 20000; ++i)
        last = used.assign(QStringLiteral("X"));
    EXPECT_EQ(last, QStringLiteral("X19999"));
}
