#include "test_support.h"

#include "platform/error.h"

#include <QFile>

namespace quintaro::test {

std::vector<Row> readRows(const QString& path)
{
    DbfTable table(path, DbfTable::Access::Shared);
    std::vector<Row> rows;
    for (table.first(); !table.eof(); table.next()) {
        Row row;
        for (size_t f = 0; f < table.fields().size(); ++f)
            row.insert(table.fields()[f].name, table.text(int(f)));
        rows.push_back(row);
    }
    return rows;
}

QStringList fieldNames(const QString& path)
{
    DbfTable table(path, DbfTable::Access::Shared);
    QStringList names;
    for (const auto& f : table.fields())
        names << f.name;
    return names;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

std::optional<FrameSelection> ScriptedUi::chooseFrames(const QString&, const ExportDocument&)
{
    ++framesAsked;
    if (frameAnswers.empty())
        return std::nullopt;
    FrameSelection answer = frameAnswers.front();
    frameAnswers.pop_front();
    return answer;
}

QByteArray interchange(const QString& sections)
{
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<datosGHC>\n") + sections
            + QStringLiteral("\n</datosGHC>\n"))
        .toUtf8();
}

QString frameXml(const QString& id, const QStringList& periods)
{
    QString xml = QStringLiteral("<marcoHorario id=\"%1\">").arg(id);
    for (const QString& p : periods) {
        const QStringList v = p.split(u' ');
        xml += QStringLiteral(
                   "<tramo><submarco>%1</submarco><dia>%2</dia><indice>%3</indice><horaEntrada>%4</horaEntrada>"
                   "<horaSalida>%5</horaSalida><Tipo>Lectiva</Tipo></tramo>")
                   .arg(id, v.value(0), v.value(1), v.value(2), v.value(3));
    }
    return xml + QStringLiteral("</marcoHorario>");
}

StepFixture::StepFixture() : dir(temp.path()), out(dir, dir, report) { }

void StepFixture::load(const QByteArray& xml)
{
    filename = temp.filePath(QStringLiteral("doc.xml"));
    writeFile(filename, xml);
    doc.reset();
    doc.emplace(exportDocumentFromTree(XmlDocument::load(filename)));
}

FrameChooser StepFixture::chooser()
{
    return [this] { return ui.chooseFrames(filename, *doc); };
}

QStringList childFindings(const ExportReport& report)
{
    QStringList said;
    for (const Finding& finding : report.findings)
        if (finding.kind == Finding::ChildMissing || finding.kind == Finding::ChildRepeated)
            said << finding.detail;
    return said;
}

QStringList joinedRows(const std::vector<Row>& rows, const QStringList& fields)
{
    QStringList out;
    for (const Row& row : rows) {
        QStringList values;
        for (const QString& field : fields)
            values << row.value(field);
        out << values.join(u'|');
    }
    return out;
}

std::string runErrorOf(const std::function<void()>& run)
{
    try {
        run();
    } catch (const RunError& e) {
        return e.message().toStdString();
    }
    return "(no error)";
}

::testing::AssertionResult failsSaying(const std::function<void()>& run, const QStringList& facts)
{
    const QString message = QString::fromStdString(runErrorOf(run));
    for (const QString& fact : facts)
        if (!message.contains(fact))
            return ::testing::AssertionFailure()
                << "the error does not say '" << fact.toStdString() << "': " << message.toStdString();
    return ::testing::AssertionSuccess();
}

void exportSampleSchool(const QString& document, const QString& vtemp,
                        const std::function<QByteArray(QByteArray)>& edit)
{
    QFile::remove(document);
    if (!QFile::copy(sampleSchool(), document))
        qFatal("cannot copy the sample school to %s", qPrintable(document));
    if (edit)
        writeFile(document, edit(readFile(document)));
    ScriptedUi ui;
    ui.frameAnswers = {{true, QStringLiteral("M         T         ")}};
    if (runExportOf(ui, document, vtemp).outcome != Session::Outcome::Finished)
        qFatal("the sample school did not export: %s", qPrintable(ui.errors.join(u' ')));
}

RunResult runExportOf(ScriptedUi& ui, const QString& document, const QString& vtemp)
{
    ui.document = document;
    Session session;
    session.setWorkDirectory(vtemp);
    return session.runExport(ui);
}

RunResult runImportOf(ScriptedUi& ui, const QString& document, const QString& vtemp)
{
    ui.document = document;
    Session session;
    session.setWorkDirectory(vtemp);
    return session.runImport(ui);
}

QString lesson(const QString& id, const QString& subject, const QString& teacher, const QString& group,
               const QString& hours, const QString& task)
{
    return QStringLiteral("<sesion id=\"%1\"><materia>%2</materia><profesor>%3</profesor><grupo>%4</grupo>"
                          "<distribucionSemanal><distribucionVariable><numSesiones>%5</numSesiones>"
                          "</distribucionVariable></distribucionSemanal><tarea>%6</tarea></sesion>")
        .arg(id, subject, teacher, group, hours, task);
}

QString sampleSchool() { return QStringLiteral(QUINTARO_SOURCE_DIR "/data/escuela.xml"); }

QString splitLessonsSchool() { return QStringLiteral(QUINTARO_SOURCE_DIR "/tests/data/instituto_desdobles.xml"); }

} // namespace quintaro::test
