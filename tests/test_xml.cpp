#include "platform/document_bytes.h"
#include "platform/error.h"
#include "platform/xml_document.h"
#include "platform/libxml_compat.h"
#include "platform/xml_section_save.h"
#include "test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <type_traits>

#include <libxml/xmlerror.h>
#include <libxml/xmlversion.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

using namespace quintaro;
using namespace quintaro::test;

TEST(Xml, SelectsPathsInDocumentOrderAndReadsTextUntrimmed)
{
    const XmlDocument doc = XmlDocument::parse(interchange(
        QStringLiteral("<materias><materia> Coro <b>y</b> danza </materia><materia/></materias>"
                       "<materias><materia>Tercera</materia></materias><otra><materia>No</materia></otra>")));
    const XmlNodeList& nodes = doc.select(QStringLiteral("/datosGHC/materias/materia"));
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_EQ(nodes[0].text(), QStringLiteral(" Coro y danza "));
    EXPECT_EQ(nodes[1].text(), QString());
    EXPECT_EQ(nodes[2].text(), QStringLiteral("Tercera"));
    EXPECT_EQ(&doc.select(QStringLiteral("/datosGHC/materias/materia")), &nodes); // selected once, kept
    EXPECT_TRUE(doc.select(QStringLiteral("/otraRaiz/materias/materia")).empty());
    EXPECT_TRUE(selectSingle(doc, QStringLiteral("/datosGHC/nada")).isNull());
}

TEST(Xml, AttributesByPositionAndName)
{
    const XmlDocument doc = XmlDocument::parse(interchange(QStringLiteral("<g b=\" 2 \" a=\"&amp;x\"/>")));
    const XmlNode g = selectSingle(doc, QStringLiteral("/datosGHC/g"));
    EXPECT_EQ(g.attributeCount(), 2);
    EXPECT_EQ(g.attributeValue(0), QStringLiteral(" 2 "));
    EXPECT_EQ(g.attributeValue(1), QStringLiteral("&x"));
    EXPECT_FALSE(g.attributeValue(2).has_value());
    EXPECT_EQ(g.attribute("a"), QStringLiteral("&x"));
    EXPECT_FALSE(g.attribute("c").has_value());
}

TEST(Xml, RefusesWhatCannotBeReadInSpanishWithWhereAndLibxmlsWords)
{
    const struct {
        const char* name;
        QByteArray content;
        QStringList expected; // the key facts, in Spanish; libxml2's own words only after them
    } cases[] = {
        {"empty", "", {"no es XML válido", "está vacío", "(libxml2: Document is empty)"}},
        {"notXml", "esto no es XML", {"no es XML válido (línea 1, columna 1)", "no empieza por un elemento"}},
        {"truncated", "<datosGHC><materias><materia>Coro", {"no es XML válido (línea 1", "está cortado"}},
        {"mismatch", "<datosGHC>\n<a></b>\n</datosGHC>", {"(línea 2", "no corresponde a la que abrió"}},
        {"externalFile",
         "<!DOCTYPE d [<!ENTITY x SYSTEM \"file:///etc/hostname\">]><datosGHC>&x;</datosGHC>",
         {"recurso externo"}},
        {"billionLaughs",
         "<!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
         "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
         "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">"
         "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\"><!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">"
         "<!ENTITY i \"&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;\">]><datosGHC>&i;&i;&i;&i;&i;&i;&i;&i;&i;&i;</datosGHC>",
         {"No se puede leer el documento XML prueba.xml: no es XML válido"}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(failsSaying([&] { XmlDocument::parse(c.content, QStringLiteral("prueba.xml")); },
                                QStringList(c.expected) << QStringLiteral("prueba.xml")))
            << c.name;
}

TEST(Xml, HugeTextNodeIsReadWhole)
{
    // A 100 MB subject name: no crash, no limit hit; the table layer later cuts it to its field.
    QByteArray xml = "<datosGHC><materias><materia>";
    xml += QByteArray(100 * 1024 * 1024, 'x');
    xml += "</materia></materias></datosGHC>";
    const XmlDocument doc = XmlDocument::parse(xml, QStringLiteral("enorme.xml"));
    EXPECT_EQ(selectSingle(doc, QStringLiteral("/datosGHC/materias/materia")).text().size(), 100 * 1024 * 1024);
}

TEST(Xml, NeverFetchesAnExternalDtd)
{
    // Without DTD loading the parser does not ask for the subset at all, let alone the network.
    const XmlDocument doc = XmlDocument::parse(
        "<!DOCTYPE datosGHC SYSTEM "
        "\"http://192.0.2.1/escolaria.dtd\"><datosGHC><materias><materia>Coro</materia></materias></datosGHC>");
    EXPECT_EQ(selectSingle(doc, QStringLiteral("/datosGHC/materias/materia")).text(), QStringLiteral("Coro"));
}

TEST(Xml, SavesInItsOwnEncodingAtomically)
{
    QTemporaryDir dir;
    const QByteArray latin1
        = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<datosGHC><m>Matem\xe1ticas</m></datosGHC>\n";
    writeFile(dir.filePath(QStringLiteral("in.xml")), latin1);
    EditableXmlDocument doc(XmlDocument::load(dir.filePath(QStringLiteral("in.xml"))));
    EXPECT_EQ(selectSingle(doc, QStringLiteral("/datosGHC/m")).text(), QStringLiteral("Matemáticas"));

    const XmlNode added = doc.createElement("horario");
    doc.setAttribute(added, "dia", 2);
    doc.setText(added, QStringLiteral("ñ<&>"));
    doc.appendChild(doc.root(), added);
    const QString out = dir.filePath(QStringLiteral("out.xml"));
    writeFile(out, "old content");
    doc.save(out);
    const QByteArray saved = readFile(out);
    EXPECT_TRUE(saved.contains("encoding=\"ISO-8859-1\""));
    EXPECT_TRUE(saved.contains("Matem\xe1ticas"));
    EXPECT_TRUE(saved.contains("<horario dia=\"2\">\xf1&lt;&amp;&gt;</horario>"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary file left behind
}

TEST(Xml, EveryChangeDropsTheKeptSelections)
{
    EditableXmlDocument doc(XmlDocument::parse(interchange(QStringLiteral("<horario><tramo>a</tramo></horario>"))));
    const QString path = QStringLiteral("/datosGHC/horario/tramo");
    ASSERT_EQ(doc.select(path).size(), 1u);

    // An element appended after the first select is seen by the next one.
    const XmlNode horario = selectSingle(doc, QStringLiteral("/datosGHC/horario"));
    const XmlNode tramo = doc.createElement("tramo");
    doc.appendChild(horario, tramo);
    EXPECT_EQ(doc.select(path).size(), 2u);

    // Replacing an element's text frees its old text nodes; no kept list may point at them.
    const size_t kept = doc.select(QStringLiteral("/datosGHC/horario")).size();
    doc.setText(horario, QStringLiteral("solo texto"));
    EXPECT_EQ(doc.select(path).size(), 0u);
    EXPECT_EQ(doc.select(QStringLiteral("/datosGHC/horario")).size(), kept);
    EXPECT_EQ(selectSingle(doc, QStringLiteral("/datosGHC/horario")).text(), QStringLiteral("solo texto"));
}

TEST(Xml, LoadsUtf16)
{
    QTemporaryDir dir;
    const QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><datosGHC><m>Música</m></datosGHC>");
    QByteArray bytes("\xff\xfe", 2);
    bytes.append(reinterpret_cast<const char*>(xml.utf16()), xml.size() * 2);
    writeFile(dir.filePath(QStringLiteral("u16.xml")), bytes);
    const XmlDocument doc = XmlDocument::load(dir.filePath(QStringLiteral("u16.xml")));
    EXPECT_EQ(selectSingle(doc, QStringLiteral("/datosGHC/m")).text(), QStringLiteral("Música"));
}

#ifndef _WIN32
// A write that fails part-way (the file-size limit stands in for a full disk) leaves an existing
// result document exactly as it was, and no temporary file beside it: from a tree, and written
// while the document is parsed (the failed write stops the parse).
TEST(Xml, SaveFailureLeavesTargetUntouched)
{
    QTemporaryDir dir;
    const QByteArray xml = interchange(QStringLiteral("<m>%1</m>").arg(QString(64 * 1024, u'x'))
                                       + QStringLiteral("<n>y</n>").repeated(20000));
    const QString source = dir.filePath(QStringLiteral("doc.xml"));
    writeFile(source, xml);
    XmlDocument doc = XmlDocument::parse(xml);
    const QString target = dir.filePath(QStringLiteral("ResultadoZentar.xml"));
    const std::function<void()> saves[] = {
        [&] { saveWithAppendedMarkup(doc, target, "<horario/>"); },
        [&] {
            DocumentPieces pieces(source);
            saveWithAppendedMarkup(pieces, target, "<horario/>");
        },
    };
    for (const auto& save : saves) {
        writeFile(target, "old content");
        struct rlimit previous {};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = previous;
        small.rlim_cur = 16 * 1024;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const std::string error = runErrorOf(save);
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, oldHandler);

        EXPECT_NE(error.find("No se pudo guardar el documento"), std::string::npos) << error;
        EXPECT_EQ(readFile(target), QByteArray("old content"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"doc.xml", "ResultadoZentar.xml"}));
    }
}
#endif

// libxml2 2.12 changed the structured error handler's parameter from xmlErrorPtr to
// const xmlError*; the handler takes whichever the installed headers declare.
TEST(Xml, ErrorHandlerFitsOldAndNewLibxml2)
{
    static_assert(std::is_same_v<xml::HandlerArgument<void (*)(void*, xmlErrorPtr)>::type, xmlErrorPtr>);
    static_assert(std::is_same_v<xml::HandlerArgument<void (*)(void*, const xmlError*)>::type, const xmlError*>);
    static_assert(std::is_same_v<xml::HandlerArgument<xmlStructuredErrorFunc>::type,
                                 std::conditional_t<LIBXML_VERSION >= 21200, const xmlError*, xmlErrorPtr>>);
    // And the handler is in use: a parse error is told in Spanish with where it stands.
    EXPECT_TRUE(failsSaying([] { XmlDocument::parse("<datosGHC><a></b></datosGHC>", QStringLiteral("x.xml")); },
                            {QStringLiteral("línea 1"), QStringLiteral("no corresponde")}));
}
