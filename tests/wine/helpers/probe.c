/* Looks at and works the windows of another process, for the end-to-end tests.
 *
 *   probe find TITLE MS        wait up to MS for a visible window titled TITLE; describe it
 *   probe info TITLE           describe the window titled TITLE, shown or not
 *   probe count TITLE          print how many top-level windows carry TITLE
 *   probe closed HWND MS       wait up to MS until window HWND (as `find` prints it) is gone
 *   probe click TITLE ID       press button ID of that window
 *   probe key TITLE VK         post a key press to the focused control of that window
 *   probe command TITLE ID     post WM_COMMAND ID to that window
 *   probe post HWND MSG W L    post message MSG with wParam W and lParam L to window HWND
 *   probe screen               print the screen's size and depth as this process sees them
 *   probe modes                print the display modes the system offers, one per line
 *   probe version              print what GetVersionExA reports: "MAJOR.MINOR.BUILD PLATFORM CSD"
 *   probe message NAME         print the number of the registered window message NAME
 *   probe unicon HWND ID       take the tray icon ID of window HWND away, as a taskbar that is
 *                              made anew has lost it
 *   probe inject TITLE DLL MS  load the hook library DLL (a bare name: next to this program)
 *                              into the process of the window titled TITLE, shown or not, and
 *                              wait up to MS for it to set the event "probe injected <pid>"
 *                              (pid: that process's id)
 *
 * Exit code 0 when the window was there (closed: when it went; inject: when the library set its
 * event), 1 otherwise.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
/* clang-format off */
#include <windows.h>
#include <shellapi.h>  /* needs windows.h first */
/* clang-format on */

static const char* g_title;
static int g_count;
static HWND g_visible;

static BOOL CALLBACK CountWindows(HWND hwnd, LPARAM unused) {
    char text[256];
    (void)unused;
    GetWindowTextA(hwnd, text, sizeof(text));
    if (strcmp(text, g_title) == 0) {
        ++g_count;
        if (IsWindowVisible(hwnd))
            g_visible = hwnd;
    }
    return TRUE;
}

static int Count(const char* title) {
    g_title = title;
    g_count = 0;
    g_visible = NULL;
    EnumWindows(CountWindows, 0);
    return g_count;
}

static BOOL CALLBACK DescribeChild(HWND child, LPARAM unused) {
    char cls[64], text[256];
    (void)unused;
    GetClassNameA(child, cls, sizeof(cls));
    SendMessageA(child, WM_GETTEXT, sizeof(text), (LPARAM)text);
    printf("child id=%d class=%s style=%08lx text=%s\n", GetDlgCtrlID(child), cls,
           (unsigned long)GetWindowLongA(child, GWL_STYLE), text);
    return TRUE;
}

static void Describe(HWND hwnd) {
    char cls[64], text[256], ownerText[256] = "";
    RECT r;
    HWND owner = GetWindow(hwnd, GW_OWNER);
    GetClassNameA(hwnd, cls, sizeof(cls));
    GetWindowTextA(hwnd, text, sizeof(text));
    GetWindowRect(hwnd, &r);
    if (owner)
        GetWindowTextA(owner, ownerText, sizeof(ownerText));
    printf("hwnd=%lu\n", (unsigned long)(ULONG_PTR)hwnd);
    printf("title=%s\nclass=%s\nstyle=%08lx\nexstyle=%08lx\nvisible=%d\n", text, cls,
           (unsigned long)GetWindowLongA(hwnd, GWL_STYLE),
           (unsigned long)GetWindowLongA(hwnd, GWL_EXSTYLE), IsWindowVisible(hwnd) ? 1 : 0);
    printf("rect=%ld,%ld,%ld,%ld\nowner=%s\n", r.left, r.top, r.right, r.bottom, ownerText);
    EnumChildWindows(hwnd, DescribeChild, 0);
}

/* Hooks the thread of `hwnd` with the library's GetMsgProc and posts WM_NULL now and then, so
 * that the thread calls the hook and Wine loads the library there, until the library's event is
 * set or `waitMs` have passed. */
static int Inject(HWND hwnd, const char* dll, DWORD waitMs) {
    char path[MAX_PATH], name[64];
    char* slash;
    DWORD process, start = GetTickCount();
    DWORD thread = GetWindowThreadProcessId(hwnd, &process);
    HMODULE library;
    HOOKPROC proc;
    HHOOK hook = NULL;
    HANDLE ready;
    BOOL done = FALSE;
    GetModuleFileNameA(NULL, path, sizeof(path));
    slash = strrchr(path, '\\');
    if (strchr(dll, '\\') || !slash || (size_t)(slash + 1 - path) + strlen(dll) >= sizeof(path))
        lstrcpynA(path, dll, sizeof(path));
    else
        strcpy(slash + 1, dll);
    wsprintfA(name, "probe injected %lu", (unsigned long)process);
    ready = CreateEventA(NULL, TRUE, FALSE, name);
    library = LoadLibraryA(path);
    proc = library ? (HOOKPROC)(void*)GetProcAddress(library, "GetMsgProc") : NULL;
    if (proc && ready && thread)
        hook = SetWindowsHookExA(WH_GETMESSAGE, proc, library, thread);
    if (hook) {
        do {
            if (!PostMessageA(hwnd, WM_NULL, 0, 0))
                break;
        } while (WaitForSingleObject(ready, 200) == WAIT_TIMEOUT &&
                 GetTickCount() - start < waitMs);
        done = WaitForSingleObject(ready, 0) == WAIT_OBJECT_0;
        UnhookWindowsHookEx(hook);
    } else {
        fprintf(stderr, "probe: cannot hook with %s (error %lu)\n", path,
                (unsigned long)GetLastError());
    }
    if (library)
        FreeLibrary(library);
    if (ready)
        CloseHandle(ready);
    return done ? 0 : 1;
}

int main(int argc, char** argv) {
    const char* verb;
    const char* title;
    HWND hwnd;
    if (argc == 2 && strcmp(argv[1], "screen") == 0) {
        HDC dc = GetDC(NULL);
        printf("%dx%dx%d\n", GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES),
               GetDeviceCaps(dc, BITSPIXEL));
        ReleaseDC(NULL, dc);
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "modes") == 0) {
        DEVMODEA mode;
        DWORD i;
        memset(&mode, 0, sizeof(mode));
        mode.dmSize = sizeof(mode);
        for (i = 0; EnumDisplaySettingsA(NULL, i, &mode); ++i)
            printf("%lux%lux%lu@%lu\n", mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel,
                   mode.dmDisplayFrequency);
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "version") == 0) {
        OSVERSIONINFOA info;
        memset(&info, 0, sizeof(info));
        info.dwOSVersionInfoSize = sizeof(info);
        if (!GetVersionExA(&info))
            return 1;
        printf("%lu.%lu.%lu %lu %s\n", info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber,
               info.dwPlatformId, info.szCSDVersion);
        return 0;
    }
    if (argc < 3)
        return 2;
    if (argc == 3 && strcmp(argv[1], "message") == 0) {
        UINT number = RegisterWindowMessageA(argv[2]);
        printf("%u\n", number);
        return number ? 0 : 1;
    }
    if (argc == 4 && strcmp(argv[1], "unicon") == 0) {
        NOTIFYICONDATAA icon;
        memset(&icon, 0, sizeof(icon));
        icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
        icon.hWnd = (HWND)(ULONG_PTR)strtoul(argv[2], NULL, 10);
        icon.uID = (UINT)atoi(argv[3]);
        return Shell_NotifyIconA(NIM_DELETE, &icon) ? 0 : 1;
    }
    verb = argv[1];
    title = argv[2];

    if (strcmp(verb, "find") == 0 && argc == 4) {
        DWORD until = GetTickCount() + (DWORD)atoi(argv[3]);
        do {
            Count(title);
            if (g_visible) {
                Sleep(200); /* let the dialog finish painting and take its focus */
                Describe(g_visible);
                return 0;
            }
            Sleep(50);
        } while ((LONG)(until - GetTickCount()) > 0);
        return 1;
    }
    if (strcmp(verb, "closed") == 0 && argc == 4) {
        HWND target = (HWND)(ULONG_PTR)strtoul(argv[2], NULL, 10);
        DWORD until = GetTickCount() + (DWORD)atoi(argv[3]);
        do {
            if (!IsWindow(target))
                return 0;
            Sleep(50);
        } while ((LONG)(until - GetTickCount()) > 0);
        return 1;
    }
    if (strcmp(verb, "post") == 0 && argc == 6) {
        HWND target = (HWND)(ULONG_PTR)strtoul(argv[2], NULL, 10);
        return PostMessageA(target, (UINT)strtoul(argv[3], NULL, 10),
                            (WPARAM)strtoul(argv[4], NULL, 10), (LPARAM)strtol(argv[5], NULL, 10))
                   ? 0
                   : 1;
    }
    if (strcmp(verb, "count") == 0) {
        printf("%d\n", Count(title));
        return 0;
    }

    hwnd = FindWindowA(NULL, title);
    if (!hwnd)
        return 1;
    if (strcmp(verb, "info") == 0) {
        Describe(hwnd);
    } else if (strcmp(verb, "inject") == 0 && argc == 5) {
        return Inject(hwnd, argv[3], (DWORD)atoi(argv[4]));
    } else if (strcmp(verb, "click") == 0 && argc == 4) {
        HWND button = GetDlgItem(hwnd, atoi(argv[3]));
        if (!button)
            return 1;
        PostMessageA(button, BM_CLICK, 0, 0);
    } else if (strcmp(verb, "key") == 0 && argc == 4) {
        WPARAM vk = (WPARAM)atoi(argv[3]);
        HWND target = GetDlgItem(hwnd, 1);
        if (!target)
            target = hwnd;
        PostMessageA(target, WM_KEYDOWN, vk, 1);
        PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
    } else if (strcmp(verb, "command") == 0 && argc == 4) {
        PostMessageA(hwnd, WM_COMMAND, (WPARAM)atoi(argv[3]), 0);
    } else {
        return 2;
    }
    return 0;
}
