// What only Windows has: the fixed working directory, share modes, the INI call and wide paths.
// Each test says so and is skipped elsewhere; under Wine they run as on Windows.
#include "platform/dbf_table.h"
#include "platform/file_lock.h"
#include "platform/ini_file.h"
#include "platform/work_dir.h"
#include "platform/xml_document.h"
#include "run/session.h"
#include "test_support.h"

#include <QDir>
#include <QProcess>

#include <vector>

#include <gtest/gtest.h>

#ifdef Q_OS_WIN
#include <windows.h>
#define WINDOWS_ONLY() (void)0
#else
#define WINDOWS_ONLY() GTEST_SKIP() << "Windows only"
#endif

using namespace quintaro;
using namespace quintaro::test;

TEST(Windows, WorkingDirectoryIsCVtempMadeWhenMissing)
{
    WINDOWS_ONLY();
    qunsetenv("QUINTARO_VTEMP");
    EXPECT_EQ(WorkDir::defaultPath(), QStringLiteral("C:\\VTEMP"));
    const WorkDir dir = WorkDir::prepare();
    EXPECT_TRUE(QFileInfo(QStringLiteral("C:/VTEMP")).isDir());
    EXPECT_EQ(QDir::toNativeSeparators(dir.path()).toUpper(), QStringLiteral("C:\\VTEMP"));
}

TEST(Windows, ExclusiveUseSharesNothing)
{
    WINDOWS_ONLY();
#ifdef Q_OS_WIN
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("SOLUC.DBF"));
    DbfTable::create(path, {{QStringLiteral("ASIG"), dbf::FieldKind::String, 10}});
    DbfTable held(path, DbfTable::Access::Exclusive);

    // A second handle of any program, even one that shares everything, is refused.
    HANDLE other = CreateFileW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(path).utf16()), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    if (other != INVALID_HANDLE_VALUE)
        CloseHandle(other);
    EXPECT_TRUE(isHeldByAnother(path));
    EXPECT_TRUE(failsSaying([&] { DbfTable again(path, DbfTable::Access::Shared); },
                            {QStringLiteral("SOLUC"), QStringLiteral("en uso por otro programa")}));

    // And a second process is told so, in Spanish.
    QProcess cli;
    cli.start(QStringLiteral(QUINTARO_CLI_PATH), {QStringLiteral("tabla"), path});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(cli.readAllStandardError()).contains(QStringLiteral("en uso por otro programa")));

    held.close();
    EXPECT_FALSE(isHeldByAnother(path));
#endif
}

TEST(Windows, IniKeepsEveryOtherByte)
{
    WINDOWS_ONLY();
    QTemporaryDir temp;
    const QString path = QDir::toNativeSeparators(temp.filePath(QStringLiteral("Velmora.ini")));
    writeFile(path, "; Velmora\r\n[Otra]\r\nTransformado=5\r\n[Transformadores]\r\nTransformado=0\r\nX=1\r\n");
    writeIniInteger(path, QStringLiteral("Transformadores"), QStringLiteral("Transformado"), 1);
    EXPECT_EQ(readFile(path),
              QByteArray("; Velmora\r\n[Otra]\r\nTransformado=5\r\n[Transformadores]\r\nTransformado=1\r\nX=1\r\n"));
}

TEST(Windows, PathsWithAccentsAndSpaces)
{
    // Runs everywhere, but it is on Windows that a path outside the ANSI code page once failed.
    QTemporaryDir temp;
    const QString folder = temp.filePath(QStringLiteral("años y más"));
    QDir().mkpath(folder);
    const QString doc = QDir(folder).filePath(QStringLiteral("Łódź escuela.xml"));
    exportSampleSchool(doc, QDir(folder).filePath(QStringLiteral("VTEMP ñ")));
    EXPECT_EQ(XmlDocument::load(doc).root().name(), QStringLiteral("datosGHC"));
    EXPECT_EQ(
        readRows(WorkDir(QDir(folder).filePath(QStringLiteral("VTEMP ñ"))).tablePath(QStringLiteral("ASIGT"))).size(),
        37u);
}

TEST(Windows, VersionResourceReadsAsWritten)
{
    WINDOWS_ONLY();
#ifdef Q_OS_WIN
    // As Explorer's Properties read it.
    const std::wstring exe = QDir::toNativeSeparators(QStringLiteral(QUINTARO_CLI_PATH)).toStdWString();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\0C0A04B0\\FileDescription", &value, &length));
    EXPECT_EQ(QString::fromWCharArray(static_cast<const wchar_t*>(value)), QStringLiteral("Quintaro, línea de órdenes"));
#endif
}

TEST(Windows, MessagesWritePathsAsWindowsDoes)
{
    WINDOWS_ONLY();
    QTemporaryDir temp;
    const QString vtemp = temp.filePath(QStringLiteral("Colegio/VTEMP"));
    QDir().mkpath(vtemp);
    qputenv("QUINTARO_VTEMP", vtemp.toUtf8());
    const QString doc = temp.filePath(QStringLiteral("Colegio/escuela.xml"));
    QFile::copy(sampleSchool(), doc);

    Session session;
    ScriptedUi ui;
    ui.document = doc;
    EXPECT_EQ(session.runImport(ui).outcome, Session::Outcome::Failed); // the folder has no tables
    ASSERT_FALSE(ui.errors.isEmpty());
    EXPECT_TRUE(ui.errors.last().contains(QDir::toNativeSeparators(vtemp))) << ui.errors.last().toStdString();
    EXPECT_FALSE(ui.errors.last().contains(u'/')) << ui.errors.last().toStdString();

    ScriptedUi missing;
    missing.document = temp.filePath(QStringLiteral("Colegio/otra.xml"));
    EXPECT_EQ(Session().runExport(missing).outcome, Session::Outcome::NoDocument);
    EXPECT_TRUE(missing.messages.last().contains(QStringLiteral("\\Colegio\\otra.xml no existe")));
    qunsetenv("QUINTARO_VTEMP");
}
