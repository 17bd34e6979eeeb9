// A run on a thread of its own: the GUI thread goes on handling events while it works, its
// questions and messages are answered on the GUI thread, and what it throws comes back.

#include "gui/off_thread_run.h"
#include "platform/error.h"
#include "test_support.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <future>

using namespace quintaro;

namespace {
// Records the thread each call arrives on.
class ThreadNotingUi : public test::ScriptedUi {
public:
    QList<QThread*> threads;
    void inform(const QString& message) override
    {
        threads << QThread::currentThread();
        ScriptedUi::inform(message);
    }
    std::optional<QString> chooseDocument() override
    {
        threads << QThread::currentThread();
        if (refuse)
            throw RunError(QStringLiteral("no"));
        return QStringLiteral("elegido.xml");
    }
    bool refuse = false;
};
} // namespace

class TestOffThreadRun : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The work waits for something only the GUI thread's event loop can do: it would never end if
    // the work ran on the GUI thread, or if that thread only looked at its events now and then.
    void theGuiThreadHandlesEventsWhileTheWorkRuns()
    {
        std::promise<void> timerFired;
        QTimer::singleShot(0, qApp, [&] { timerFired.set_value(); });
        QThread* workThread = nullptr;
        runOffTheGuiThread([&] {
            workThread = QThread::currentThread();
            timerFired.get_future().wait();
        });
        QVERIFY(workThread != nullptr);
        QVERIFY(workThread != QThread::currentThread());
    }

    void questionsAndMessagesAreAnsweredOnTheGuiThread()
    {
        ThreadNotingUi gui;
        GuiThreadRunUi ui(gui);
        std::optional<QString> chosen;
        runOffTheGuiThread([&] {
            chosen = ui.chooseDocument();
            ui.inform(QStringLiteral("hecho"));
        });
        QCOMPARE(chosen, std::optional<QString>(QStringLiteral("elegido.xml")));
        QCOMPARE(gui.messages, QStringList{QStringLiteral("hecho")});
        QCOMPARE(gui.threads, (QList<QThread*>{QThread::currentThread(), QThread::currentThread()}));
    }

    // A question that fails on the GUI thread fails in the run, and the run's error comes out
    // of runOffTheGuiThread.
    void errorsComeBackToTheirCaller()
    {
        ThreadNotingUi gui;
        gui.refuse = true;
        GuiThreadRunUi ui(gui);
        QString said;
        try {
            runOffTheGuiThread([&] { ui.chooseDocument(); });
        } catch (const RunError& e) {
            said = e.message();
        }
        QCOMPARE(said, QStringLiteral("no"));
    }
};

QTEST_MAIN(TestOffThreadRun)
#include "test_off_thread_run.moc"
