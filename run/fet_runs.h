#pragma once

#include "fet/fet_file.h"
#include "fet/fet_rules.h"
#include "fet/fet_solution.h"
#include "run/session.h"

#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <optional>

// The runs that carry a school to FET and back. Each reads the document exactly as the export
// does (the same frame choice, findings and report), into a temporary folder of its own: Velmora's
// working directory is never touched.
namespace quintaro {

// What the person asks of every FET run beyond the document and its frames.
struct FetChoices {
    tables::PeriodKinds kinds; // which periods are teaching time (--no-lectivos)
    fet::SchoolRules rules; // what the school asks of the timetable
    bool ease = true; // resolver eases the rules, a step at a time, when FET cannot keep them
    bool easeStudents = false; // the students' gaps too, as the last step
    QString previousRules; // a .fet the school edited in FET, whose own rules are carried (--reglas)
    // The program ends right after the run (the command line): its documents are left for the
    // system to reclaim. The window, which goes on, frees them.
    bool programExits = false;
};

// The document's tables, made by an export into a temporary folder that goes with this object.
class TemporaryExport {
public:
    // Runs the export of the session's document there, for FET; the session's working directory
    // is not touched.
    RunResult run(Session& session, RunUi& ui);
    WorkDir dir() const { return WorkDir(m_folder.filePath(QStringLiteral("VTEMP"))); }
    // The school as FET sees it, for the document exported here.
    fet::FetFile fetFile(const FetChoices& choices) const;
    // Writes that file to `target`, whole or not at all (a RunError saying why), with the school's
    // rules carried from choices.previousRules into it (said in `carried`); its activities, and
    // how many of them are tasks.
    std::pair<qint64, qint64> writeFetFile(const FetChoices& choices, const QString& target,
                                           fet::RulesCarried* carried = nullptr) const;
    tables::SchoolTables school() const { return tables::readSchoolTables(dir()); }

private:
    QTemporaryDir m_folder;
    QString m_document; // what was exported, with which frames
    QStringList m_frames;
    OriginalNames m_names; // the document's own names for the tables' rows
};

// Writes the FET file of the session's document (chosen through `ui`) to `target`, whole or not
// at all. Finished with the file written; otherwise the export's outcome, and nothing written.
// A group that cannot be timetabled as it stands (no teaching period, more hours than periods)
// stops it with a RunError naming each, before anything is written.
struct FetFileWritten {
    Session::Outcome outcome = Session::Outcome::Failed;
    RunReport report; // what the export found
    qint64 activities = 0;
    qint64 taskActivities = 0; // of those, hours of tasks
    QStringList kindsTaken; // how each period kind was taken ("'Recreo': no lectivo, 10 tramos")
    fet::RulesCarried rules; // the school's rules carried from --reglas
};
FetFileWritten writeFetForDocument(Session& session, RunUi& ui, const QString& target, const FetChoices& choices);

// Writes the result document of the session's document from a FET solution (fet-cl's output
// folder or its activities file), as the Velmora import does: the tables are made again in a
// temporary folder, the solution becomes their SOLUC, and the import runs on them. The solution
// is checked to be of this document and these frames first. `partial` says the solution was only
// the best of a run that stopped early.
struct FetImport {
    Session::Outcome outcome = Session::Outcome::Failed;
    RunReport report; // what the export and then the import found
    qint64 unplaced = 0;
    qint64 activities = 0;
    bool partial = false;
    bool lessonsChecked = false; // FET's data was there to check each activity's lesson
    QString quality; // the result's gaps and repeats, in one Spanish line
};
FetImport importFetSolution(Session& session, RunUi& ui, const fet::SolutionFiles& solution,
                            const FetChoices& choices);

// The report of a FET run: the findings of its export (not the temporary tables' rows) with the
// import's part beside them (none yet when `imported` is empty).
RunReport fetRunReport(const RunReport& exported, const ImportReport& imported = {});

// The lessons the export left out of the timetable (their subject unknown, no hours), one
// "sesión 127 (Latín)" each, for the finished message itself.
QStringList lessonsLeftOut(const ExportReport& report);

// The frames a FET solution was made for, from the data beside it; empty when it does not say.
QStringList framesOfSolution(const fet::SolutionFiles& solution);

// Resolving the timetable with FET in one go: the document and frames are asked once through
// `ui`; the FET file is written to a temporary folder, fet-cl solves it (for at most `seconds`,
// telling `progress` how it goes, stopped as `stops` counts the person's requests: see runFetCl),
// and its solution is
// imported into the result document beside the document. Only a complete solution makes a result
// document; FET's folder is kept when it holds a partial one worth a look.
struct FetSolved {
    enum class Ending { Finished, NoDocument, NotExported, Impossible, TimedOut, Overran, Interrupted, FetFailed };
    Ending ending = Ending::FetFailed;
    QString message; // what to tell the person when it did not finish (Spanish, complete)
    RunReport report; // what the export found, and the import's part once it ran
    qint64 activities = 0;
    qint64 taskActivities = 0; // of those, hours of tasks (guardias, meetings)
    QStringList frames;
    QStringList kindsTaken;
    QString quality; // the result's gaps and repeats, in one Spanish line
    QStringList eased; // the rules given up, one step each, to place every hour
    fet::RulesCarried rules; // the school's rules carried from --reglas
};
// "Proceso finalizado (FET colocó las N horas de clase; marcos M,T)", the lessons left out after it.
QString fetFinishedMessage(const FetSolved& solved);

FetSolved solveWithFet(RunUi& ui, const QString& program, int seconds, const FetChoices& choices,
                       const std::function<void(const QString&)>& progress, const std::atomic_int* stops);

} // namespace quintaro
