#pragma once

#include "app/run_ui.h"

class QWidget;

namespace quintaro {

// The window's answers to a run: the file-open dialog, message boxes, the wait cursor and the
// time-frame selection dialog.
class GuiUi : public RunUi {
public:
    explicit GuiUi(QWidget* parent) : m_parent(parent) { }
    ~GuiUi() override;

    std::optional<QString> chooseDocument() override;
    void inform(const QString& message) override;
    void showError(const QString& message) override;
    void setBusy(bool busy) override;
    FrameSelection chooseFrames(const QString& documentPath, const XmlDocument& runDocument) override;

private:
    QWidget* m_parent;
    int m_busy = 0;
};

} // namespace quintaro
