#include "platform/dbf_header.h"
#include "platform/dbf_table.h"
#include "platform/error.h"
#include "platform/file_lock.h"
#include "test_support.h"

#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QScopeGuard>
#include <QtEndian>

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

using namespace quintaro;
using namespace quintaro::test;
using dbf::FieldKind;
using dbf::FieldSpec;

namespace {
class Dbase : public testing::Test {
protected:
    QString path(const char* name = "T.DBF") const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

const std::vector<FieldSpec> kAllKinds = {
    {QStringLiteral("NOMBRE"), FieldKind::String, 10},     {QStringLiteral("ACTIVO"), FieldKind::Boolean, 0},
    {QStringLiteral("NUMERO"), FieldKind::Integer, 0},     {QStringLiteral("HORAS"), FieldKind::Float, 0},
    {QStringLiteral("ES_GENERICA"), FieldKind::String, 1},
};

} // namespace

// The header as bytes, without a file: what encodeHeader makes, parseHeader reads back, at level
// III and, when a name needs it, level 7; what no level holds is refused by name.
TEST(DbaseHeader, EncodedHeadersParseBack)
{
    using namespace dbf;
    const QDate day(2026, 12, 10);
    for (const char* longName : {"HORAS", "ES_HORADESDE"}) {
        const std::vector<FieldSpec> declared = {
            {QStringLiteral("NOMBRE"), FieldKind::String, 30},
            {QStringLiteral("ACTIVO"), FieldKind::Boolean},
            {QStringLiteral("NUMERO"), FieldKind::Integer},
            {QString::fromLatin1(longName), FieldKind::Float},
        };
        const QByteArray bytes = encodeHeader(declared, day);
        const Header h = parseHeader(bytes, bytes.size());
        EXPECT_EQ(h.level7, std::string(longName).size() > 11) << longName;
        EXPECT_EQ(h.rowCount, 0u);
        EXPECT_EQ(h.headerLength, bytes.size());
        EXPECT_EQ(h.recordLength, 1 + 30 + 1 + 11 + 20);
        ASSERT_EQ(h.fields.size(), 4u);
        const std::vector<std::tuple<QString, char, int, int, int>> expected = {
            {"NOMBRE", 'C', 30, 0, 1}, {"ACTIVO", 'L', 1, 0, 31}, {"NUMERO", 'N', 11, 0, 32},
            {QString::fromLatin1(longName), 'N', 20, 4, 43}};
        for (size_t i = 0; i < expected.size(); ++i) {
            const Field& f = h.fields[i];
            EXPECT_EQ(std::tuple(f.name, f.type, f.length, f.decimals, f.offset), expected[i]) << i;
        }
        // A stamped header says how many rows follow; more than the bytes hold is refused.
        QByteArray stamped = bytes;
        stampHeader(stamped.data(), 2, day);
        EXPECT_EQ(parseHeader(stamped + QByteArray(2 * h.recordLength, ' '), stamped.size() + 2 * h.recordLength)
                      .rowCount,
                  2u);
        try {
            parseHeader(stamped, stamped.size() + h.recordLength);
            ADD_FAILURE() << "two rows announced, room for one";
        } catch (const HeaderError& e) {
            EXPECT_EQ(e.reason, QStringLiteral("la cabecera anuncia 2 filas y el archivo solo contiene 1; el archivo "
                                               "está dañado"));
        }
    }
    try {
        encodeHeader({{QString(40, u'X'), FieldKind::String, 5}}, day);
        ADD_FAILURE() << "a 40-character name was accepted";
    } catch (const HeaderError& e) {
        EXPECT_EQ(e.reason, QStringLiteral("el campo %1 no es válido").arg(QString(40, u'X')));
    }
}

TEST_F(Dbase, EmptyTableHasHeaderTerminatorAndEndOfFile)
{
    DbfTable::create(path(), kAllKinds);
    const QByteArray bytes = readFile(path());
    ASSERT_EQ(bytes.size(), 32 + 32 * 5 + 1 + 1);
    EXPECT_EQ(quint8(bytes[0]), 0x03);
    EXPECT_EQ(quint8(bytes[29]), 0x57); // Windows-1252
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 4), 0u);
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 8), 32 + 32 * 5 + 1);
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 10), 1 + 10 + 1 + 11 + 20 + 1);
    EXPECT_EQ(bytes.mid(32 + 4 * 32, 11), QByteArray("ES_GENERICA")); // 11 characters fill the name bytes
    EXPECT_EQ(bytes.at(bytes.size() - 2), 0x0D);
    EXPECT_EQ(bytes.at(bytes.size() - 1), 0x1A);
    EXPECT_EQ(fieldNames(path()), (QStringList{"NOMBRE", "ACTIVO", "NUMERO", "HORAS", "ES_GENERICA"}));
}

TEST_F(Dbase, EveryFieldKindRoundTrips)
{
    DbfTable::create(path(), kAllKinds);
    std::vector<DbfTable::TextLoss> losses;
    {
        DbfTable t(path(), DbfTable::Access::Shared);
        t.setTextLossSink([&](const DbfTable::TextLoss& loss) { losses.push_back(loss); });
        t.append();
        t.setText(0, QStringLiteral("Astronomía Práctica")); // cut to the width, counted in characters
        t.setBoolean(1, true);
        t.setInteger(2, -2147483647 - 1);
        t.setText(3, QStringLiteral("3"));
        t.post();
        t.append(); // nothing set: every field empty
        t.post();
        t.append();
        t.setText(0, QStringLiteral("Łódź\U0001F600é")); // one '?' for a character outside the BMP
        t.setBoolean(1, false);
        t.setFloat(3, -2.5);
        t.post();
        t.close();
    }
    const std::vector<Row> rows = readRows(path());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]["NOMBRE"], QStringLiteral("Astronomía"));
    EXPECT_EQ(rows[0]["ACTIVO"], QStringLiteral("T"));
    EXPECT_EQ(rows[0]["NUMERO"], QStringLiteral("-2147483648"));
    EXPECT_EQ(rows[0]["HORAS"], QStringLiteral("3"));
    EXPECT_EQ(rows[1], (Row{{"NOMBRE", ""}, {"ACTIVO", ""}, {"NUMERO", ""}, {"HORAS", ""}, {"ES_GENERICA", ""}}));
    EXPECT_EQ(rows[2]["NOMBRE"], QStringLiteral("?ód??é")); // Ł, ź and the emoji have no Windows-1252 form
    EXPECT_EQ(rows[2]["HORAS"], QStringLiteral("-2.5"));
    // The first text was cut to its 10 characters; the other had characters stored as '?'.
    ASSERT_EQ(losses.size(), 2u);
    EXPECT_TRUE(losses[0].cut);
    EXPECT_EQ(losses[0].value, QStringLiteral("Astronomía Práctica"));
    EXPECT_EQ(losses[0].width, 10);
    EXPECT_FALSE(losses[1].cut);
    EXPECT_EQ(losses[1].unmapped, QStringLiteral("Łź\U0001F600"));
    EXPECT_EQ(losses[1].table + u'.' + losses[1].field, QStringLiteral("T.NOMBRE"));

    const QByteArray bytes = readFile(path());
    const int header = 32 + 32 * 5 + 1;
    EXPECT_EQ(bytes.mid(header, 11),
              QByteArray(" Astronom\xed"
                         "a",
                         11)); // Windows-1252 on disk
    EXPECT_EQ(bytes.mid(header + 1 + 10 + 1 + 11, 20), QByteArray("              3.0000"));
}

#ifdef __linux__
// A table the system will not let us write (here an immutable file, which holds even for root) is
// opened for reading, and writing it is refused in those words.
TEST_F(Dbase, RefusedWriteSaysSo)
{
    DbfTable::create(path(), kAllKinds);
    const int fd = ::open(QFile::encodeName(path()).constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    int flags = 0;
    const bool immutable = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0
        && (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    const auto undo = qScopeGuard([&] {
        flags &= ~FS_IMMUTABLE_FL;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        ::close(fd);
    });
    if (!immutable)
        GTEST_SKIP() << "this file system cannot make a file immutable here";
    DbfTable t(path(), DbfTable::Access::Shared);
    EXPECT_EQ(runErrorOf([&] { t.append(); }),
              QStringLiteral("La tabla T (%1) no se puede escribir: el archivo es de solo lectura").arg(path()).toStdString());
}
#endif

TEST_F(Dbase, FloatFromTextAndMissingFieldMessages)
{
    DbfTable::create(path(), kAllKinds);
    DbfTable t(path(), DbfTable::Access::Shared);
    t.append();
    EXPECT_EQ(runErrorOf([&] { t.setText(3, QStringLiteral("tres")); }),
              "La tabla T, campo HORAS: 'tres' no es un número");
    // A number given as text is read by the rule the field is read by, whatever the user's locale:
    // '.' or ',' is the decimal point, never a thousands separator.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    for (const auto& [given, stored] : {std::pair{"1.500", 1.5}, std::pair{"2,5", 2.5}, std::pair{"-0.25", -0.25}}) {
        t.setText(3, QString::fromLatin1(given));
        EXPECT_EQ(t.number(3), stored) << given;
    }
    QLocale::setDefault(previous);
    EXPECT_EQ(runErrorOf([&] { t.fieldIndex(QStringLiteral("marco")); }), "La tabla T no tiene el campo MARCO");
    DbfTable::create(path("S.DBF"), kAllKinds);
    DbfTable held(path("S.DBF"), DbfTable::Access::Exclusive, QStringLiteral("¿la ha escrito Velmora?"));
    EXPECT_EQ(runErrorOf([&] { held.fieldIndex(QStringLiteral("MARCO")); }),
              "La tabla S no tiene el campo MARCO; ¿la ha escrito Velmora?");
}

TEST_F(Dbase, LocateIsExactCaseSensitiveFirstRowAndFollowsChanges)
{
    DbfTable::create(path(),
                     {{QStringLiteral("COD"), FieldKind::String, 10}, {QStringLiteral("MARCO"), FieldKind::String, 2}});
    DbfTable t(path(), DbfTable::Access::Shared);
    const auto add = [&](const char* cod, const char* marco) {
        t.append();
        t.setText(0, QString::fromUtf8(cod));
        t.setText(1, QString::fromUtf8(marco));
        t.post();
    };
    add("ABC", "0");
    add("abc", "1");
    add("ABC", "1");
    add("Teatro en ", "0");
    const auto rowOf = [&](const QString& fields, const QStringList& values) -> int {
        if (!t.locate(fields, values))
            return -1;
        return t.text(1).toInt() * 10 + (t.text(0) == u"ABC" ? 1 : 0);
    };
    EXPECT_EQ(rowOf(QStringLiteral("COD"), {QStringLiteral("ABC")}), 1); // the first ABC: marco 0
    EXPECT_EQ(rowOf(QStringLiteral("COD"), {QStringLiteral("abc")}), 10); // letter case counts
    EXPECT_EQ(rowOf(QStringLiteral("COD"), {QStringLiteral("AB")}), -1); // whole value only
    EXPECT_EQ(rowOf(QStringLiteral("COD;MARCO"), {QStringLiteral("ABC"), QStringLiteral("1")}), 11);
    EXPECT_TRUE(t.locate(QStringLiteral("COD"), {QStringLiteral("Teatro en")})); // stored blanks pad
    EXPECT_FALSE(t.locate(QStringLiteral("COD"), {QStringLiteral("Zeta")}));

    add("Zeta", "0"); // an append after the index was built
    EXPECT_TRUE(t.locate(QStringLiteral("COD"), {QStringLiteral("Zeta")}));
    ASSERT_TRUE(t.locate(QStringLiteral("COD"), {QStringLiteral("ABC")}));
    t.edit(); // an edit that changes a key
    t.setText(0, QStringLiteral("XYZ"));
    t.next();
    EXPECT_EQ(rowOf(QStringLiteral("COD"), {QStringLiteral("ABC")}), 11); // now the second ABC
    EXPECT_TRUE(t.locate(QStringLiteral("COD"), {QStringLiteral("XYZ")}));
}

TEST_F(Dbase, EditsAreStoredWhenTheCursorMovesOnOrTheTableCloses)
{
    DbfTable::create(path(), {{QStringLiteral("MARCO"), FieldKind::String, 1}});
    {
        DbfTable t(path(), DbfTable::Access::Shared);
        for (int i = 0; i < 3; ++i) {
            t.append();
            t.post();
        }
        t.close();
    }
    {
        DbfTable t(path(), DbfTable::Access::Shared);
        for (t.first(); !t.eof(); t.next()) {
            t.edit();
            t.setText(0, QStringLiteral("1"));
        }
        t.first();
        t.edit();
        t.setText(0, QStringLiteral("0"));
    } // the destructor stores the pending edit
    const std::vector<Row> rows = readRows(path());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]["MARCO"], QStringLiteral("0"));
    EXPECT_EQ(rows[2]["MARCO"], QStringLiteral("1"));
}

namespace {
// A level-7 table as Velmora may write it: 68-byte header, 48-byte descriptors, big-endian I and O.
QByteArray level7Table()
{
    struct F {
        const char* name;
        char type;
        int length;
    };
    const F fields[] = {{"ASIG", 'C', 6}, {"DIA", 'O', 8}, {"HORA", 'I', 4}, {"MARCO", 'C', 1}};
    QByteArray header(68, '\0');
    header[0] = 0x04;
    QByteArray descriptors;
    int recordLength = 1;
    for (const F& f : fields) {
        QByteArray d(48, '\0');
        std::memcpy(d.data(), f.name, strlen(f.name));
        d[32] = f.type;
        d[33] = char(f.length);
        descriptors += d;
        recordLength += f.length;
    }
    qToLittleEndian<quint32>(2, header.data() + 4);
    qToLittleEndian<quint16>(quint16(68 + descriptors.size() + 1), header.data() + 8);
    qToLittleEndian<quint16>(quint16(recordLength), header.data() + 10);
    const auto o = [](double v) {
        quint64 bits;
        std::memcpy(&bits, &v, 8);
        bits = v >= 0 ? bits | 0x8000000000000000ull : ~bits;
        QByteArray b(8, '\0');
        qToBigEndian(bits, b.data());
        return b;
    };
    const auto i = [](qint32 v) {
        QByteArray b(4, '\0');
        qToBigEndian(quint32(v) ^ 0x80000000u, b.data());
        return b;
    };
    QByteArray records = " Mat\xe9m " + o(3.0) + i(-2) + "1";
    records += " Coro  " + o(-0.4) + QByteArray(4, '\0') + "0";
    return header + descriptors + '\r' + records + '\x1a';
}
} // namespace

TEST_F(Dbase, ReadsLevel7ByFieldName)
{
    writeFile(path("SOLUC.DBF"), level7Table());
    DbfTable t(path("SOLUC.DBF"), DbfTable::Access::Exclusive);
    const int dia = t.fieldIndex(QStringLiteral("DIA")), hora = t.fieldIndex(QStringLiteral("HORA"));
    EXPECT_EQ(t.text(t.fieldIndex(QStringLiteral("ASIG"))), QStringLiteral("Matém"));
    EXPECT_EQ(t.whole(dia), 3);
    EXPECT_EQ(t.whole(hora), -2);
    t.next();
    EXPECT_EQ(t.whole(dia), 0); // -0.4 to the nearest integer
    EXPECT_EQ(t.whole(hora), 0); // empty
    EXPECT_EQ(t.text(hora), QString());
}

TEST_F(Dbase, NumericTextBlanksStarsAndCommas)
{
    // Each row's six bytes and what they read as: a number, empty, or "not a number".
    const struct {
        const char* stored;
        std::optional<double> value;
        bool malformed = false;
    } rows[] = {
        {"   2,6", 2.6},
        {"      ", std::nullopt},
        {" *****", std::nullopt},
        {"  dos ", std::nullopt, true},
        {"  -1.5", -1.5},
        {"+2.25 ", 2.25},
        {"1.0\0\0\0", 1.0},
        {"  1e2 ", 100.0},
        {"   inf", std::nullopt, true},
        {"    12", 12.0},
        {" 1.2.3", std::nullopt, true},
    };
    QByteArray header(32, '\0');
    header[0] = 0x03;
    QByteArray d(32, '\0');
    std::memcpy(d.data(), "DIA", 3);
    d[11] = 'N';
    d[16] = 6;
    d[17] = 1;
    qToLittleEndian<quint32>(quint32(std::size(rows)), header.data() + 4);
    qToLittleEndian<quint16>(32 + 32 + 1, header.data() + 8);
    qToLittleEndian<quint16>(7, header.data() + 10);
    QByteArray records;
    for (const auto& row : rows)
        records += ' ' + QByteArray(row.stored, 6);
    writeFile(path(), header + d + '\r' + records + '\x1a');
    DbfTable t(path(), DbfTable::Access::Shared);
    for (const auto& row : rows) {
        if (row.malformed)
            EXPECT_TRUE(failsSaying([&] { t.number(0); }, {QString::fromUtf8("no es un número")})) << row.stored;
        else
            EXPECT_EQ(t.number(0), row.value) << row.stored;
        t.next();
    }
    t.first();
    EXPECT_EQ(t.whole(0), 3); // 2.6 to the nearest whole number
}

TEST_F(Dbase, DamagedFilesAreRefusedNamingTheFile)
{
    DbfTable::create(path("GOOD.DBF"), kAllKinds);
    {
        DbfTable t(path("GOOD.DBF"), DbfTable::Access::Shared);
        t.append();
        t.setText(0, QStringLiteral("x"));
        t.post();
    }
    const QByteArray good = readFile(path("GOOD.DBF"));
    const int header = 32 + 32 * 5 + 1;
    QByteArray lyingCount = good;
    qToLittleEndian<quint32>(1000, lyingCount.data() + 4);
    QByteArray lyingHeader = good;
    qToLittleEndian<quint16>(60000, lyingHeader.data() + 8);
    QByteArray noTerminator = good;
    noTerminator[header - 1] = 'X';
    QByteArray zeroWidth = good;
    zeroWidth[32 + 16] = 0;
    QByteArray shortRecord = good;
    qToLittleEndian<quint16>(5, shortRecord.data() + 10);

    const struct {
        const char* name;
        QByteArray bytes;
        const char* says;
    } cases[] = {
        {"empty", QByteArray(), "cabecera está incompleta"},
        {"inHeader", good.left(20), "cabecera está incompleta"},
        {"inFieldList", good.left(100), "longitud de la cabecera"},
        {"midRecord", good.left(header + 10), "anuncia 1 filas"},
        {"countLies", lyingCount, "anuncia 1000 filas"},
        {"headerLengthLies", lyingHeader, "longitud de la cabecera"},
        {"noTerminator", noTerminator, "no termina"},
        {"zeroWidthField", zeroWidth, "longitud 0"},
        {"fieldsWiderThanRecord", shortRecord, "ocupan"},
        {"notADbf", QByteArray("<?xml version=\"1.0\"?><datosGHC/>\n").repeated(3), ""},
    };
    for (const auto& c : cases) {
        writeFile(path("BAD.DBF"), c.bytes);
        const std::string message = runErrorOf([&] { DbfTable t(path("BAD.DBF"), DbfTable::Access::Shared); });
        EXPECT_NE(message.find("BAD"), std::string::npos) << c.name << ": " << message;
        EXPECT_NE(message.find(c.says), std::string::npos) << c.name << ": " << message;
    }
}

TEST_F(Dbase, DeletedRowsAreSkipped)
{
    DbfTable::create(path(), {{QStringLiteral("C"), FieldKind::String, 1}});
    {
        DbfTable t(path(), DbfTable::Access::Shared);
        for (const char* v : {"a", "b", "c"}) {
            t.append();
            t.setText(0, QString::fromLatin1(v));
            t.post();
        }
    }
    QByteArray bytes = readFile(path());
    bytes[32 + 32 + 1 + 2] = '*'; // second record
    writeFile(path(), bytes);
    const std::vector<Row> rows = readRows(path());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1]["C"], QStringLiteral("c"));
}

TEST_F(Dbase, ExclusiveUseIsHonouredByOtherHolders)
{
    DbfTable::create(path("SOLUC.DBF"), kAllKinds);
    DbfTable held(path("SOLUC.DBF"), DbfTable::Access::Exclusive);
    EXPECT_TRUE(failsSaying(
        [&] { DbfTable again(path("SOLUC.DBF"), DbfTable::Access::Shared); },
        {QStringLiteral("La tabla SOLUC está en uso por otro programa"), QStringLiteral("ciérrela en Velmora")}));
#ifndef Q_OS_WIN
    // Another process sees the lock too (flock(1) uses the same advisory lock).
    if (QFileInfo::exists(QStringLiteral("/usr/bin/flock"))) {
        EXPECT_EQ(QProcess::execute(QStringLiteral("/usr/bin/flock"),
                                    {QStringLiteral("-n"), path("SOLUC.DBF"), QStringLiteral("true")}),
                  1);
    }
#endif
    held.close();
    DbfTable reopened(path("SOLUC.DBF"), DbfTable::Access::Exclusive);
}

TEST_F(Dbase, RecordLocksOfAnotherProgramAreHonoured)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "POSIX record locks: how Wine passes on a Windows program's locks on Linux";
#else
    // Velmora under Wine holds its tables with Windows locks, which Wine takes as POSIX record
    // locks on the file; a second process holds one here the same way.
    DbfTable::create(path("SOLUC.DBF"), kAllKinds);
    QProcess holder;
    holder.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import fcntl, sys\n"
                                 "f = open(sys.argv[1], 'r+b')\n"
                                 "fcntl.lockf(f, fcntl.LOCK_EX)\n"
                                 "print('held', flush=True)\n"
                                 "sys.stdin.read()\n"),
                  path("SOLUC.DBF")});
    ASSERT_TRUE(holder.waitForReadyRead(10000)) << "the lock holder did not start";
    EXPECT_TRUE(isHeldByAnother(path("SOLUC.DBF")));
    EXPECT_TRUE(failsSaying([&] { DbfTable t(path("SOLUC.DBF"), DbfTable::Access::Shared); },
                            {QStringLiteral("SOLUC"), QStringLiteral("en uso por otro programa")}));
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(10000));
    EXPECT_FALSE(isHeldByAnother(path("SOLUC.DBF")));
    DbfTable reopened(path("SOLUC.DBF"), DbfTable::Access::Exclusive);
#endif
}

// Appended rows wait in memory and reach the file 4096 at a time (with the header counting them),
// the rest when the table closes: the file's size shows each batch arrive.
TEST_F(Dbase, ManyRowsReachTheFileInBatches)
{
    DbfTable::create(path(), {{QStringLiteral("N"), FieldKind::Integer, 0}});
    const qint64 empty = QFileInfo(path()).size();
    qint64 recordLength = 0;
    std::vector<int> grewAt; // the rows after which the file grew
    {
        DbfTable t(path(), DbfTable::Access::Shared);
        qint64 size = empty;
        for (int i = 0; i < 10000; ++i) {
            t.append();
            t.setInteger(0, i);
            t.post();
            if (const qint64 now = QFileInfo(path()).size(); now != size) {
                grewAt.push_back(i + 1);
                recordLength = (now - empty) / (i + 1);
                size = now;
            }
        }
    }
    EXPECT_EQ(grewAt, (std::vector<int>{4096, 8192}));
    EXPECT_EQ(QFileInfo(path()).size(), empty + 10000 * recordLength); // the end-of-file mark kept its place
    const std::vector<Row> rows = readRows(path());
    ASSERT_EQ(rows.size(), 10000u);
    EXPECT_EQ(rows.back()["N"], QStringLiteral("9999"));
    EXPECT_EQ(readFile(path()).back(), '\x1a');
}

TEST(DbaseWriting, ARowAppendedAndNeverPostedIsRefusedNotLost)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("T.DBF"));
    DbfTable::create(path, {{QStringLiteral("COD"), dbf::FieldKind::String, 10}});
    {
        DbfTable t(path, DbfTable::Access::Exclusive);
        t.append();
        t.setText(0, QStringLiteral("uno"));
        EXPECT_TRUE(failsSaying([&] { t.append(); }, {QStringLiteral("antes de guardar la anterior")}));
        t.post();
        t.append();
        t.setText(0, QStringLiteral("dos"));
        EXPECT_TRUE(failsSaying([&] { t.close(); }, {QStringLiteral("sin guardar"), QStringLiteral("T")}));
    }
    // The posted row is stored and the file released: another holder may open it at once.
    DbfTable again(path, DbfTable::Access::Exclusive);
    EXPECT_EQ(again.liveRowCount(), 1);
    EXPECT_EQ(again.text(0), QStringLiteral("uno"));
}
