// The streaming export and the spliced import against the tree they replace: the tree's select()
// and the tree built and saved node by node are the reference.
#include "import/schedule_section.h"
#include "platform/dbf_table.h"
#include "platform/document_bytes.h"
#include "platform/error.h"
#include "platform/text.h"
#include "platform/xml_capture.h"
#include "platform/xml_document.h"
#include "platform/xml_section_save.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <libxml/encoding.h>

using namespace quintaro;
using namespace quintaro::test;

namespace {

const std::vector<CaptureRequest> kRequests = {
    {"/datosGHC/a", true, true},      {"/datosGHC/a/b", true, true}, {"/datosGHC/a/b/c", true, false},
    {"/datosGHC/a/d/e", true, false}, {"/datosGHC/x", false, false}, {"/otra/a", true, false},
};

// Every kept list of a capture, written out so that two captures compare and a difference shows.
QString dump(const XmlCapture& capture)
{
    QString out = QStringLiteral("raíz %1\n").arg(capture.rootName());
    for (const CaptureRequest& request : kRequests) {
        const CapturedList& list = capture.select(request.path);
        out += QString::fromUtf8(request.path) + QStringLiteral(": %1\n").arg(list.size());
        for (size_t i = 0; i < list.size(); ++i) {
            out += QStringLiteral("  [%1] padre %2 texto «%3»")
                       .arg(i)
                       .arg(list.parent(i))
                       .arg(QString::fromUtf8(list.text(i)));
            for (int k = 0; k < list.attributeCount(i); ++k)
                out += QStringLiteral(" @%1").arg(QString::fromUtf8(*list.attributeValue(i, k)));
            out += u'\n';
        }
    }
    return out;
}

// What the save that writes the result document in one pass keeps of the document, written out.
QString dumpWhileSaving(const QByteArray& xml)
{
    const QTemporaryDir dir;
    const QString document = dir.filePath(QStringLiteral("doc.xml"));
    writeFile(document, xml);
    DocumentPieces pieces(document);
    QString kept;
    saveWithAppendedMarkup(pieces, dir.filePath(QStringLiteral("r.xml")), kRequests, [&](const XmlCapture& capture) {
        kept = dump(capture);
        return QByteArray("<horario/>");
    });
    return kept;
}

// The message a parse raises; empty when it raises none.
QString messageOf(const std::function<void()>& parse)
{
    try {
        parse();
    } catch (const RunError& e) {
        return e.message();
    }
    return {};
}

} // namespace

TEST(Streaming, KeepsExactlyWhatTheTreeSelects)
{
    const QByteArray cases[] = {
        // Text across children, comments, processing instructions and CDATA; nested and empty elements.
        "<datosGHC><a k=\"1\" j=\" 2 \"> uno <!-- no --><?pi no?><b>dos<c>tres</c><![CDATA[<cuatro>]]></b></a>"
        "<a/><x/><b>fuera</b><a><d><e>cinco</e></d><b><c/><c>seis</c></b></a></datosGHC>",
        // Internal entities, with text and with elements; character references; defaulted attributes.
        "<!DOCTYPE datosGHC [<!ENTITY t \"Teatro &amp; danza\"><!ENTITY el \"<b>de entidad<c>c</c></b>\">"
        "<!ATTLIST a def CDATA \"por defecto\">]>"
        "<datosGHC><a v=\"&t;&#38;&#x20AC;\">&t;&el;&el;&#233;</a></datosGHC>",
        // Namespaces: names compare without prefix; namespace declarations are no attributes.
        "<datosGHC xmlns:p=\"urn:p\"><p:a p:k=\"v\" xmlns:q=\"urn:q\"><b q:z=\"w\">t</b></p:a></datosGHC>",
        // Another root, and the same names at other depths.
        "<otra><a>raíz distinta</a><datosGHC><a>no</a></datosGHC></otra>",
        // ISO-8859-1 and blanks.
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><datosGHC><a>\n\tMatem\xe1ticas\n</a></datosGHC>",
    };
    for (const QByteArray& xml : cases) {
        const QString tree = dump(captureFromTree(XmlDocument::parse(xml), kRequests));
        EXPECT_EQ(dump(XmlCapture::parse(xml, kRequests)), tree) << xml.constData();
        // The entities of the second case are used twice: the tree builder copies the second
        // without events, so that pass keeps it from the tree.
        EXPECT_EQ(dumpWhileSaving(xml), tree) << xml.constData();
    }
    // The reference itself reads the first case as meant.
    const XmlCapture first = XmlCapture::parse(cases[0], kRequests);
    EXPECT_EQ(first.select("/datosGHC/a").text(0),
              " uno dos"
              "tres<cuatro>");
    EXPECT_EQ(first.select("/datosGHC/a/b/c").parent(2), 1);
    EXPECT_EQ(XmlCapture::parse(cases[1], kRequests).select("/datosGHC/a").attributeCount(0), 1);

    // UTF-16 with its byte-order mark.
    QStringEncoder toUtf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    const QByteArray utf16 = toUtf16(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                                                    "<datosGHC><a k=\"ñ\">Educación € física</a></datosGHC>"));
    EXPECT_EQ(dump(XmlCapture::parse(utf16, kRequests)),
              dump(captureFromTree(XmlDocument::parse(utf16), kRequests)));
    EXPECT_EQ(dumpWhileSaving(utf16), dump(captureFromTree(XmlDocument::parse(utf16), kRequests)));
    EXPECT_EQ(XmlCapture::parse(utf16, kRequests).select("/datosGHC/a").text(0), "Educación € física");
}

TEST(Streaming, RefusesWhatTheTreeRefusesWithTheSameMessage)
{
    const QByteArray cases[] = {
        "",
        "<datosGHC><a></datosGHC>",
        "<datosGHC>\xff</datosGHC>",
        "<!DOCTYPE d [<!ENTITY x SYSTEM \"file:///etc/hostname\">]><datosGHC>&x;</datosGHC>",
        "<!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
        "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">"
        "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\"><!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">]>"
        "<datosGHC><a>&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;</a></datosGHC>",
    };
    const QTemporaryDir dir;
    const QString document = dir.filePath(QStringLiteral("doc.xml"));
    const QString result = dir.filePath(QStringLiteral("ResultadoZentar.xml"));
    for (const QByteArray& xml : cases) {
        const QString tree = messageOf([&] { XmlDocument::parse(xml); });
        ASSERT_FALSE(tree.isEmpty()) << xml.constData();
        EXPECT_EQ(messageOf([&] { XmlCapture::parse(xml, kRequests); }), tree);
        // The save that writes while it parses fails as the tree's load does, and leaves no file.
        writeFile(document, xml);
        EXPECT_EQ(messageOf([&] {
                      DocumentPieces pieces(document);
                      saveWithAppendedMarkup(pieces, result, "<horario/>");
                  }),
                  messageOf([&] { XmlDocument::load(document); }));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"doc.xml"});
    }
    EXPECT_EQ(messageOf([&] { XmlCapture::load(dir.filePath(QStringLiteral("no.xml")), kRequests); }),
              messageOf([&] { XmlDocument::load(dir.filePath(QStringLiteral("no.xml"))); }));
}

namespace {
struct Slot {
    int dia, indice;
    QString marco;
    ScheduleSection::Room room;
    QString roomName, sesion, teacher;
};

// The section as the tree gives it: each node made, filled and added, then the whole saved.
QByteArray savedThroughTree(const QByteArray& xml, const std::vector<Slot>& slots, const QString& path)
{
    EditableXmlDocument doc(XmlDocument::parse(xml));
    const XmlNode root = doc.root();
    const XmlNode horario = doc.createElement("horario");
    doc.appendChild(root, horario);
    doc.appendText(root, QStringLiteral("\n"));
    for (const Slot& s : slots) {
        const XmlNode tramo = doc.createElement("tramo");
        doc.setAttribute(tramo, "dia", s.dia);
        doc.setAttribute(tramo, "indice", s.indice);
        doc.setAttribute(tramo, "marco", s.marco);
        doc.appendText(horario, QStringLiteral("\n  "));
        doc.appendChild(horario, tramo);
        const XmlNode aula = doc.createElement("aula");
        if (s.room == ScheduleSection::Room::Generic)
            doc.setAttribute(aula, "anonima", s.roomName);
        else if (s.room == ScheduleSection::Room::Named)
            doc.setAttribute(aula, "id", s.roomName);
        doc.appendChild(tramo, aula);
        const XmlNode sesion = doc.createElement("sesion");
        doc.setText(sesion, s.sesion);
        doc.appendChild(aula, sesion);
        const XmlNode profesor = doc.createElement("profesor");
        doc.setText(profesor, s.teacher);
        doc.appendChild(aula, profesor);
    }
    doc.appendText(horario, QStringLiteral("\n"));
    doc.save(path);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The same section written while the document is parsed from its file.
QByteArray savedWhileParsed(const QByteArray& xml, QByteArrayView markup, const QString& path,
                            StreamedSave* saved = nullptr)
{
    const QString document = path + QStringLiteral(".origen");
    writeFile(document, xml);
    DocumentPieces pieces(document);
    const StreamedSave result = saveWithAppendedMarkup(pieces, path, markup);
    if (saved)
        *saved = result;
    return readFile(path);
}

QByteArray savedSplicedMarkup(const QByteArray& xml, QByteArrayView markup, const QString& path)
{
    XmlDocument doc = XmlDocument::parse(xml);
    saveWithAppendedMarkup(doc, path, markup);
    return readFile(path);
}

// Whether libxml2 reads and writes `encoding` (the handler it makes is let go of again).
bool libxmlKnows(const char* encoding)
{
    xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(encoding);
    if (handler)
        xmlCharEncCloseFunc(handler);
    return handler != nullptr;
}

QByteArray sectionOf(const std::vector<Slot>& slots)
{
    ScheduleSection section;
    for (const Slot& s : slots)
        section.addSlot(s.dia, s.indice, s.marco, s.room, s.roomName, s.sesion, s.teacher);
    return section.finish();
}

QByteArray savedSpliced(const QByteArray& xml, const std::vector<Slot>& slots, const QString& path)
{
    return savedSplicedMarkup(xml, sectionOf(slots), path);
}
} // namespace

TEST(Streaming, SplicedSectionIsWhatTheTreeSaves)
{
    const std::vector<Slot> slots = {
        {0, 1, QStringLiteral("M"), ScheduleSection::Room::Named, QStringLiteral("Aula 1.01"), QStringLiteral("12"),
         QStringLiteral("AGM")},
        {4, 6, QStringLiteral("Tarde & \"noche\""), ScheduleSection::Room::Generic,
         QStringLiteral("Genérica <a>\n\t\r'b'"), QString(), QString()},
        {2, 3, QString(), ScheduleSection::Room::Unnamed, QString(), QStringLiteral("7 & <8>\r\n"),
         QStringLiteral("Ñú€Ω")},
        {1, 2, QStringLiteral("Mañana €"), ScheduleSection::Room::Named, QStringLiteral("Œuvre ž"), QStringLiteral("9"),
         QStringLiteral("ÁÉ")},
    };
    const QByteArray body = "<datosGHC>\n<horario/><materias><materia>Física</materia></materias>\n"
                            "<!-- <quintaro-marca valor=\"x\"/> --></datosGHC>\n<!-- tras la raíz -->\n";
    QStringEncoder toLatin1(QStringEncoder::Latin1);
    QStringEncoder toUtf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    const QString text = QString::fromUtf8(body);
    const QByteArray documents[] = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body,
        body, // no declaration
        toLatin1(QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n") + text),
        toUtf16(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n") + text),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><datosGHC/>",
    };
    const QTemporaryDir dir;
    for (const QByteArray& xml : documents) {
        const QByteArray expected = savedThroughTree(xml, slots, dir.filePath(QStringLiteral("arbol.xml")));
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_EQ(savedSpliced(xml, slots, dir.filePath(QStringLiteral("empalme.xml"))), expected)
            << xml.left(60).constData();
        EXPECT_EQ(savedSpliced(xml, {}, dir.filePath(QStringLiteral("vacio.xml"))),
                  savedThroughTree(xml, {}, dir.filePath(QStringLiteral("arbol_vacio.xml"))));
        EXPECT_EQ(savedWhileParsed(xml, sectionOf(slots), dir.filePath(QStringLiteral("flujo.xml"))), expected)
            << xml.left(60).constData();
    }
    // The serialiser hands its output over once about 4 000 bytes have gathered: for one of these
    // sizes the marker that holds the section's place is cut between two writes.
    for (int elements = 960; elements < 1000; ++elements) {
        const QByteArray xml = "<datosGHC>" + QByteArray("<m/>").repeated(elements) + "</datosGHC>";
        const QByteArray expected = savedThroughTree(xml, slots, dir.filePath(QStringLiteral("a.xml")));
        EXPECT_EQ(savedSpliced(xml, slots, dir.filePath(QStringLiteral("e.xml"))), expected) << elements;
        EXPECT_EQ(savedWhileParsed(xml, sectionOf(slots), dir.filePath(QStringLiteral("f.xml"))), expected)
            << elements;
    }
    // Characters that Latin-1 lacks are written as references, as the tree's save writes them.
    const QByteArray latin1 = savedSpliced(documents[2], slots, dir.filePath(QStringLiteral("latin1.xml")));
    EXPECT_TRUE(latin1.contains("Ma\xf1"
                                "ana &#8364;"))
        << latin1.constData();
}

// What the tree's save writes, for documents with everything a serialiser treats on its own:
// nodes around the root, declarations, namespaces, escapes in attributes and texts, CDATA, empty
// elements, encodings, a DTD (kept whole), and enough elements that parts are written and freed
// many times over at every depth.
TEST(Streaming, SaveWhileParsingWritesWhatTheTreeSaves)
{
    QByteArray many;
    for (int i = 0; i < 9000; ++i)
        many += "\n  <sesion n=\"" + QByteArray::number(i) + "\"><grupo>G" + QByteArray::number(i % 7)
            + "</grupo>" + (i % 3 ? "<aula/>" : "<aula>A &amp; B</aula>") + "texto " + QByteArray::number(i)
            + "<!-- c --></sesion>";
    QByteArray deep;
    for (int i = 0; i < 5000; ++i)
        deep += "<a><b><c>" + QByteArray::number(i) + "</c>x</b></a>";
    QStringEncoder toUtf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    const QString mixed = QStringLiteral("<datosGHC a=\"Ñandú €\">Œuvre ñ<m>€</m>%1</datosGHC>");
    const QByteArray documents[] = {
        "<?xml version=\"1.0\"?>\n<!-- antes -->\n<?proc datos?>\n<datosGHC><m/></datosGHC>\n<?tras x?><!-- fin -->",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><datosGHC/>",
        "<?xml version=\"1.0\" standalone=\"no\"?><datosGHC>\n</datosGHC>",
        "<q:datosGHC xmlns:q=\"urn:q\" xmlns=\"urn:d\" a=\"1\"><q:x q:b=\"2\"><y xmlns:z=\"urn:z\"><z:w z:v=\"3\"/>"
        "</y></q:x><x/></q:datosGHC>",
        "<datosGHC n=\"\xc3\xa1&#10;b&#9;c&#13;&quot;'&lt;&amp;&gt;\"><m t=\"\xc3\xb1 &#x20AC;\">x\xc3\xb1&#13;&lt;&gt;</m>"
        "<m t='\"'/></datosGHC>",
        "<datosGHC><![CDATA[a<b&c]]>texto<![CDATA[]]><e></e><f>  </f></datosGHC>",
        "<datosGHC><m xml:id=\"uno\"/><m xml:id=\"dos\">t</m></datosGHC>",
        "<!DOCTYPE datosGHC [<!ENTITY e \"entidad\"><!ATTLIST m t CDATA \"def\">]><datosGHC>&e;<m/></datosGHC>",
        "<datosGHC><horario/><sesiones>" + many + "\n</sesiones>\n</datosGHC>",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<datosGHC>texto" + deep + "<!-- x -->" + deep + "</datosGHC>",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<datosGHC>" + QByteArray("<m>\xf1</m>").repeated(6000)
            + "</datosGHC>",
        // The same in windows-1252, written out: Qt has no such encoder where it is built without ICU.
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?><datosGHC a=\"\xd1" "and\xfa \x80\">\x8cuvre \xf1<m>\x80</m>"
        "</datosGHC>",
        toUtf16(mixed.arg(QString())), // no declaration, only the byte-order mark
        toUtf16(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>") + mixed.arg(QString::fromUtf8(deep))),
    };
    const QByteArray sections[] = {
        sectionOf({{1, 2, QStringLiteral("Mañana €"), ScheduleSection::Room::Named, QStringLiteral("Œuvre ž"),
                    QStringLiteral("9"), QStringLiteral("ÁÉ 中")}}),
        "<horario/>",
    };
    const QTemporaryDir dir;
    for (const QByteArray& xml : documents) {
        // libxml2 built without iconv (as for Windows) knows no windows-1252.
        if (xml.contains("windows-1252") && !libxmlKnows("windows-1252"))
            continue;
        for (const QByteArray& section : sections) {
            const QByteArray expected = savedSplicedMarkup(xml, section, dir.filePath(QStringLiteral("arbol.xml")));
            ASSERT_FALSE(expected.isEmpty());
            const QByteArray streamed = savedWhileParsed(xml, section, dir.filePath(QStringLiteral("flujo.xml")));
            EXPECT_EQ(streamed.size(), expected.size()) << xml.left(80).constData();
            EXPECT_TRUE(streamed == expected) << xml.left(80).constData() << "\n---\n"
                                              << streamed.left(400).constData();
        }
    }
    // What the import asks of the root's children: whether a horario is among them.
    StreamedSave saved;
    savedWhileParsed(documents[8], "<horario/>", dir.filePath(QStringLiteral("h.xml")), &saved);
    EXPECT_EQ(saved.rootChildren, (QSet<QByteArray>{"horario", "sesiones"}));
    savedWhileParsed(documents[7], "<horario/>", dir.filePath(QStringLiteral("h.xml")), &saved);
    EXPECT_EQ(saved.rootChildren, QSet<QByteArray>{"m"});
}

// The markup is made after the pass has written the document up to the root's end: when making it
// fails (the tables cannot be read), the old result document stays as it was and nothing is left.
TEST(Streaming, NoFileWhenTheMarkupCannotBeMade)
{
    const QTemporaryDir dir;
    const QString document = dir.filePath(QStringLiteral("doc.xml"));
    const QString result = dir.filePath(QStringLiteral("ResultadoZentardoc.xml"));
    writeFile(document, "<datosGHC>" + QByteArray("<m>texto</m>").repeated(20000) + "</datosGHC>");
    writeFile(result, "anterior");
    DocumentPieces pieces(document);
    const QString message = messageOf([&] {
        saveWithAppendedMarkup(pieces, result, kRequests, [](const XmlCapture&) -> QByteArray {
            throw RunError(QStringLiteral("No se encuentra la tabla SOLUC"));
        });
    });
    EXPECT_EQ(message, QStringLiteral("No se encuentra la tabla SOLUC"));
    EXPECT_EQ(readFile(result), QByteArray("anterior"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"doc.xml", "ResultadoZentardoc.xml"}));
}

TEST(Streaming, StoredBytesLookupAndCopy)
{
    using dbf::FieldKind;
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("T.DBF"));
    DbfTable::create(path,
                     {{QStringLiteral("NOMBRE"), FieldKind::String, 8}, {QStringLiteral("N"), FieldKind::Integer, 0}});
    DbfTable t(path, DbfTable::Access::Shared);
    std::vector<DbfTable::TextLoss> losses;
    t.setTextLossSink([&](const DbfTable::TextLoss& loss) { losses.push_back(loss); });
    for (const char* name : {"Física", "Ωmega", "", "Física", "Larguísimo nombre"}) {
        t.append();
        t.setText(0, QString::fromUtf8(name));
        t.setInteger(1, 7);
        t.post();
    }
    const int byName = t.lookupOn(QStringLiteral("nombre"));
    EXPECT_EQ(t.lookupOn(QStringLiteral("NOMBRE")), byName); // resolved once
    QByteArray key;
    const auto find = [&](const char* utf8) { return t.storedForm(utf8, key) && t.locateStored(byName, key); };
    ASSERT_TRUE(find("Física"));
    EXPECT_EQ(t.stored(0), QByteArray("F\xedsica")); // as stored, Windows-1252
    EXPECT_TRUE(find("")); // the row with an empty name
    EXPECT_FALSE(find("Ωmega")); // stored as '?mega': no row holds Ω
    EXPECT_FALSE(find("Larguísimo nombre")); // cut when stored
    EXPECT_TRUE(t.locateStored(byName, "Largu\xedsi   ")); // trailing blanks are padding
    EXPECT_FALSE(t.locate(QStringLiteral("NOMBRE"), {QStringLiteral("Ωmega")}));
    EXPECT_TRUE(t.locate(QStringLiteral("N"), {QStringLiteral("7")})); // a number field keys its text
    EXPECT_THROW(t.stored(1), RunError);

    losses.clear();
    ASSERT_TRUE(find("Física"));
    t.append();
    t.setStored(0, "Educaci\xf3n f\xedsica");
    t.post();
    EXPECT_EQ(t.text(0), QStringLiteral("Educació"));
    ASSERT_EQ(losses.size(), 1u);
    EXPECT_TRUE(losses[0].cut);
    EXPECT_EQ(losses[0].value, QStringLiteral("Educación física"));
}
