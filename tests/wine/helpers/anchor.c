/* Keeps the Wine desktop alive between the programs under test: one hidden window, waiting. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev, LPSTR cmd, int show) {
    MSG msg;
    (void)prev;
    (void)cmd;
    (void)show;
    CreateWindowExA(0, "STATIC", "e2e anchor", 0, 0, 0, 0, 0, NULL, NULL, instance, NULL);
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
