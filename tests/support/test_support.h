#pragma once

#include "export/steps.h"
#include "platform/dbf_table.h"
#include "platform/error.h"
#include "run/run_ui.h"
#include "run/session.h"
#include "xml_tree.h"

#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

#include <ostream>

// Readable values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{';
    for (const QString& s : list)
        *os << "\n  \"" << s.toStdString() << '"';
    *os << " }";
}

namespace quintaro::test {

using Row = QMap<QString, QString>;

// Every live row of a table, read back through the table layer, field name -> text.
std::vector<Row> readRows(const QString& path);
QStringList fieldNames(const QString& path);

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& content);

// A RunUi that answers from a script and records what the run said.
class ScriptedUi : public RunUi {
public:
    std::optional<QString> document; // what the file dialog returns
    std::deque<FrameSelection> frameAnswers; // one per dialog shown
    QStringList messages;
    QStringList errors;
    int framesAsked = 0;
    bool busy = false;
    int busyChanges = 0;

    std::optional<QString> chooseDocument() override { return document; }
    void inform(const QString& message) override { messages << message; }
    void showError(const QString& message) override { errors << message; }
    void setBusy(bool b) override
    {
        busy = b;
        ++busyChanges;
    }
    // The next scripted answer; nothing (the person gave up) when none is left.
    std::optional<FrameSelection> chooseFrames(const QString&, const ExportDocument&) override;
};

// A whole run through the session the window and the command line use: `document` answered by
// the file dialog of `ui`, the tables in `vtemp`.
RunResult runExportOf(ScriptedUi& ui, const QString& document, const QString& vtemp);
RunResult runImportOf(ScriptedUi& ui, const QString& document, const QString& vtemp);

// An interchange document put together from sections, with the root datosGHC.
QByteArray interchange(const QString& sections);
// A frame with `periods` as "dia indice horaEntrada horaSalida" quadruples, all of kind "Lectiva".
QString frameXml(const QString& id, const QStringList& periods);

// A working directory and what one export run carries from step to step, for calling the steps
// one by one. The tables are written straight into the directory.
class StepFixture {
public:
    StepFixture();
    void load(const QByteArray& xml);
    // The frame chooser of the run: the scripted UI's answers.
    FrameChooser chooser();
    QString table(const QString& name) const { return dir.tablePath(name); }
    std::vector<Row> rows(const QString& name) const { return readRows(table(name)); }

    QTemporaryDir temp;
    WorkDir dir;
    std::optional<ExportDocument> doc; // taken from the tree, the reference
    QString filename;
    ScriptedUi ui;
    ExportReport report;
    TableOutput out;
    SubjectLists lists;
    LessonSources sources;
    ChosenFrames frames;
};

// What the report says of missing and repeated children, in order.
QStringList childFindings(const ExportReport& report);

// Rows as "F1|F2|…" for the named fields, in stored order.
QStringList joinedRows(const std::vector<Row>& rows, const QStringList& fields);
// The message of the RunError that `run` raises, or "(no error)".
std::string runErrorOf(const std::function<void()>& run);
// Whether `run` raises a RunError whose message contains every one of `facts`.
::testing::AssertionResult failsSaying(const std::function<void()>& run, const QStringList& facts);

// The sample school copied to `document` (changed by `edit` when given) and exported from there
// into `vtemp` (frames M and T), through the session the programs use.
void exportSampleSchool(const QString& document, const QString& vtemp,
                        const std::function<QByteArray(QByteArray)>& edit = {});

// One sesion element of an interchange document, with its own children.
QString lesson(const QString& id, const QString& subject, const QString& teacher, const QString& group,
               const QString& hours, const QString& task = {});

// The sample school shipped in data/.
QString sampleSchool();
// A small school with split lessons (two lessons of one subject and group) and names longer than
// their fields, in tests/data/.
QString splitLessonsSchool();

} // namespace quintaro::test
