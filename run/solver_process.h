#pragma once

#include <QProcess>

#include <memory>

namespace quintaro {

// A separate program that Quintaro starts and must be able to stop: it runs in a process group of
// its own (a Ctrl+C at the terminal reaches Quintaro only), it is asked to stop as a console
// program is (SIGTERM to its group on POSIX, Ctrl+Break on Windows), it is ended together with
// every program it started, and it ends when Quintaro ends, however Quintaro ends (a parent-death
// signal on Linux, a job object on Windows).
class SolverProcess {
public:
    SolverProcess(const QString& program, const QStringList& arguments);
    ~SolverProcess(); // ends whatever of it is still running
    SolverProcess(const SolverProcess&) = delete;
    SolverProcess& operator=(const SolverProcess&) = delete;

    // False, with the system's words in `why`, when it could not be started.
    bool start(QString* why);
    // Waits up to `ms` for it to end; true once it has.
    bool waitForFinished(int ms);
    // What it wrote (output and errors together) since the last call.
    QByteArray readAll() { return m_process.readAll(); }
    // Asks it to stop, as Ctrl+C or a shutdown would.
    void askToStop();
    // Ends it, and every program of its group or job, at once.
    void end();
    // Ended by itself with code 0.
    bool succeeded() const;

private:
    void endGroup();

    QProcess m_process;
    qint64 m_pid = 0;
#ifdef _WIN32
    void* m_job = nullptr;
#endif
};

} // namespace quintaro
