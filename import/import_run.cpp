#include "import/import_run.h"

#include "platform/error.h"

#include <QDir>
#include <QFileInfo>

namespace quintaro {

QString resultDocumentPath(const QString& chosen)
{
    const QFileInfo info(chosen);
    return info.dir().filePath(QStringLiteral("ResultadoZentar") + info.fileName());
}

void requireInterchangeRoot(const XmlDocument& doc, const QString& path)
{
    const XmlNode root = doc.root();
    if (root.isNull())
        throw RunError(QStringLiteral("El documento %1 no tiene elemento raíz").arg(path));
    if (root.name() != u"datosGHC")
        throw RunError(
            QStringLiteral("El documento %1 no es un documento de intercambio de Escolaria: su elemento raíz es "
                           "%2 y debería ser datosGHC")
                .arg(path, root.name()));
}

namespace {
// The NOMBRE of the first generic room (ES_GENERICA "S") in stored order, or empty.
QString genericRoomName(DbfTable& rooms)
{
    const int generic = rooms.fieldIndex(QStringLiteral("ES_GENERICA"));
    const int name = rooms.fieldIndex(QStringLiteral("NOMBRE"));
    for (rooms.first(); !rooms.eof(); rooms.next())
        if (rooms.text(generic) == u"S")
            return rooms.text(name);
    return {};
}

struct CloseInOpeningOrder {
    TableComponents& c;
    ~CloseInOpeningOrder()
    {
        for (TableComponent* t : {&c.wwTableSoluc, &c.wwTableGrupos, &c.wwTableProfesor, &c.wwTableAulas,
                                  &c.wwTableNomAsg, &c.wwTableTramos, &c.wwTableAsig}) {
            try {
                t->close();
            } catch (const RunError& e) {
                qWarning("%s", qPrintable(e.message()));
            }
        }
    }
};
} // namespace

void ImportarSolucion(const QString& filenameXML, const WorkDir& dir, TableComponents& c,
                      std::optional<XmlDocument>& xmlDoc, RunReport& report)
{
    CloseInOpeningOrder closer{c};
    for (TableComponent* t : {&c.wwTableSoluc, &c.wwTableGrupos, &c.wwTableProfesor, &c.wwTableAulas, &c.wwTableNomAsg,
                              &c.wwTableTramos, &c.wwTableAsig})
        t->open(dir);
    DbfTable& soluc = *c.wwTableSoluc;
    DbfTable& rooms = *c.wwTableAulas;
    DbfTable& periods = *c.wwTableTramos;
    DbfTable& lessons = *c.wwTableAsig;

    const QString genericName = genericRoomName(rooms);

    xmlDoc.reset();
    xmlDoc.emplace(XmlDocument::load(filenameXML));
    XmlDocument& doc = *xmlDoc;
    requireInterchangeRoot(doc, filenameXML);
    XmlNode root = doc.root();
    // A document that already holds a horario (a result document chosen again) keeps that
    // section as it is; the time slots go into the one appended now.
    report.hadSchedule = !root.firstChild("horario").isNull();
    XmlNode horario = doc.createElement("horario");
    root.appendChild(horario);
    doc.appendText(root, QStringLiteral("\n"));

    // Every field is looked up before the first row, so a SOLUC of another layout is refused whole.
    const int dia = soluc.fieldIndex(QStringLiteral("DIA"));
    const int marco = soluc.fieldIndex(QStringLiteral("MARCO"));
    const int hora = soluc.fieldIndex(QStringLiteral("HORA"));
    const int aula = soluc.fieldIndex(QStringLiteral("AULA"));
    const int asig = soluc.fieldIndex(QStringLiteral("ASIG"));
    const int codgrupo = soluc.fieldIndex(QStringLiteral("CODGRUPO"));
    const int prof = soluc.fieldIndex(QStringLiteral("PROF"));
    const int marcoxml = periods.fieldIndex(QStringLiteral("MARCOXML"));
    const int esGenerica = rooms.fieldIndex(QStringLiteral("ES_GENERICA"));
    const int roomName = rooms.fieldIndex(QStringLiteral("NOMBRE"));
    const int esSesion = lessons.fieldIndex(QStringLiteral("ES_SESION"));

    qint64 slots = 0;
    for (soluc.first(); !soluc.eof(); soluc.next()) {
        const qint64 day = soluc.whole(dia);
        if (day == 0)
            continue;
        const QString frame
            = periods.locate(QStringLiteral("MARCO"), {soluc.text(marco)}) ? periods.text(marcoxml) : QString();

        XmlNode tramo = doc.createElement("tramo");
        tramo.setAttribute("dia", int(day - 1));
        tramo.setAttribute("indice", int(soluc.whole(hora)));
        tramo.setAttribute("marco", frame);
        doc.appendText(horario, QStringLiteral("\n  "));
        horario.appendChild(tramo);

        XmlNode room = doc.createElement("aula");
        const QString roomCode = soluc.text(aula);
        if (text::trimmed(roomCode).isEmpty())
            room.setAttribute("anonima", genericName);
        else if (rooms.locate(QStringLiteral("ABREV"), {roomCode}) && rooms.text(esGenerica) == u"N")
            room.setAttribute("id", rooms.text(roomName));
        tramo.appendChild(room);

        XmlNode sesion = doc.createElement("sesion");
        if (lessons.locate(QStringLiteral("CASIG;CGRUP"), {soluc.text(asig), soluc.text(codgrupo)}))
            sesion.setText(lessons.text(esSesion));
        room.appendChild(sesion);

        XmlNode teacher = doc.createElement("profesor");
        teacher.setText(soluc.text(prof));
        room.appendChild(teacher);
        ++slots;
    }
    doc.appendText(horario, QStringLiteral("\n"));

    report.resultDocument = resultDocumentPath(filenameXML);
    doc.save(report.resultDocument);
    report.timeSlots = slots;
}

} // namespace quintaro
