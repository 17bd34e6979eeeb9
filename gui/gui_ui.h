#pragma once

#include "export/frame_choice.h"
#include "run/run_ui.h"

#include <functional>

class QWidget;

namespace quintaro {

// Shows the time-frame selection dialog for the document at `documentPath` once and hands back
// what closing it gave, valid or not; raises a RunError when it found no frames to offer.
using FrameDialog = std::function<FrameSelection(const QString& documentPath, QWidget* parent)>;

// The window's answers to a run: the file-open dialog, message boxes, the wait cursor and the
// time-frame selection dialog, shown again until the choice is valid.
class GuiUi : public RunUi {
public:
    GuiUi(QWidget* parent, FrameDialog frameDialog) : m_parent(parent), m_frameDialog(std::move(frameDialog)) { }
    ~GuiUi() override;

    std::optional<QString> chooseDocument() override;
    void inform(const QString& message) override;
    void showError(const QString& message) override;
    void finished(const QString& message, const RunReport& report) override;
    void setBusy(bool busy) override;
    std::optional<FrameSelection> chooseFrames(const QString& documentPath, const ExportDocument& runDocument) override;

private:
    QWidget* m_parent;
    FrameDialog m_frameDialog;
    int m_busy = 0;
};

} // namespace quintaro
