#include "platform/error.h"
#include "platform/ini_file.h"
#include "platform/work_dir.h"
#include "test_support.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace quintaro;
using namespace quintaro::test;

TEST(Ini, ChangesOnlyThatOneKey)
{
    const struct {
        const char* name;
        QByteArray before;
        QByteArray after;
    } cases[] = {
        {"newFile", "", "[Transformadores]\r\nTransformado=1\r\n"},
        {"replaceValueKeepRest",
         "; Velmora\r\n[Otra]\r\nTransformado=5\r\n[transformadores]\r\n  transformado = 0 \r\nX=1\r\n",
         "; Velmora\r\n[Otra]\r\nTransformado=5\r\n[transformadores]\r\n  transformado =1\r\nX=1\r\n"},
        {"keyAddedToSection", "[Transformadores]\nX=1\n\n[B]\nY=2\n",
         "[Transformadores]\nX=1\nTransformado=1\n\n[B]\nY=2\n"},
        {"sectionAddedAfterUnterminatedLine", "[A]\nX=1", "[A]\nX=1\n[Transformadores]\nTransformado=1\n"},
        {"lastLineWithoutEnding", "[Transformadores]\r\nX=1", "[Transformadores]\r\nX=1\r\nTransformado=1\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(iniWithValue(c.before, QStringLiteral("Transformadores"), QStringLiteral("Transformado"),
                               QStringLiteral("1")),
                  c.after)
            << c.name;
}

TEST(Ini, WritesFileAndReportsFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmora.ini"));
    writeIniInteger(path, QStringLiteral("Transformadores"), QStringLiteral("Transformado"), -1);
    EXPECT_EQ(readFile(path), QByteArray("[Transformadores]\r\nTransformado=-1\r\n"));

    const QString unwritable = dir.filePath(QStringLiteral("no/Velmora.ini"));
    try {
        writeIniInteger(unwritable, QStringLiteral("Transformadores"), QStringLiteral("Transformado"), 1);
        ADD_FAILURE();
    } catch (const RunError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("No se puede escribir el resultado en %1 (").arg(QDir::toNativeSeparators(unwritable))))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("no existe"))) << e.message().toStdString();
    }
}

TEST(WorkDirectory, FollowsWinePrefixWithoutRegardToCase)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Linux only: on Windows the working directory is C:\\VTEMP itself";
#endif
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("prefix/Drive_C/vtemp/Sauce"));
    qputenv("WINEPREFIX", home.filePath(QStringLiteral("prefix")).toUtf8());
    qunsetenv("QUINTARO_VTEMP");
    EXPECT_EQ(WorkDir::defaultPath(), home.filePath(QStringLiteral("prefix/Drive_C/vtemp")));
    EXPECT_EQ(WorkDir::mapWindowsPath(QStringLiteral("c:\\vtemp\\sauce")),
              home.filePath(QStringLiteral("prefix/Drive_C/vtemp/Sauce")));

    qputenv("QUINTARO_VTEMP", home.filePath(QStringLiteral("elsewhere")).toUtf8());
    EXPECT_EQ(WorkDir::defaultPath(), home.filePath(QStringLiteral("elsewhere")));
    const WorkDir made = WorkDir::prepare();
    EXPECT_TRUE(QFileInfo(made.path()).isDir());
    qunsetenv("QUINTARO_VTEMP");
    qunsetenv("WINEPREFIX");
}

TEST(WorkDirectory, TablesFoundAndDeletedInEveryLetterCase)
{
    QTemporaryDir temp;
    const WorkDir dir(temp.path());
    writeFile(temp.filePath(QStringLiteral("soluc.dbf")), "x");
#ifdef Q_OS_WIN
    // The file system ignores letter case; the name as stored is not asked for.
    EXPECT_EQ(
        dir.tablePath(QStringLiteral("SOLUC")).compare(temp.filePath(QStringLiteral("soluc.dbf")), Qt::CaseInsensitive),
        0);
#else
    EXPECT_EQ(dir.tablePath(QStringLiteral("SOLUC")), temp.filePath(QStringLiteral("soluc.dbf")));
#endif
    EXPECT_EQ(dir.tablePath(QStringLiteral("ASIGT")), temp.filePath(QStringLiteral("ASIGT.DBF")));
#ifdef Q_OS_WIN
    // One file can have only one letter case here.
    const char* const names[] = {"proft.dbf", "Proft.Mdx", "PROFTX.DBF"};
#else
    const char* const names[] = {"PROFT.DBF", "proft.dbf", "Proft.Mdx", "PROFTX.DBF"};
#endif
    for (const char* name : names)
        writeFile(temp.filePath(QString::fromLatin1(name)), "x");
    dir.removeTableFiles(QStringLiteral("PROFT"));
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files), (QStringList{"PROFTX.DBF", "soluc.dbf"}));
}

TEST(WorkDirectory, RefusesAFileWhereTheFolderShouldBe)
{
    QTemporaryDir temp;
    writeFile(temp.filePath(QStringLiteral("VTEMP")), "x");
    EXPECT_THROW(WorkDir::prepare(temp.filePath(QStringLiteral("VTEMP"))), RunError);
}
