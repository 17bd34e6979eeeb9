/* A tiny Windows program that holds a file the way a Windows database engine does: opened with
 * no sharing and locked whole with LockFileEx. It says "held" once it holds the file and lets go
 * when its standard input closes. Run under Wine, it shows whether a Linux program sees the
 * locks that Wine takes for Windows programs (Velmora's, in real use).
 *   lock_holder.exe FILE */
#include <stdio.h>
#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        return 2;
    HANDLE file = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    OVERLAPPED whole = {0};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole))
        return 1;
    puts("held");
    fflush(stdout);
    char line[16];
    while (fgets(line, sizeof line, stdin))
        ;
    CloseHandle(file);
    return 0;
}
