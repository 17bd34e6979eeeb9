#pragma once

#include "gui/gui_ui.h"
#include "run/session.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace quintaro {

class GradientPanel;

// The exit status of an automatic run whose result file could not be written.
inline constexpr int kResultFileNotWritten = 4;

// The main window: two run buttons, help and close. Started with exactly two command-line
// parameters it runs the job the first one names by itself, closes when that run has finished
// (or found no document) and leaves the result code in "Velmora.ini" beside the executable.
// (The class keeps the form's Delphi-style name: TMForm, form MForm, in mform.h.)
class TMForm : public QWidget {
    Q_OBJECT
public:
    TMForm(const QStringList& parameters, FrameDialog frameDialog, QWidget* parent = nullptr);

    Session& session() { return m_session; }
    // "Velmora.ini" in the executable's folder.
    static QString defaultResultFilePath();
    // Where automatic mode writes the result code; tests point it elsewhere.
    const QString& resultFilePath() const { return m_resultFile; }
    void setResultFilePath(const QString& path) { m_resultFile = path; }
    // The program's exit status once the window has closed: in automatic mode it says what
    // Velmora.ini says (0 only for a finished run), and 4 when Velmora.ini could not be written.
    int exitCode(int eventLoopCode) const;

    void BExportarClick();
    void BImportarClick();
    void Button1Click();
    // Resolves the timetable with FET (shown only where fet-cl is found): the document and frames
    // as for an export, FET's progress in a dialog that can stop it, the result document as the
    // import writes it.
    void BResolverFetClick();

    GradientPanel* Draw3D1 = nullptr;
    GradientPanel* Draw3D2 = nullptr;
    GradientPanel* Draw3D3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* BExportar = nullptr;
    QPushButton* BImportar = nullptr;
    QPushButton* BClose = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* BResolverFet = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void afterRun(Session::Outcome outcome);

    Session m_session; // FormCreate
    GuiUi m_ui;
    QString m_resultFile = defaultResultFilePath();
    bool m_resultFileFailed = false;
    bool m_shown = false;
    bool m_running = false; // a run works on another thread
};

} // namespace quintaro
