/* Watches what the system-wide hook does to the messages of a window in this process.
 *
 *   hookwatch X Y MS
 *
 * Creates a hidden window at 900,100 (300 x 200), puts the pointer at X,Y, and waits up to MS
 * for Keldhook.dll to be loaded here (the system loads it at this thread's first hooked
 * message). Then sends the window WM_GETMINMAXINFO and WM_WINDOWPOSCHANGING and prints what a
 * hook of this thread, called after the system-wide one, and the window procedure saw:
 *
 *   loaded 1
 *   minmax hook MAXW MAXX window MAXW MAXX
 *   windowpos hook X Y FLAGS window X Y FLAGS
 *
 * Exit code 0 when the library was loaded, 1 otherwise.
 */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static MINMAXINFO g_hookMinMax, g_windowMinMax;
static WINDOWPOS g_hookPos, g_windowPos;

static LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* cwp = (const CWPSTRUCT*)lParam;
    if (code == HC_ACTION && cwp->message == WM_GETMINMAXINFO)
        g_hookMinMax = *(const MINMAXINFO*)cwp->lParam;
    if (code == HC_ACTION && cwp->message == WM_WINDOWPOSCHANGING)
        g_hookPos = *(const WINDOWPOS*)cwp->lParam;
    return CallNextHookEx(NULL, code, wParam, lParam);
}

static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETMINMAXINFO) {
        g_windowMinMax = *(const MINMAXINFO*)lParam;
        return 0;
    }
    if (msg == WM_WINDOWPOSCHANGING) {
        g_windowPos = *(const WINDOWPOS*)lParam;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int main(int argc, char** argv) {
    WNDCLASSW wc = {0};
    HWND hwnd;
    MINMAXINFO mmi = {{0, 0}, {2048, 768}, {-4, -4}, {112, 27}, {2060, 780}};
    WINDOWPOS pos;
    int x, y, ms, waited = 0;
    if (argc != 4)
        return 2;
    x = atoi(argv[1]);
    y = atoi(argv[2]);
    ms = atoi(argv[3]);
    SetWindowsHookExW(WH_CALLWNDPROC, Watch, NULL, GetCurrentThreadId());
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.lpszClassName = L"hookwatch";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, L"hookwatch", L"hookwatch", WS_OVERLAPPEDWINDOW, 900, 100, 300, 200,
                           NULL, NULL, wc.hInstance, NULL);
    for (;;) {
        POINT p;
        SetCursorPos(x, y);
        SendMessageW(hwnd, WM_NULL, 0, 0);
        if (GetModuleHandleW(L"Keldhook.dll") && GetCursorPos(&p) && p.x == x && p.y == y)
            break;
        if (waited >= ms)
            break;
        Sleep(50);
        waited += 50;
    }
    printf("loaded %d\n", GetModuleHandleW(L"Keldhook.dll") != NULL);
    SendMessageW(hwnd, WM_GETMINMAXINFO, 0, (LPARAM)&mmi);
    printf("minmax hook %ld %ld window %ld %ld\n", g_hookMinMax.ptMaxSize.x,
           g_hookMinMax.ptMaxPosition.x, g_windowMinMax.ptMaxSize.x,
           g_windowMinMax.ptMaxPosition.x);
    pos.hwnd = hwnd;
    pos.hwndInsertAfter = NULL;
    pos.x = pos.y = pos.cx = pos.cy = 0;
    pos.flags = SWP_NOMOVE | SWP_NOSIZE;
    SendMessageW(hwnd, WM_WINDOWPOSCHANGING, 0, (LPARAM)&pos);
    printf("windowpos hook %d %d %u window %d %d %u\n", g_hookPos.x, g_hookPos.y, g_hookPos.flags,
           g_windowPos.x, g_windowPos.y, g_windowPos.flags);
    fflush(stdout);
    DestroyWindow(hwnd);
    return GetModuleHandleW(L"Keldhook.dll") ? 0 : 1;
}
