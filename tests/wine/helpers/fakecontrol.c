/* Stands in for the system's control.exe: appends its command line to C:\control-log.txt. */
#include <stdio.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev, LPSTR cmd, int show) {
    FILE* log = fopen("C:\\control-log.txt", "a");
    (void)instance;
    (void)prev;
    (void)cmd;
    if (log) {
        fprintf(log, "%s|%d\n", GetCommandLineA(), show);
        fclose(log);
    }
    return 0;
}
