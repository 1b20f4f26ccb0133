/* Long runs that show whether a program's objects grow, for scripts/soak.sh.
 *
 *   soak zenpick TITLE DISPLAYCHANGES MENUS ABOUTS
 *       Works the tray program whose hidden main window is titled TITLE: sends it
 *       DISPLAYCHANGES WM_DISPLAYCHANGE, opens its popup menu MENUS times (the icon's callback
 *       message with WM_LBUTTONDOWN, then WM_CANCELMODE, which ends a menu's tracking as
 *       EndMenu does) and its About box ABOUTS times (WM_RBUTTONDOWN, then OK). Its objects are
 *       counted inside its process by soakspy.dll before and after, and after each kind of
 *       action; last the About box's EXIT ends it, which must give exit code 0.
 *   soak hook MESSAGES X Y
 *       With the pointer at X,Y and Keldhook.dll loaded into this process by the system-wide
 *       hook (Keldor.exe runs), sends a window of this process MESSAGES placement messages,
 *       WM_GETMINMAXINFO and WM_WINDOWPOSCHANGING by turns, and counts this process's objects
 *       before and after. Every message must reach the window edited by the hook.
 *   soak selfcheck
 *       Shows that the counts see growth: starts a second copy of this program ("soak leaker")
 *       and counts its objects through soakspy.dll as for the tray program, twice with nothing
 *       done between (the counts must not move: counting makes nothing) and once after it
 *       leaked 3 brushes, 2 menus, 1 window, 1 icon, 1 DC and 4 events (the counts must move by
 *       exactly that).
 *
 * Each of zenpick and hook first repeats its actions a few times, so that what Wine and the
 * program make once, on first use, is in place; after a settling pause the counts are taken.
 * The last line is "soak NAME: USER a -> b, GDI c -> d, handles e -> f, S s".
 * Exit code 0: nothing grew; 5: a count grew; 1: bad arguments; 3: a step failed or timed out.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "objcount.h"
#include "soakspy.h"

#define GREW 5
#define STEP_FAILED 3
#define TRAY_CALLBACK 32868
#define TRAY_ICON 1006
#define ABOUT_EXIT 1021
#define WARM_UP 5
#define SETTLE_MS 1000
#define WAIT_MS 10000

static void Fail(const char* what) {
    printf("soak: %s\n", what);
    fflush(stdout);
    ExitProcess(STEP_FAILED);
}

static double Seconds(DWORD since) {
    return (GetTickCount() - since) / 1000.0;
}

/* --- counting inside another process ----------------------------------------------------- */

static struct SoakRequest* g_request;
static HANDLE g_done;
static HHOOK g_spyHook;
static UINT g_countMessage;

/* Hooks `hwnd`'s thread with soakspy.dll for the rest of the run. */
static void AttachSpy(HWND hwnd) {
    char path[MAX_PATH], name[64];
    char* slash;
    HMODULE spy;
    HOOKPROC proc;
    HANDLE block;
    GetModuleFileNameA(NULL, path, sizeof(path) - 16);
    slash = strrchr(path, '\\');
    strcpy(slash ? slash + 1 : path, "soakspy.dll");
    spy = LoadLibraryA(path);
    proc = spy ? (HOOKPROC)(void*)GetProcAddress(spy, "GetMsgProc") : NULL;
    g_countMessage = RegisterWindowMessageA(SOAKSPY_MESSAGE);
    if (!proc || !g_countMessage)
        Fail("cannot load soakspy.dll");
    g_spyHook = SetWindowsHookExA(WH_GETMESSAGE, proc, spy, GetWindowThreadProcessId(hwnd, NULL));
    if (!g_spyHook)
        Fail("cannot hook the window's thread");
    wsprintfA(name, SOAKSPY_REQUEST_NAME "%lu", (unsigned long)GetCurrentProcessId());
    block = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                               sizeof(struct SoakRequest), name);
    g_request = block ? (struct SoakRequest*)MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, 0) : NULL;
    wsprintfA(name, SOAKSPY_DONE_NAME "%lu", (unsigned long)GetCurrentProcessId());
    g_done = CreateEventA(NULL, FALSE, FALSE, name);
    if (!g_request || !g_done)
        Fail("cannot create the request block");
}

/* The counts of `hwnd`'s process, taken on its thread by soakspy.dll. */
static void CountIn(HWND hwnd, struct ObjectCounts* counts) {
    DWORD start = GetTickCount();
    memset(g_request, 0, sizeof(*g_request));
    g_request->size = sizeof(*g_request);
    g_request->window = hwnd;
    g_request->status = SOAKSPY_PENDING;
    ResetEvent(g_done);
    /* Posted again now and then, in case one is lost; a request is served once. */
    do {
        if (!PostMessageA(hwnd, g_countMessage, (WPARAM)GetCurrentProcessId(), (LPARAM)hwnd))
            Fail("the window is gone");
    } while (WaitForSingleObject(g_done, 500) == WAIT_TIMEOUT && GetTickCount() - start < WAIT_MS);
    if (g_request->status != SOAKSPY_DONE)
        Fail("no counts from the window's process");
    *counts = g_request->counts;
}

static void Detail(const char* when, const struct ObjectCounts* c) {
    char parts[400];
    FormatParts(c, parts);
    printf("  %s: USER %lu, GDI %lu, handles %lu (%s)\n", when, (unsigned long)c->user,
           (unsigned long)c->gdi, (unsigned long)c->handles, parts);
    fflush(stdout);
}

static int Report(const char* name, const struct ObjectCounts* before,
                  const struct ObjectCounts* after, double seconds) {
    char text[160];
    FormatCounts(before, after, text);
    printf("soak %s: %s, %.0f s\n", name, text, seconds);
    fflush(stdout);
    return CountsGrew(before, after) ? GREW : 0;
}

/* --- windows of another process ---------------------------------------------------------- */

static DWORD g_pid;
static const char* g_class;
static const char* g_title;
static HWND g_found;

static BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM unused) {
    char text[256];
    DWORD pid = 0;
    (void)unused;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != g_pid || !IsWindowVisible(hwnd))
        return TRUE;
    GetClassNameA(hwnd, text, sizeof(text));
    if (strcmp(text, g_class) != 0)
        return TRUE;
    GetWindowTextA(hwnd, text, sizeof(text));
    if (g_title && strcmp(text, g_title) != 0)
        return TRUE;
    g_found = hwnd;
    return FALSE;
}

/* A visible top-level window of process `pid` of class `cls` (and title `title` unless NULL). */
static HWND VisibleWindow(DWORD pid, const char* cls, const char* title) {
    g_pid = pid;
    g_class = cls;
    g_title = title;
    g_found = NULL;
    EnumWindows(MatchWindow, 0);
    return g_found;
}

static HWND WaitShown(DWORD pid, const char* cls, const char* title, const char* what) {
    DWORD start = GetTickCount();
    HWND hwnd;
    while ((hwnd = VisibleWindow(pid, cls, title)) == NULL) {
        if (GetTickCount() - start > WAIT_MS)
            Fail(what);
        Sleep(5);
    }
    return hwnd;
}

static void WaitGone(HWND hwnd, const char* what) {
    DWORD start = GetTickCount();
    while (IsWindow(hwnd) && IsWindowVisible(hwnd)) {
        if (GetTickCount() - start > WAIT_MS)
            Fail(what);
        Sleep(5);
    }
}

/* --- the tray program -------------------------------------------------------------------- */

static HWND g_main;
static DWORD g_mainPid;
static const char* g_mainTitle;

static void DisplayChanges(int count) {
    HDC screen = GetDC(NULL);
    const WPARAM bits = (WPARAM)GetDeviceCaps(screen, BITSPIXEL);
    const LPARAM size = MAKELPARAM(GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES));
    int i;
    ReleaseDC(NULL, screen);
    for (i = 0; i < count; ++i) {
        DWORD_PTR result;
        if (!SendMessageTimeoutA(g_main, WM_DISPLAYCHANGE, bits, size, SMTO_NORMAL, WAIT_MS,
                                 &result))
            Fail("WM_DISPLAYCHANGE was not answered");
    }
}

static void Menus(int count) {
    int i;
    for (i = 0; i < count; ++i) {
        HWND menu;
        PostMessageA(g_main, TRAY_CALLBACK, TRAY_ICON, WM_LBUTTONDOWN);
        menu = WaitShown(g_mainPid, "#32768", NULL, "the popup menu did not open");
        PostMessageA(g_main, WM_CANCELMODE, 0, 0);
        WaitGone(menu, "the popup menu did not close");
    }
}

/* Opens the About box and presses `button`; returns the box once it is gone. */
static void AboutBox(int button) {
    HWND box;
    PostMessageA(g_main, TRAY_CALLBACK, TRAY_ICON, WM_RBUTTONDOWN);
    box = WaitShown(g_mainPid, "#32770", g_mainTitle, "the About box did not open");
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)GetDlgItem(box, button));
    WaitGone(box, "the About box did not close");
}

static void AboutBoxes(int count) {
    int i;
    for (i = 0; i < count; ++i)
        AboutBox(IDOK);
}

static BOOL CALLBACK MatchMain(HWND hwnd, LPARAM unused) {
    char text[256];
    (void)unused;
    GetWindowTextA(hwnd, text, sizeof(text));
    if (strcmp(text, g_mainTitle) != 0)
        return TRUE;
    GetClassNameA(hwnd, text, sizeof(text));
    if (strcmp(text, "#32770") == 0)
        return TRUE;
    g_main = hwnd;
    return FALSE;
}

static int Zenpick(const char* title, int displayChanges, int menus, int abouts) {
    struct ObjectCounts before, counts;
    char what[80];
    DWORD start, phase, code = 0;
    HANDLE process;
    int result;
    g_mainTitle = title;
    EnumWindows(MatchMain, 0);
    if (!g_main)
        Fail("no main window");
    GetWindowThreadProcessId(g_main, &g_mainPid);
    process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, g_mainPid);
    AttachSpy(g_main);

    CountIn(g_main, &counts);
    DisplayChanges(WARM_UP);
    Menus(WARM_UP);
    AboutBoxes(WARM_UP);
    Sleep(SETTLE_MS);
    CountIn(g_main, &before);
    Detail("before", &before);

    start = GetTickCount();
    phase = GetTickCount();
    DisplayChanges(displayChanges);
    sprintf(what, "after %d WM_DISPLAYCHANGE (%.1f s)", displayChanges, Seconds(phase));
    Sleep(SETTLE_MS);
    CountIn(g_main, &counts);
    Detail(what, &counts);
    phase = GetTickCount();
    Menus(menus);
    sprintf(what, "after the menu %d times (%.1f s)", menus, Seconds(phase));
    Sleep(SETTLE_MS);
    CountIn(g_main, &counts);
    Detail(what, &counts);
    phase = GetTickCount();
    AboutBoxes(abouts);
    sprintf(what, "after the About box %d times (%.1f s)", abouts, Seconds(phase));
    Sleep(SETTLE_MS);
    CountIn(g_main, &counts);
    Detail(what, &counts);
    result = Report("Zenpick.exe", &before, &counts, Seconds(start));

    UnhookWindowsHookEx(g_spyHook);
    AboutBox(ABOUT_EXIT);
    if (!process || WaitForSingleObject(process, WAIT_MS) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process, &code) || code != 0) {
        printf("soak: EXIT did not end Zenpick with 0 (%lu)\n", (unsigned long)code);
        return STEP_FAILED;
    }
    return result;
}

/* --- the hook library in this process ---------------------------------------------------- */

static MINMAXINFO g_seenMinMax;
static WINDOWPOS g_seenPos;

static LRESULT CALLBACK PlacementWindow(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETMINMAXINFO) {
        g_seenMinMax = *(const MINMAXINFO*)lParam;
        return 0;
    }
    if (msg == WM_WINDOWPOSCHANGING) {
        g_seenPos = *(const WINDOWPOS*)lParam;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

/* Sends `count` placement messages by turns; returns how many reached the window changed. */
static int Placements(HWND hwnd, int count) {
    int i, changed = 0;
    for (i = 0; i < count; ++i) {
        if (i % 2 == 0) {
            MINMAXINFO info = {{0, 0}, {2048, 768}, {-4, -4}, {112, 27}, {2060, 780}};
            g_seenMinMax = info;
            SendMessageW(hwnd, WM_GETMINMAXINFO, 0, (LPARAM)&info);
            changed += g_seenMinMax.ptMaxSize.x != 2048 || g_seenMinMax.ptMaxPosition.x != -4;
        } else {
            WINDOWPOS pos = {hwnd, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE};
            g_seenPos = pos;
            SendMessageW(hwnd, WM_WINDOWPOSCHANGING, 0, (LPARAM)&pos);
            changed += g_seenPos.flags != (SWP_NOMOVE | SWP_NOSIZE);
        }
    }
    return changed;
}

static int Hook(int messages, int x, int y) {
    WNDCLASSW wc;
    HWND hwnd;
    struct ObjectCounts before, after;
    char what[96];
    DWORD start;
    int changed, result;
    memset(&wc, 0, sizeof(wc));
    wc.lpfnWndProc = PlacementWindow;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.lpszClassName = L"soak placement";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"soak placement", WS_OVERLAPPEDWINDOW, 900, 100,
                           300, 200, NULL, NULL, wc.hInstance, NULL);
    start = GetTickCount();
    for (;;) {
        POINT p;
        SetCursorPos(x, y);
        SendMessageW(hwnd, WM_NULL, 0, 0);
        if (GetModuleHandleW(L"Keldhook.dll") && GetCursorPos(&p) && p.x == x && p.y == y)
            break;
        if (GetTickCount() - start > WAIT_MS)
            Fail("Keldhook.dll was not loaded into this process");
        Sleep(50);
    }
    CountObjects(&before); /* the counting's own first use */
    Placements(hwnd, 100);
    Sleep(SETTLE_MS);
    CountObjects(&before);
    Detail("before", &before);
    start = GetTickCount();
    changed = Placements(hwnd, messages);
    sprintf(what, "after %d placement messages, %d changed by the hook (%.1f s)", messages, changed,
            Seconds(start));
    Sleep(SETTLE_MS);
    if (!CountObjects(&after))
        Fail("cannot count this process's handles");
    Detail(what, &after);
    result = Report("Keldhook.dll", &before, &after, Seconds(start));
    DestroyWindow(hwnd);
    if (changed != messages) {
        printf("soak: the hook changed %d of %d messages\n", changed, messages);
        return STEP_FAILED;
    }
    return result;
}

/* --- the check that the counts see growth ------------------------------------------------ */

/* wParam 1: leaks 3 brushes, 2 menus, 1 window, 1 icon, 1 DC of that window (GetDC without
 * ReleaseDC) and 4 events; wParam 0: makes and frees the same, so that what Wine makes once for
 * them is in place before the counts. */
#define LEAK_MESSAGE (WM_APP + 1)
#define LEAKED_BRUSHES 3
#define LEAKED_MENUS 2
#define LEAKED_EVENTS 4

static LRESULT CALLBACK LeakerWindow(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == LEAK_MESSAGE) {
        static const BYTE andBits[32], xorBits[32];
        HGDIOBJ brushes[LEAKED_BRUSHES];
        HMENU menus[LEAKED_MENUS];
        HANDLE events[LEAKED_EVENTS];
        HWND window;
        HICON icon;
        HDC dc;
        int i;
        for (i = 0; i < LEAKED_BRUSHES; ++i)
            brushes[i] = CreateSolidBrush(RGB(i, 0, 0));
        menus[0] = CreatePopupMenu();
        menus[1] = CreateMenu();
        window = CreateWindowExA(0, "soak leaker", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
        icon = CreateIcon(GetModuleHandleA(NULL), 16, 16, 1, 1, andBits, xorBits);
        dc = GetDC(window);
        for (i = 0; i < LEAKED_EVENTS; ++i)
            events[i] = CreateEventA(NULL, FALSE, FALSE, NULL);
        if (wParam)
            return 0;
        for (i = 0; i < LEAKED_BRUSHES; ++i)
            DeleteObject(brushes[i]);
        for (i = 0; i < LEAKED_MENUS; ++i)
            DestroyMenu(menus[i]);
        ReleaseDC(window, dc);
        DestroyWindow(window);
        DestroyIcon(icon);
        for (i = 0; i < LEAKED_EVENTS; ++i)
            CloseHandle(events[i]);
        return 0;
    }
    if (msg == WM_CLOSE)
        PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

static int Leaker(void) {
    WNDCLASSA wc;
    MSG msg;
    memset(&wc, 0, sizeof(wc));
    wc.lpfnWndProc = LeakerWindow;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "soak leaker";
    RegisterClassA(&wc);
    if (!CreateWindowExA(0, wc.lpszClassName, "soak leaker", WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                         wc.hInstance, NULL))
        return 1;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

/* Whether `after` is `before` with exactly the leaked objects more. An icon holds its mask
 * (and, in colour, its picture) as bitmaps: they count as GDI objects of the process. A DC held
 * makes Wine's cache one DC and one region larger (objcount.h). */
static BOOL ExactlyLeaked(const struct ObjectCounts* before, const struct ObjectCounts* after) {
    struct ObjectCounts expected = *before;
    int type;
    const DWORD bitmaps = after->gdiOfType[OBJ_BITMAP] - before->gdiOfType[OBJ_BITMAP];
    expected.windows += 1;
    expected.menus += LEAKED_MENUS;
    expected.icons += 1;
    expected.user += 1 + LEAKED_MENUS + 1;
    expected.gdiOfType[OBJ_BRUSH] += LEAKED_BRUSHES;
    expected.gdiOfType[OBJ_BITMAP] += bitmaps;
    expected.gdiOfType[OBJ_DC] += 1;
    expected.gdiOfType[OBJ_REGION] += 1;
    expected.gdi += LEAKED_BRUSHES + bitmaps + 2;
    expected.handles += LEAKED_EVENTS;
    for (type = 0; type < 16; ++type) {
        if (expected.gdiOfType[type] != after->gdiOfType[type])
            return FALSE;
    }
    return bitmaps >= 1 && bitmaps <= 2 && expected.windows == after->windows &&
           expected.menus == after->menus && expected.icons == after->icons &&
           expected.user == after->user && expected.gdi == after->gdi &&
           expected.handles == after->handles;
}

static int SelfCheck(void) {
    char command[MAX_PATH + 16];
    STARTUPINFOA startup;
    PROCESS_INFORMATION child;
    struct ObjectCounts first, second, leaked;
    DWORD start = GetTickCount();
    HWND leaker = NULL;
    BOOL still, exact;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    command[0] = '"';
    GetModuleFileNameA(NULL, command + 1, MAX_PATH);
    strcat(command, "\" leaker");
    if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &child))
        Fail("cannot start the leaking copy");
    while (!(leaker = FindWindowA("soak leaker", "soak leaker"))) {
        if (GetTickCount() - start > WAIT_MS)
            Fail("the leaking copy has no window");
        Sleep(50);
    }
    AttachSpy(leaker);
    CountIn(leaker, &first); /* the spy's own first use */
    SendMessageA(leaker, LEAK_MESSAGE, 0, 0);
    Sleep(SETTLE_MS);
    CountIn(leaker, &first);
    CountIn(leaker, &second);
    SendMessageA(leaker, LEAK_MESSAGE, 1, 0);
    CountIn(leaker, &leaked);
    PostMessageA(leaker, WM_CLOSE, 0, 0);
    WaitForSingleObject(child.hProcess, WAIT_MS);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    Detail("counted", &first);
    Detail("counted again", &second);
    Detail("after 3 brushes, 2 menus, 1 window, 1 icon, 1 DC and 4 events leaked", &leaked);
    still = memcmp(&first, &second, sizeof(first)) == 0;
    exact = ExactlyLeaked(&second, &leaked);
    printf("soak selfcheck: %s\n", !still  ? "counting twice gave different counts"
                                   : exact ? "the counts see exactly what was leaked"
                                           : "the counts do not follow the leaks");
    return still && exact ? 0 : STEP_FAILED;
}

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "leaker") == 0)
        return Leaker();
    if (argc == 2 && strcmp(argv[1], "selfcheck") == 0)
        return SelfCheck();
    if (argc == 6 && strcmp(argv[1], "zenpick") == 0)
        return Zenpick(argv[2], atoi(argv[3]), atoi(argv[4]), atoi(argv[5]));
    if (argc == 5 && strcmp(argv[1], "hook") == 0)
        return Hook(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]));
    fprintf(stderr,
            "usage: soak zenpick TITLE DISPLAYCHANGES MENUS ABOUTS | hook MESSAGES X Y | "
            "selfcheck\n");
    return 1;
}
