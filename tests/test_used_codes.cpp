#include "export/used_codes.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace quintaro;

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

TEST(ShortCodes, ManyEqualNamesTakeLinearWork)
{
    // The counter resumes where it stopped: each of 20 000 equal names tries one candidate (a
    // search from 1 each time would try some 200 million), long names included.
    for (const QString& name : {QStringLiteral("X"), QStringLiteral("Laboratorio")}) {
        UsedCodes used;
        QString last;
        for (int i = 0; i < 20000; ++i)
            last = used.assign(name);
        EXPECT_LE(used.candidatesTried(), 2 * 20000) << name.toStdString();
        EXPECT_TRUE(used.contains(last));
    }
    UsedCodes used;
    QString last;
    for (int i = 0; i < 20000; ++i)
        last = used.assign(QStringLiteral("X"));
    EXPECT_EQ(last, QStringLiteral("X19999"));
}
