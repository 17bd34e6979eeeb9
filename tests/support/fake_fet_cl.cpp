// A stand-in for fet-cl that misbehaves on purpose, for the tests of how Quintaro runs it. The
// way it misbehaves comes from QUINTARO_FAKE_FET:
//   cuelga  ignores its time limit; stops on SIGTERM (Ctrl+Break on Windows), leaving "parado"
//   sordo   ignores its time limit and every request to stop
//   hijos   starts another of itself ("sordo") and ends at once, leaving it behind
//   inunda  writes without end to its output, deaf to requests to stop
//   mejor   ends at once as fet-cl does at its time limit: a best timetable of 3 placed hours
//   imposible  ends at once as fet-cl does on data it cannot solve, saying so
// It writes its process id to OUTPUTDIR/pid (and its child's to OUTPUTDIR/hijo).
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
std::string outputDir;
volatile std::sig_atomic_t stopAsked = 0;

void writeFile(const std::string& name, long value)
{
    if (FILE* f = std::fopen((outputDir + "/" + name).c_str(), "w")) {
        std::fprintf(f, "%ld\n", value);
        std::fclose(f);
    }
}

long ownId()
{
#ifdef _WIN32
    return long(GetCurrentProcessId());
#else
    return long(getpid());
#endif
}

void nap()
{
#ifdef _WIN32
    Sleep(50);
#else
    usleep(50000);
#endif
}

extern "C" void onStop(int) { stopAsked = 1; }

#ifdef _WIN32
BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (event == CTRL_BREAK_EVENT || event == CTRL_C_EVENT) {
        stopAsked = 1;
        return TRUE;
    }
    return FALSE;
}
BOOL WINAPI ignoreConsoleEvent(DWORD) { return TRUE; }
#endif

void listenForStop(bool deaf)
{
#ifdef _WIN32
    SetConsoleCtrlHandler(deaf ? ignoreConsoleEvent : onConsoleEvent, TRUE);
#else
    std::signal(SIGTERM, deaf ? SIG_IGN : onStop);
    std::signal(SIGINT, deaf ? SIG_IGN : onStop);
#endif
}

long startDeafCopy(const char* self)
{
#ifdef _WIN32
    SetEnvironmentVariableA("QUINTARO_FAKE_FET", "sordo");
    std::string command = std::string("\"") + self + "\" --outputdir=" + outputDir + "/hijo.d";
    CreateDirectoryA((outputDir + "/hijo.d").c_str(), nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return long(pi.dwProcessId);
#else
    (void)self;
    const pid_t child = fork();
    if (child == 0) {
        listenForStop(true);
        for (;;)
            nap();
    }
    return long(child);
#endif
}
} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--outputdir=", 12) == 0)
            outputDir = argv[i] + 12;
#ifdef _WIN32
    CreateDirectoryA(outputDir.c_str(), nullptr);
#else
    mkdir(outputDir.c_str(), 0755);
#endif
    const char* mode = std::getenv("QUINTARO_FAKE_FET");
    const std::string how = mode ? mode : "cuelga";
    writeFile("pid", ownId());
    if (how == "mejor") {
        for (const char* folder : {"/logs", "/timetables", "/timetables/x-highest"})
#ifdef _WIN32
            CreateDirectoryA((outputDir + folder).c_str(), nullptr);
#else
            mkdir((outputDir + folder).c_str(), 0755);
#endif
        if (FILE* f = std::fopen((outputDir + "/logs/max_placed_activities.txt").c_str(), "w")) {
            std::fputs("At time 0 h 0 m 0 s, FET reached 3 activities placed\n", f);
            std::fclose(f);
        }
        if (FILE* f = std::fopen((outputDir + "/timetables/x-highest/x_activities.xml").c_str(), "w")) {
            std::fputs("<Activities_Timetable/>\n", f);
            std::fclose(f);
        }
        return 0;
    }
    if (how == "imposible") {
        std::puts("Message: the data cannot be solved");
        return 1;
    }
    if (how == "hijos") {
        writeFile("hijo", startDeafCopy(argv[0]));
        return 0;
    }
    listenForStop(how != "cuelga");
    std::string line(1000, 'x');
    line += '\n';
    for (;;) {
        if (stopAsked) {
            writeFile("parado", ownId());
            return 0;
        }
        if (how == "inunda") {
            for (int i = 0; i < 100; ++i)
                std::fwrite(line.data(), 1, line.size(), stdout);
            std::fflush(stdout);
        } else {
            nap();
        }
    }
}
