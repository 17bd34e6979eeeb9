#pragma once

#include "app/run_ui.h"
#include "app/session.h"
#include "export/export_context.h"
#include "platform/dbf_table.h"

#include <QMap>
#include <QTemporaryDir>

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
    FrameSelection chooseFrames(const QString&, const XmlDocument&) override;
};

// An interchange document put together from sections, with the root datosGHC.
QByteArray interchange(const QString& sections);
// A frame with `periods` as "dia indice horaEntrada horaSalida" quadruples, all of kind "Lectiva".
QString frameXml(const QString& id, const QStringList& periods);

// A working directory and the state of one export run, for calling steps one by one.
class StepFixture {
public:
    StepFixture();
    void load(const QByteArray& xml);
    ExportContext context();
    QString table(const QString& name) const { return dir.tablePath(name); }
    std::vector<Row> rows(const QString& name) const { return readRows(table(name)); }

    QTemporaryDir temp;
    WorkDir dir;
    std::optional<XmlDocument> doc;
    QString filename;
    ScriptedUi ui;
    TableComponents components;
    UsedCodes codes;
    text::CaselessList names;
    FrameState frames;
    RunReport report;
};

// Rows as "F1|F2|…" for the named fields, in stored order.
QStringList joinedRows(const std::vector<Row>& rows, const QStringList& fields);
// The message of the RunError that `run` raises, or "(no error)".
std::string runErrorOf(const std::function<void()>& run);

// The sample school shipped in data/.
QString sampleSchool();

} // namespace quintaro::test
