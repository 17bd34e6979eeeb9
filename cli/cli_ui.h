#pragma once

#include "run/run_ui.h"

#include <QStringList>
#include <QTextStream>

namespace quintaro {

// The command line's answers to a run: the document comes from the arguments, the frames from
// --marcos or a prompt on a terminal, messages go to the streams.
class CliUi : public RunUi {
public:
    CliUi(QString document, QStringList wantedFrames, QTextStream& out, QTextStream& err);

    std::optional<QString> chooseDocument() override { return m_document; }
    void inform(const QString& message) override { m_messages << message; }
    void instruct(const QString&) override { }
    void showError(const QString& message) override;
    void setBusy(bool) override { }
    // --marcos when given, checked against the document's frames; otherwise a prompt on a terminal;
    // otherwise a UsageError that lists the frames.
    std::optional<FrameSelection> chooseFrames(const QString& documentPath, const ExportDocument& runDocument) override;

    const QStringList& messages() const { return m_messages; }

private:
    FrameSelection askOnTerminal(const QStringList& ids, const ExportDocument& doc);

    QString m_document;
    QStringList m_wantedFrames;
    QTextStream& m_out;
    QTextStream& m_err;
    QStringList m_messages;
};

} // namespace quintaro
