#include "run/fet_runs.h"

#include "platform/error.h"
#include "platform/whole_file.h"
#include "platform/xml_document.h"
#include "run/original_names.h"
#include "run/run_ui.h"
#include "tables/soluc_writer.h"

#include <QDir>
#include <QFileInfo>

namespace quintaro {

Session::Outcome TemporaryExport::run(Session& session, RunUi& ui)
{
    if (!m_folder.isValid())
        throw RunError(QStringLiteral("No se puede crear una carpeta temporal (%1)").arg(m_folder.errorString()));
    session.setWorkDirectory(dir().path());
    return session.runExport(ui);
}

fet::FetFile TemporaryExport::fetFile(const Session& session) const
{
    const WorkDir folder = dir();
    // The tables were made from this very document: its own names go into the file.
    const OriginalNames names = originalNames(folder, session.filenameXML(), true).names;
    return fet::writeFetFile(tables::readSchoolTables(folder), names,
                             {QFileInfo(session.filenameXML()).fileName(), session.report().chosenFrames});
}

FetFileWritten writeFetForDocument(Session& session, RunUi& ui, const QString& target)
{
    TemporaryExport exported;
    FetFileWritten written;
    written.outcome = exported.run(session, ui);
    if (written.outcome != Session::Outcome::Finished)
        return written;
    const fet::FetFile file = exported.fetFile(session);
    if (const auto failure = writeWholeFile(target, file.xml))
        throw RunError(QStringLiteral("No se puede escribir el archivo de FET %1: %2")
                           .arg(QDir::toNativeSeparators(target), failure->reason));
    written.activities = qint64(file.lessonOfActivity.size());
    return written;
}

QStringList framesOfSolution(const fet::SolutionFiles& solution)
{
    if (solution.data.isEmpty())
        return {};
    const XmlDocument data = XmlDocument::load(solution.data);
    return fet::framesInComments(data.root().firstChild("Comments").text());
}

FetImport importFetSolution(Session& session, RunUi& ui, const fet::SolutionFiles& solution)
{
    TemporaryExport exported;
    FetImport imported;
    imported.partial = solution.partial;
    imported.outcome = exported.run(session, ui);
    if (imported.outcome != Session::Outcome::Finished)
        return imported;
    const tables::SchoolTables school = exported.school();
    const fet::FetFile file = exported.fetFile(session);
    const fet::Solution solved = fet::readSolution(solution, school, file);
    imported.unplaced = solved.unplaced;
    imported.activities = qint64(solved.hours.size());
    tables::writeSoluc(exported.dir(), school, solved.hours);
    imported.outcome = session.runImport(ui);
    return imported;
}

} // namespace quintaro
