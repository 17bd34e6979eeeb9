#include "gui/mform.h"

#include "gui/app_title.h"
#include "gui/gradient_panel.h"
#include "gui/help.h"
#include "gui/off_thread_run.h"
#include "platform/error.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "run/fet_runs.h"
#include "run/fet_solver.h"
#include "run/report_text.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <atomic>
#include <optional>

namespace quintaro {

namespace {
QPushButton* button(QWidget* parent, const char* name, const QIcon& icon, const QString& caption, QRect geometry)
{
    auto* b = new QPushButton(icon, caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(geometry);
    return b;
}

// FET's progress, told from the run's thread: the dialog comes with the first news, and its
// "Detener" counts in `stops`. What is told after this object has gone is dropped with it.
class FetProgress {
public:
    FetProgress(QWidget* parent, std::atomic_int& stops) : m_parent(parent), m_stops(stops) { }
    void tell(const QString& said)
    {
        QMetaObject::invokeMethod(&m_relay, [this, said] { show(said); });
    }

private:
    void show(const QString& said)
    {
        if (!m_dialog) {
            m_dialog.emplace(QStringLiteral("FET está resolviendo el horario…"), QStringLiteral("Detener"), 0, 0, m_parent);
            m_dialog->setObjectName(QStringLiteral("ProgresoFet"));
            m_dialog->setWindowTitle(kAppTitle);
            m_dialog->setWindowModality(Qt::WindowModal);
            m_dialog->setMinimumDuration(0);
            QObject::connect(&*m_dialog, &QProgressDialog::canceled, &m_relay, [this] { ++m_stops; });
            m_dialog->show();
        }
        m_dialog->setLabelText(QStringLiteral("FET está resolviendo el horario…\n%1").arg(said));
    }

    QWidget* m_parent;
    std::atomic_int& m_stops;
    std::optional<QProgressDialog> m_dialog;
    QObject m_relay; // on the GUI thread; goes first, with whatever is still queued to it
};

// The window's buttons held disabled while a run works on another thread (`running` set), and
// given back as they were.
class ButtonsHeld {
public:
    ButtonsHeld(bool& running, const QList<QPushButton*>& buttons) : m_running(running), m_buttons(buttons)
    {
        for (QPushButton* b : m_buttons) {
            m_wereEnabled << b->isEnabled();
            b->setEnabled(false);
        }
        m_running = true;
    }
    ~ButtonsHeld()
    {
        m_running = false;
        for (qsizetype i = 0; i < m_buttons.size(); ++i)
            m_buttons[i]->setEnabled(m_wereEnabled[i]);
    }
    ButtonsHeld(const ButtonsHeld&) = delete;
    ButtonsHeld& operator=(const ButtonsHeld&) = delete;

private:
    bool& m_running;
    QList<QPushButton*> m_buttons;
    QList<bool> m_wereEnabled;
};
} // namespace

TMForm::TMForm(const QStringList& parameters, FrameDialog frameDialog, QWidget* parent)
    : QWidget(parent), m_session(parameters), m_ui(this, std::move(frameDialog))
{
    setObjectName(QStringLiteral("MForm"));
    setWindowTitle(QStringLiteral("Exportar e importar datos entre Velmora y Escolaria "));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(632, 266);
    setFont(fontOf(QStringLiteral("MS Sans Serif"), 8));
    const QFont heading = fontOf(QStringLiteral("Arial"), 12, true);

    Draw3D2 = new GradientPanel(QColor(0xF9, 0xD3, 0x7D), Qt::white, QColor(0xFF, 0xEE, 0xDD), this);
    Draw3D2->setObjectName(QStringLiteral("Draw3D2"));
    Draw3D2->setGeometry(0, 0, 315, 168);
    Label3 = makeLabel(Draw3D2, "Label3", QStringLiteral("Transformar datos desde Escolaria hacia Velmora "),
                       {24, 24, 265, 57}, heading, Qt::black, true);
    const QIcon ok = style()->standardIcon(QStyle::SP_DialogOkButton);
    BExportar = button(Draw3D2, "BExportar", ok, QStringLiteral("OK"), {96, 120, 89, 25});

    Draw3D3 = new GradientPanel(QColor(0xF9, 0xD3, 0x7D), Qt::white, QColor(0xFF, 0xEE, 0xDD), this);
    Draw3D3->setObjectName(QStringLiteral("Draw3D3"));
    Draw3D3->setGeometry(316, 0, 317, 168);
    Label4 = makeLabel(Draw3D3, "Label4", QStringLiteral("Transformar datos desde Velmora hacia Escolaria"),
                       {8, 24, 305, 57}, heading, Qt::black, true);
    BImportar = button(Draw3D3, "BImportar", ok, QStringLiteral("OK"), {96, 120, 89, 25});

    Draw3D1 = new GradientPanel(QColor(0xC2, 0xCD, 0xFE), QColor(0xCF, 0xF2, 0xFE), QColor(0xCC, 0xD8, 0xE6), this);
    Draw3D1->setObjectName(QStringLiteral("Draw3D1"));
    Draw3D1->setGeometry(0, 168, 633, 97);
    Label1 = makeLabel(Draw3D1, "Label1", QStringLiteral("Quintaro para VX24 V-1.0"), {8, 72, 252, 13},
                       fontOf(QStringLiteral("MS Sans Serif"), 8, true), Qt::red);
    BClose = button(Draw3D1, "BClose", style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("&Salir"),
                    {256, 32, 89, 25});
    Button1 = button(Draw3D1, "Button1", QIcon(), QStringLiteral("F1 Ayuda"), {512, 56, 75, 25});
    // In the free corner of the lower panel, and only where FET's solver is installed.
    BResolverFet = button(Draw3D1, "BResolverFet", QIcon(), QStringLiteral("Resolver con FET…"), {8, 32, 140, 25});
    BResolverFet->setVisible(!findFetCl({}).isEmpty());

    connect(BExportar, &QPushButton::clicked, this, &TMForm::BExportarClick);
    connect(BImportar, &QPushButton::clicked, this, &TMForm::BImportarClick);
    connect(BClose, &QPushButton::clicked, this, &QWidget::close);
    connect(Button1, &QPushButton::clicked, this, &TMForm::Button1Click);
    connect(BResolverFet, &QPushButton::clicked, this, &TMForm::BResolverFetClick);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QString TMForm::defaultResultFilePath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Velmora.ini"));
}

void TMForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // Once the window is on screen, the command line's run starts.
        QTimer::singleShot(0, this, &TMForm::FormShow);
    }
}

void TMForm::FormShow()
{
    const QString run = m_session.automaticRun();
    if (run == u"importar")
        BImportarClick();
    else if (run == u"exportar")
        BExportarClick();
}

void TMForm::BExportarClick() { afterRun(m_session.runExport(m_ui).outcome); }

void TMForm::BImportarClick() { afterRun(m_session.runImport(m_ui).outcome); }

void TMForm::afterRun(Session::Outcome outcome)
{
    if (outcome == Session::Outcome::Finished) {
        // One program start completes at most one run.
        BExportar->setEnabled(false);
        BImportar->setEnabled(false);
        BResolverFet->setEnabled(false);
    }
    if (outcome != Session::Outcome::Failed && m_session.isAutomatic())
        close();
}

void TMForm::Button1Click() { openHelp(this, HelpTopic::Contents); }

void TMForm::BResolverFetClick()
{
    const QString program = findFetCl({});
    if (program.isEmpty()) {
        m_ui.showError(fetClMissingMessage());
        return;
    }
    // FET (and the export and import around it) runs on a thread of its own: the window goes on
    // painting, and "Detener" is heard at once. The run's questions and messages come back to
    // this thread; the buttons wait until it has ended.
    std::atomic_int stop{0};
    FetSolved solved;
    std::optional<QString> failure;
    {
        FetProgress progress(this, stop);
        const ButtonsHeld held(m_running, {BExportar, BImportar, BResolverFet, BClose});
        GuiThreadRunUi ui(m_ui);
        try {
            runOffTheGuiThread([&] {
                solved = solveWithFet(ui, program, kFetDefaultSeconds, FetChoices{},
                                      [&progress](const QString& said) { progress.tell(said); }, &stop);
            });
        } catch (const RunError& e) {
            // What stopped the run before or after FET (a group that cannot fit, a file that
            // cannot be written) is said like any other run's error.
            failure = text::withFullStop(e.message());
        }
    }
    if (failure) {
        m_ui.showError(*failure);
        return;
    }
    switch (solved.ending) {
    case FetSolved::Ending::Finished:
        m_ui.finished(fetFinishedMessage(solved), solved.report);
        afterRun(Session::Outcome::Finished);
        break;
    case FetSolved::Ending::NoDocument:
        m_ui.inform(solved.message);
        break;
    default:
        m_ui.showError(solved.message);
        break;
    }
}

void TMForm::keyPressEvent(QKeyEvent* event)
{
    if (!openHelpOnF1(this, event, HelpTopic::MainWindow))
        QWidget::keyPressEvent(event);
}

int TMForm::exitCode(int eventLoopCode) const
{
    if (m_resultFileFailed)
        return kResultFileNotWritten;
    if (eventLoopCode == 0 && m_session.isAutomatic() && m_session.estadoTransformado() != 1)
        return 1;
    return eventLoopCode;
}

void TMForm::FormClose()
{
    if (!m_session.isAutomatic() || m_resultFileFailed)
        return;
    try {
        writeIniInteger(m_resultFile, QStringLiteral("Transformadores"), QStringLiteral("Transformado"),
                        m_session.estadoTransformado());
    } catch (const RunError& e) {
        // Said once; the window still closes, and the exit status tells Velmora, which would
        // otherwise wait for a window that can never close.
        m_resultFileFailed = true;
        m_ui.showError(text::withFullStop(e.message()));
    }
}

void TMForm::closeEvent(QCloseEvent* event)
{
    // Not while a run works on another thread: "Detener" stops it first.
    if (m_running) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

} // namespace quintaro
