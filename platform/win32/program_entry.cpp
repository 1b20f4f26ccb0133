// A program's entry point, in place of the C runtime's start-up: WinMain with the module handle
// and the show command the program was started with, then the process ends with its result.
// The programs take no command line.
#include <windows.h>

extern "C" void WinMainCRTStartup() {
    STARTUPINFOA startup;
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    const int show =
        (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    char noArguments[] = "";
    ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, noArguments, show)));
}
