#pragma once

#include "export/frame_choice.h"
#include "run/run_report.h"

#include <QString>

#include <optional>

namespace quintaro {

// How a run speaks to the user. The window answers with real dialogs, the command line with its
// options and the terminal, the tests with scripted answers.
class RunUi {
public:
    virtual ~RunUi() = default;

    // The file-open dialog: the chosen path, or nothing when the user cancels.
    virtual std::optional<QString> chooseDocument() = 0;
    // A plain message box, and the error box (icon, title "Quintaro").
    virtual void inform(const QString& message) = 0;
    virtual void showError(const QString& message) = 0;
    // "Proceso finalizado", with the run's report for those who want to read it.
    virtual void finished(const QString& message, const RunReport& report)
    {
        Q_UNUSED(report);
        inform(message);
    }
    // A message that only guides a user through the dialogs that follow.
    virtual void instruct(const QString& message) { inform(message); }
    // The application-wide wait cursor.
    virtual void setBusy(bool busy) = 0;

    // The time-frame selection, asked while the time-frames step runs on a document of two or
    // more frames: a valid selection (resultMH set), or nothing when the person gave up. The
    // dialog reads its own copy from `documentPath`; the command line may use the run's document.
    virtual std::optional<FrameSelection> chooseFrames(const QString& documentPath, const ExportDocument& runDocument) = 0;
};

} // namespace quintaro
