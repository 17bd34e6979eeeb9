#include "run/solver_process.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#endif

namespace quintaro {

SolverProcess::SolverProcess(const QString& program, const QStringList& arguments)
{
    m_process.setProgram(program);
    m_process.setArguments(arguments);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
#ifdef _WIN32
    // A group of its own on the same console: Ctrl+C at the console reaches Quintaro only, and
    // Ctrl+Break can be sent to this group alone.
    m_process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
        args->flags |= CREATE_NEW_PROCESS_GROUP;
    });
#else
    const pid_t parent = ::getpid();
    m_process.setChildProcessModifier([parent] {
        ::setpgid(0, 0);
#ifdef __linux__
        // Ended with Quintaro, even when Quintaro is killed; a parent already gone ends it too.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
#endif
    });
#endif
}

SolverProcess::~SolverProcess()
{
    if (m_pid != 0) {
        end();
        m_process.waitForFinished(5000);
    }
#ifdef _WIN32
    if (m_job)
        CloseHandle(m_job); // kills what is left in the job
#endif
}

bool SolverProcess::start(QString* why)
{
    m_process.start();
    if (!m_process.waitForStarted(30000)) {
        *why = m_process.errorString();
        return false;
    }
    m_pid = m_process.processId();
#ifdef _WIN32
    // Every program it starts is in its job; closing the job (Quintaro's end included) ends them.
    m_job = CreateJobObjectW(nullptr, nullptr);
    if (m_job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        HANDLE process = OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, DWORD(m_pid));
        if (process) {
            AssignProcessToJobObject(m_job, process);
            CloseHandle(process);
        }
    }
#endif
    return true;
}

bool SolverProcess::waitForFinished(int ms)
{
    if (!m_process.waitForFinished(ms))
        return false;
    // Whatever it started and left behind goes with it.
    endGroup();
    m_pid = 0;
    return true;
}

void SolverProcess::askToStop()
{
    if (m_pid == 0)
        return;
#ifdef _WIN32
    // A console program stops on Ctrl+Break (terminate() only posts WM_CLOSE, which a console
    // program never sees). Sent to its group; from a window without a console, through its own.
    if (!GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, DWORD(m_pid))) {
        FreeConsole();
        if (AttachConsole(DWORD(m_pid))) {
            SetConsoleCtrlHandler(nullptr, TRUE); // Quintaro does not stop itself on the way
            GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, DWORD(m_pid));
            FreeConsole();
            SetConsoleCtrlHandler(nullptr, FALSE);
        }
    }
#else
    ::kill(-pid_t(m_pid), SIGTERM);
#endif
}

void SolverProcess::end()
{
    if (m_pid == 0)
        return;
#ifdef _WIN32
    if (m_job)
        TerminateJobObject(m_job, 1);
    m_process.kill();
#else
    endGroup();
    m_process.kill();
#endif
}

void SolverProcess::endGroup()
{
#ifdef _WIN32
    if (m_job)
        TerminateJobObject(m_job, 1);
#else
    if (m_pid != 0)
        ::kill(-pid_t(m_pid), SIGKILL);
#endif
}

bool SolverProcess::succeeded() const
{
    return m_process.state() == QProcess::NotRunning && m_process.exitStatus() == QProcess::NormalExit
        && m_process.exitCode() == 0;
}

} // namespace quintaro
