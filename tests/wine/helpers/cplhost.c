/* Plays the Windows NT 4.0 Control Panel for an applet library, for the end-to-end tests.
 * Wine's own control.exe drives applets another way, so the tests load the library here.
 *
 *   cplhost list CPL                        load CPL, print its exports and its answers to
 *                                           CPL_INIT, CPL_GETCOUNT, CPL_INQUIRE, CPL_NEWINQUIRE
 *                                           and CPL_EXIT
 *   cplhost open CPL INDEX STEP...          as the Control Panel: CPL_INIT, CPL_GETCOUNT,
 *                                           CPL_NEWINQUIRE for each applet, then CPL_DBLCLK INDEX
 *                                           owned by a window of this program, while a second
 *                                           thread runs the steps against the windows that
 *                                           come up; then CPL_STOP, CPL_EXIT
 *   cplhost dialog CPL TEMPLATE ORD STEP... after CPL_INIT and CPL_GETCOUNT, DialogBoxParamA
 *                                           with dialog template TEMPLATE of CPL and the dialog
 *                                           procedure it exports at ordinal ORD
 *   cplhost listen SECONDS                  a top-level window titled "cplhost listener" that
 *                                           prints each "orvelAlignmentChange" it receives, with
 *                                           the "TwinControlFlag" stored at that moment; it ends
 *                                           on WM_CLOSE or after SECONDS
 *   cplhost hang SECONDS                    a top-level window titled "cplhost hung" whose
 *                                           thread takes no message for SECONDS, then ends
 *   cplhost soak CPL CYCLES                 as the Control Panel, on a board with two adapters:
 *                                           CYCLES times the dual-adapter dialog (CPL_DBLCLK 0),
 *                                           the single-adapter dialog (its template and
 *                                           procedure) and the alignment options (CPL_DBLCLK 1),
 *                                           each changed and confirmed (the selection dialogs
 *                                           with the restart prompt answered "Restart Later");
 *                                           this process's objects are counted before and after
 *                                           (objcount.h) and the last line is "soak lumora2.cpl:
 *                                           USER a -> b, GDI c -> d, handles e -> f, S s"
 *
 * Steps, one argument each, run in order on the second thread:
 *   wait=TITLE      wait for a visible top-level window of this process titled TITLE; it
 *                   becomes the current window
 *   dump            describe the current window (with "focus=", the id of the control that holds
 *                   the keyboard focus or contains it, 0 for none) and its controls (combo boxes
 *                   with entries and selection)
 *   click=ID        post BM_CLICK to control ID of the current window
 *   command=ID      post WM_COMMAND ID (BN_CLICKED, the control's handle) to the current window
 *   esc             post WM_COMMAND IDCANCEL, as the dialog manager sends it for the Esc key
 *   close           post WM_SYSCOMMAND SC_CLOSE to the current window, as its close box does
 *   focus=ID        post WM_NEXTDLGCTL to the current window and wait until control ID (or a
 *                   window inside it) holds the focus
 *   key=VK          post a key press to the focused control, for the dialog manager to handle;
 *                   the WM_CHAR that the dialog's loop makes of it comes after anything posted
 *                   meanwhile, so a step that depends on a typed letter follows a sleep
 *   select=ID:TEXT  select the entry whose whole text is TEXT in combo box ID
 *   cursel=ID:N     set the current selection of combo box ID to index N (-1: none)
 *   closed          wait until the current window is destroyed; prints how long that took
 *   sleep=MS        sleep
 *   timeout=MS      time allowed to each later wait (10000 at start)
 *
 * Every fact is one line: a word, then NAME=VALUE pairs; a "text=" pair comes last and takes
 * the rest of the line, with backslash, tab, CR, LF and other control characters escaped.
 * The owner window refuses WM_QUERYENDSESSION and says so, so that an end of the session asked
 * for by the library ends nothing. Every top-level window that this program's main thread
 * creates is reported ("created"), the library's dialogs and message boxes among them.
 *
 * Exit code 0 when everything ran; 1 for bad arguments or a library that cannot be used;
 * 3 when a step failed or timed out; 4 when the applet's dialog was still open after the steps;
 * 5 when a soak's count grew.
 */
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "soak/objcount.h"

#define STEP_FAILED 3
#define STILL_OPEN 4
#define GREW 5

/* The Control Panel's side of the applet protocol. */
#define CPL_INIT 1
#define CPL_GETCOUNT 2
#define CPL_INQUIRE 3
#define CPL_DBLCLK 5
#define CPL_STOP 6
#define CPL_EXIT 7
#define CPL_NEWINQUIRE 8

typedef LONG(APIENTRY* APPLET_PROC)(HWND, UINT, LPARAM, LPARAM);

#pragma pack(push, 1)
typedef struct {
    int idIcon, idName, idInfo;
    LONG_PTR lData;
} CPLINFO;
#pragma pack(pop)

/* Byte-packed as the Control Panel declares it: 244 bytes in a 32-bit process. */
#pragma pack(push, 1)
typedef struct {
    DWORD dwSize, dwFlags, dwHelpContext;
    LONG_PTR lData;
    HICON hIcon;
    CHAR szName[32];
    CHAR szInfo[64];
    CHAR szHelpFile[128];
} NEWCPLINFOA;
#pragma pack(pop)

static CRITICAL_SECTION g_print;
static BOOL g_quiet; /* only errors are printed (the soak) */
static DWORD g_settle_ms = 150;
static HWND g_host;
static HANDLE g_applet_done; /* set when CPL_DBLCLK or DialogBoxParamA has returned */
static int g_step_count;
static char** g_steps;

/* Appends `text` to `out` (of `size` bytes) with the escapes described above. */
static void EscapeText(const char* text, size_t length, char* out, size_t size) {
    size_t n = 0, i;
    for (i = 0; i < length && n + 5 < size; ++i) {
        unsigned char c = (unsigned char)text[i];
        if (c == '\\') {
            out[n++] = '\\';
            out[n++] = '\\';
        } else if (c == '\n') {
            out[n++] = '\\';
            out[n++] = 'n';
        } else if (c == '\r') {
            out[n++] = '\\';
            out[n++] = 'r';
        } else if (c == '\t') {
            out[n++] = '\\';
            out[n++] = 't';
        } else if (c < 0x20 || c == 0x7f) {
            n += (size_t)sprintf(out + n, "\\x%02x", c);
        } else {
            out[n++] = (char)c;
        }
    }
    out[n] = 0;
}

/* Prints one line; `text`, when not NULL, becomes its last pair "text=...". */
static void Say(const char* text, const char* format, ...) {
    va_list args;
    if (g_quiet && strncmp(format, "error", 5) != 0)
        return;
    EnterCriticalSection(&g_print);
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    if (text) {
        static char escaped[4096];
        EscapeText(text, strlen(text), escaped, sizeof(escaped));
        printf(" text=%s", escaped);
    }
    printf("\n");
    fflush(stdout);
    LeaveCriticalSection(&g_print);
}

static unsigned long Handle(HWND hwnd) {
    return (unsigned long)(ULONG_PTR)hwnd;
}

/* --- the Control Panel's side ------------------------------------------------------------ */

static LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_QUERYENDSESSION) {
        Say(NULL, "queryendsession wparam=%lu lparam=%08lx refused=1", (unsigned long)wp,
            (unsigned long)lp);
        return FALSE;
    }
    if (msg == WM_ENDSESSION) {
        Say(NULL, "endsession wparam=%lu lparam=%08lx", (unsigned long)wp, (unsigned long)lp);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

static LRESULT CALLBACK CreationWatch(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* cs = ((const CBT_CREATEWNDA*)lp)->lpcs;
        if (!(cs->style & WS_CHILD)) {
            char cls[64];
            const char* title = cs->lpszName;
            if (HIWORD((ULONG_PTR)cs->lpszClass) == 0)
                sprintf(cls, "#%u", (unsigned)LOWORD((ULONG_PTR)cs->lpszClass));
            else
                lstrcpynA(cls, cs->lpszClass, sizeof(cls));
            /* A resource-id title (0xFFFF, id) is not text. */
            if (title && (unsigned char)title[0] == 0xFF)
                title = "";
            Say(title ? title : "", "created hwnd=%lu class=%s owner=%lu", Handle((HWND)wp), cls,
                Handle(cs->hwndParent));
        }
    }
    return CallNextHookEx(NULL, code, wp, lp);
}

static HWND MakeHost(void) {
    WNDCLASSA wc;
    memset(&wc, 0, sizeof(wc));
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "CplHost";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "CplHost", "Control Panel", WS_OVERLAPPEDWINDOW, 40, 40, 400, 300,
                           NULL, NULL, wc.hInstance, NULL);
}

static HMODULE LoadApplet(const char* path, APPLET_PROC* entry) {
    HMODULE module = LoadLibraryA(path);
    if (!module) {
        Say(path, "error load gle=%lu", GetLastError());
        return NULL;
    }
    *entry = (APPLET_PROC)(void*)GetProcAddress(module, MAKEINTRESOURCEA(1));
    if (!*entry) {
        Say(NULL, "error no-ordinal-1");
        FreeLibrary(module);
        return NULL;
    }
    return module;
}

static void Describe(APPLET_PROC entry, HWND owner, LONG index, LPARAM* data) {
    union {
        NEWCPLINFOA info;
        unsigned char bytes[sizeof(NEWCPLINFOA)];
    } u;
    char text[256];
    LONG result;
    memset(&u, 0xA5, sizeof(u));
    result = entry(owner, CPL_NEWINQUIRE, index, (LPARAM)&u.info);
    Say(NULL, "newinquire index=%ld result=%ld size=%lu flags=%lu helpcontext=%lu data=%ld icon=%d",
        (long)index, (long)result, (unsigned long)u.info.dwSize, (unsigned long)u.info.dwFlags,
        (unsigned long)u.info.dwHelpContext, (long)u.info.lData, u.info.hIcon != NULL);
    /* The texts are printed as far as their terminator or the end of their field. */
    EscapeText(u.info.szName, strnlen(u.info.szName, sizeof(u.info.szName)), text, sizeof(text));
    Say(NULL, "newinquire-name index=%ld text=%s", (long)index, text);
    EscapeText(u.info.szInfo, strnlen(u.info.szInfo, sizeof(u.info.szInfo)), text, sizeof(text));
    Say(NULL, "newinquire-info index=%ld text=%s", (long)index, text);
    EscapeText(u.info.szHelpFile, strnlen(u.info.szHelpFile, sizeof(u.info.szHelpFile)), text,
               sizeof(text));
    Say(NULL, "newinquire-helpfile index=%ld text=%s", (long)index, text);
    if (data)
        *data = u.info.lData;
}

static int List(const char* path) {
    static const char* const names[] = {"CPlApplet", "DualScreenDlgProc", "SingleScreenDlgProc"};
    APPLET_PROC entry;
    HMODULE module = LoadApplet(path, &entry);
    LONG count, i, result;
    int ordinal;
    if (!module)
        return 1;
    for (ordinal = 1; ordinal <= 3; ++ordinal) {
        FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
        FARPROC byName = GetProcAddress(module, names[ordinal - 1]);
        Say(NULL, "export ordinal=%d name=%s ordinal-found=%d name-found=%d same=%d", ordinal,
            names[ordinal - 1], byOrdinal != NULL, byName != NULL,
            byOrdinal != NULL && byOrdinal == byName);
    }
    Say(NULL, "init result=%ld", (long)entry(g_host, CPL_INIT, 0, 0));
    count = entry(g_host, CPL_GETCOUNT, 0, 0);
    Say(NULL, "count result=%ld", (long)count);
    for (i = 0; i < count; ++i) {
        CPLINFO old;
        const unsigned char* p = (const unsigned char*)&old;
        size_t k;
        int touched = 0;
        memset(&old, 0xA5, sizeof(old));
        result = entry(g_host, CPL_INQUIRE, i, (LPARAM)&old);
        for (k = 0; k < sizeof(old); ++k)
            touched |= p[k] != 0xA5;
        Say(NULL, "inquire index=%ld result=%ld touched=%d", (long)i, (long)result, touched);
    }
    for (i = 0; i < count; ++i)
        Describe(entry, g_host, i, NULL);
    Say(NULL, "exit result=%ld", (long)entry(g_host, CPL_EXIT, 0, 0));
    Say(NULL, "free result=%d", FreeLibrary(module) ? 1 : 0);
    return 0;
}

/* --- the steps --------------------------------------------------------------------------- */

static DWORD g_timeout = 10000;
static DWORD g_pid;
static const char* g_wanted;
static HWND g_found;

static void Fail(const char* step, const char* why) {
    Say(step, "error step=%s", why);
    ExitProcess(STEP_FAILED);
}

static BOOL CALLBACK FindVisible(HWND hwnd, LPARAM unused) {
    char text[512];
    DWORD pid = 0;
    (void)unused;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != g_pid || !IsWindowVisible(hwnd))
        return TRUE;
    GetWindowTextA(hwnd, text, sizeof(text));
    if (strcmp(text, g_wanted) == 0) {
        g_found = hwnd;
        return FALSE;
    }
    return TRUE;
}

static HWND WaitFor(const char* title) {
    DWORD start = GetTickCount();
    g_wanted = title;
    for (;;) {
        g_found = NULL;
        EnumWindows(FindVisible, 0);
        if (g_found) {
            Sleep(g_settle_ms); /* let the dialog finish painting and take its focus */
            return g_found;
        }
        if (GetTickCount() - start > g_timeout)
            return NULL;
        Sleep(30);
    }
}

static void Text(HWND hwnd, char* out, int size) {
    out[0] = 0;
    SendMessageA(hwnd, WM_GETTEXT, (WPARAM)size, (LPARAM)out);
}

static void DumpCombo(HWND combo, int id) {
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    LRESULT current = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    LRESULT i;
    char text[512];
    for (i = 0; i < count; ++i) {
        text[0] = 0;
        if (SendMessageA(combo, CB_GETLBTEXTLEN, (WPARAM)i, 0) < (LRESULT)sizeof(text))
            SendMessageA(combo, CB_GETLBTEXT, (WPARAM)i, (LPARAM)text);
        Say(text, "entry id=%d index=%ld", id, (long)i);
    }
    text[0] = 0;
    if (current >= 0 &&
        SendMessageA(combo, CB_GETLBTEXTLEN, (WPARAM)current, 0) < (LRESULT)sizeof(text))
        SendMessageA(combo, CB_GETLBTEXT, (WPARAM)current, (LPARAM)text);
    Say(text, "selection id=%d index=%ld count=%ld", id, (long)current, (long)count);
}

/* The window that holds the keyboard focus in `window`'s thread, or NULL. */
static HWND Focus(HWND window) {
    GUITHREADINFO info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info))
        return NULL;
    return info.hwndFocus;
}

static void Dump(HWND hwnd) {
    char cls[64], text[1024];
    HWND child, focus = Focus(hwnd);
    /* A combo box's edit field takes the focus for it: the control is the direct child. */
    if (focus && !IsChild(hwnd, focus))
        focus = NULL;
    while (focus && GetParent(focus) != hwnd)
        focus = GetParent(focus);
    GetClassNameA(hwnd, cls, sizeof(cls));
    Text(hwnd, text, sizeof(text));
    Say(text, "window hwnd=%lu class=%s style=%08lx exstyle=%08lx owner=%lu enabled=%d focus=%d",
        Handle(hwnd), cls, (unsigned long)GetWindowLongA(hwnd, GWL_STYLE),
        (unsigned long)GetWindowLongA(hwnd, GWL_EXSTYLE), Handle(GetWindow(hwnd, GW_OWNER)),
        IsWindowEnabled(hwnd) ? 1 : 0, focus ? GetDlgCtrlID(focus) : 0);
    /* Direct children only: a combo box's own edit field carries id 1001 too. */
    for (child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        char checked[32] = "";
        GetClassNameA(child, cls, sizeof(cls));
        Text(child, text, sizeof(text));
        if (lstrcmpiA(cls, "Button") == 0)
            sprintf(checked, " checked=%ld", (long)SendMessageA(child, BM_GETCHECK, 0, 0));
        Say(text, "control id=%d class=%s style=%08lx enabled=%d visible=%d%s", id, cls,
            (unsigned long)GetWindowLongA(child, GWL_STYLE), IsWindowEnabled(child) ? 1 : 0,
            IsWindowVisible(child) ? 1 : 0, checked);
        if (lstrcmpiA(cls, "ComboBox") == 0)
            DumpCombo(child, id);
    }
}

static HWND Control(HWND window, const char* step, int id) {
    HWND control = GetDlgItem(window, id);
    if (!control)
        Fail(step, "no-control");
    return control;
}

static void RunStep(const char* step, HWND* current) {
    const char* arg = strchr(step, '=');
    size_t verbLength = arg ? (size_t)(arg - step) : strlen(step);
    char verb[32];
    if (verbLength >= sizeof(verb))
        Fail(step, "unknown");
    memcpy(verb, step, verbLength);
    verb[verbLength] = 0;
    if (arg)
        ++arg;
    if (strcmp(verb, "wait") == 0 && arg) {
        *current = WaitFor(arg);
        if (!*current)
            Fail(step, "timeout");
        Say(arg, "found hwnd=%lu", Handle(*current));
        return;
    }
    if (strcmp(verb, "sleep") == 0 && arg) {
        Sleep((DWORD)atoi(arg));
        return;
    }
    if (strcmp(verb, "timeout") == 0 && arg) {
        g_timeout = (DWORD)atoi(arg);
        return;
    }
    /* A window that a click has closed may be gone by the time "closed" looks. */
    if (!*current || (!IsWindow(*current) && strcmp(verb, "closed") != 0))
        Fail(step, "no-window");
    if (strcmp(verb, "dump") == 0) {
        Dump(*current);
    } else if (strcmp(verb, "click") == 0 && arg) {
        PostMessageA(Control(*current, step, atoi(arg)), BM_CLICK, 0, 0);
        Say(NULL, "click id=%d", atoi(arg));
    } else if (strcmp(verb, "command") == 0 && arg) {
        int id = atoi(arg);
        PostMessageA(*current, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     (LPARAM)GetDlgItem(*current, id));
        Say(NULL, "command id=%d", id);
    } else if (strcmp(verb, "esc") == 0) {
        PostMessageA(*current, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     (LPARAM)GetDlgItem(*current, IDCANCEL));
        Say(NULL, "command id=%d", IDCANCEL);
    } else if (strcmp(verb, "close") == 0) {
        PostMessageA(*current, WM_SYSCOMMAND, SC_CLOSE, 0);
        Say(NULL, "close hwnd=%lu", Handle(*current));
    } else if (strcmp(verb, "focus") == 0 && arg) {
        HWND control = Control(*current, step, atoi(arg));
        DWORD start = GetTickCount();
        HWND focus;
        PostMessageA(*current, WM_NEXTDLGCTL, (WPARAM)control, TRUE);
        /* The dialog's thread moves it: wait, so that a key that follows goes there. */
        while ((focus = Focus(*current)) != control && !IsChild(control, focus)) {
            if (GetTickCount() - start > g_timeout)
                Fail(step, "timeout");
            Sleep(10);
        }
        Say(NULL, "focus id=%d", atoi(arg));
    } else if (strcmp(verb, "key") == 0 && arg) {
        HWND target = Focus(*current);
        WPARAM vk = (WPARAM)atoi(arg);
        if (!target)
            target = *current;
        PostMessageA(target, WM_KEYDOWN, vk, 1);
        PostMessageA(target, WM_KEYUP, vk, (LPARAM)0xC0000001u);
        Say(NULL, "key vk=%d focus=%lu", (int)vk, Handle(target));
    } else if ((strcmp(verb, "select") == 0 || strcmp(verb, "cursel") == 0) && arg &&
               strchr(arg, ':')) {
        HWND combo = Control(*current, step, atoi(arg));
        const char* value = strchr(arg, ':') + 1;
        LRESULT index, result;
        if (strcmp(verb, "select") == 0) {
            index = SendMessageA(combo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)value);
            if (index == CB_ERR)
                Fail(step, "no-entry");
        } else {
            index = atoi(value);
        }
        result = SendMessageA(combo, CB_SETCURSEL, (WPARAM)index, 0);
        Say(NULL, "select id=%d index=%ld result=%ld", atoi(arg), (long)index, (long)result);
    } else if (strcmp(verb, "closed") == 0) {
        DWORD start = GetTickCount();
        while (IsWindow(*current)) {
            if (GetTickCount() - start > g_timeout)
                Fail(step, "timeout");
            Sleep(30);
        }
        Say(NULL, "closed hwnd=%lu ms=%lu", Handle(*current),
            (unsigned long)(GetTickCount() - start));
        *current = NULL;
    } else {
        Fail(step, "unknown");
    }
}

static DWORD WINAPI RunSteps(LPVOID unused) {
    HWND current = NULL;
    int i;
    (void)unused;
    for (i = 0; i < g_step_count; ++i)
        RunStep(g_steps[i], &current);
    if (WaitForSingleObject(g_applet_done, g_timeout) != WAIT_OBJECT_0) {
        Say(NULL, "error applet-still-open");
        ExitProcess(STILL_OPEN);
    }
    return 0;
}

/* Loads the library as the Control Panel does, runs `index`'s applet (open) or the dialog
 * `dialogTemplate` with the procedure at `ordinal` (dialog) while the steps run. */
static int Run(const char* path, int index, int dialogTemplate, int ordinal) {
    APPLET_PROC entry;
    HMODULE module = LoadApplet(path, &entry);
    HHOOK watch;
    HANDLE steps;
    LPARAM data[16];
    LONG count, i;
    if (!module)
        return 1;
    memset(data, 0, sizeof(data));
    Say(NULL, "init result=%ld", (long)entry(g_host, CPL_INIT, 0, 0));
    count = entry(g_host, CPL_GETCOUNT, 0, 0);
    Say(NULL, "count result=%ld", (long)count);
    if (dialogTemplate == 0) {
        for (i = 0; i < count && i < 16; ++i)
            Describe(entry, g_host, i, &data[i]);
    }

    watch = SetWindowsHookExA(WH_CBT, CreationWatch, NULL, GetCurrentThreadId());
    g_applet_done = CreateEventA(NULL, TRUE, FALSE, NULL);
    steps = CreateThread(NULL, 0, RunSteps, NULL, 0, NULL);
    if (dialogTemplate == 0) {
        LONG result = entry(g_host, CPL_DBLCLK, index, index >= 0 && index < 16 ? data[index] : 0);
        Say(NULL, "dblclk index=%d result=%ld", index, (long)result);
    } else {
        DLGPROC proc = (DLGPROC)(void*)GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
        INT_PTR result;
        if (!proc) {
            Say(NULL, "error no-ordinal-%d", ordinal);
            ExitProcess(1);
        }
        result = DialogBoxParamA(module, MAKEINTRESOURCEA(dialogTemplate), g_host, proc, 0);
        Say(NULL, "dialogbox template=%d result=%ld", dialogTemplate, (long)result);
    }
    SetEvent(g_applet_done);
    WaitForSingleObject(steps, INFINITE);
    UnhookWindowsHookEx(watch);

    if (dialogTemplate == 0) {
        for (i = 0; i < count && i < 16; ++i)
            entry(g_host, CPL_STOP, i, data[i]);
    }
    Say(NULL, "exit result=%ld", (long)entry(g_host, CPL_EXIT, 0, 0));
    Say(NULL, "free result=%d", FreeLibrary(module) ? 1 : 0);
    return 0;
}

/* --- a long run of the dialogs, with this process's objects counted ---------------------- */

#define SOAK_WARM_UP 3
#define SOAK_SETTLE_MS 1000

enum { SOAK_DUAL, SOAK_SINGLE, SOAK_TWIN, SOAK_DIALOGS };

static HANDLE g_soak_start, g_soak_done;
static volatile LONG g_soak_dialog;
static volatile LONG g_soak_cycle;

/* Three models of which none contains another: each choice differs from the names stored by
 * the dialog before it, so every confirmation stores a change and offers the restart. */
static const char* const g_soak_models[3] = {"Arden 15 Office", "31kHz VGA Standard",
                                             "Dalton 19 Single"};

static DWORD WINAPI RunSoakSteps(LPVOID unused) {
    char left[64], right[64];
    (void)unused;
    while (WaitForSingleObject(g_soak_start, INFINITE) == WAIT_OBJECT_0) {
        const char* steps[8];
        int count = 0, i;
        HWND current = NULL;
        const LONG cycle = g_soak_cycle;
        switch (g_soak_dialog) {
            case SOAK_DUAL:
                sprintf(left, "select=1002:%s", g_soak_models[cycle % 3]);
                sprintf(right, "select=1005:%s", g_soak_models[(cycle + 1) % 3]);
                steps[count++] = "wait=orvel Monitor Select";
                steps[count++] = left;
                steps[count++] = right;
                break;
            case SOAK_SINGLE:
                sprintf(left, "select=1002:%s", g_soak_models[(cycle + 2) % 3]);
                steps[count++] = "wait=orvel Monitor Select";
                steps[count++] = left;
                steps[count++] = "click=1014"; /* the TV box: PAL, the one standard offered */
                break;
            default:
                steps[count++] = "wait=orvelZYNTRA control";
                steps[count++] = "click=504"; /* dialog alignment, the opposite of the stored */
                steps[count++] = "click=500";
                steps[count++] = "closed";
                break;
        }
        if (g_soak_dialog != SOAK_TWIN) {
            steps[count++] = "click=1";
            steps[count++] = "wait=Monitor Settings Change";
            steps[count++] = "click=1"; /* Restart Later */
            steps[count++] = "closed";
        }
        for (i = 0; i < count; ++i)
            RunStep(steps[i], &current);
        SetEvent(g_soak_done);
    }
    return 0;
}

/* One dialog of the cycle, opened as the Control Panel or the dialog test does it. */
static void SoakDialog(HMODULE module, APPLET_PROC entry, LPARAM* data, int dialog, LONG cycle) {
    g_soak_dialog = dialog;
    g_soak_cycle = cycle;
    SetEvent(g_soak_start);
    if (dialog == SOAK_SINGLE) {
        DLGPROC proc = (DLGPROC)(void*)GetProcAddress(module, MAKEINTRESOURCEA(3));
        DialogBoxParamA(module, MAKEINTRESOURCEA(103), g_host, proc, 0);
    } else {
        const LONG index = dialog == SOAK_DUAL ? 0 : 1;
        entry(g_host, CPL_DBLCLK, index, data[index]);
    }
    if (WaitForSingleObject(g_soak_done, g_timeout) != WAIT_OBJECT_0) {
        Say(NULL, "error soak-steps-unfinished dialog=%d cycle=%ld", dialog, (long)cycle);
        ExitProcess(STEP_FAILED);
    }
}

static int Soak(const char* path, int cycles) {
    APPLET_PROC entry;
    HMODULE module = LoadApplet(path, &entry);
    LPARAM data[2] = {0, 0};
    struct ObjectCounts before, after;
    char text[160], parts[400];
    DWORD start;
    LONG count, cycle;
    int dialog;
    if (!module)
        return 1;
    entry(g_host, CPL_INIT, 0, 0);
    count = entry(g_host, CPL_GETCOUNT, 0, 0);
    if (count != 2) {
        Say(NULL, "error soak-needs-two-applets count=%ld", (long)count);
        return 1;
    }
    g_settle_ms = 10;
    Describe(entry, g_host, 0, &data[0]);
    Describe(entry, g_host, 1, &data[1]);
    g_soak_start = CreateEventA(NULL, FALSE, FALSE, NULL);
    g_soak_done = CreateEventA(NULL, FALSE, FALSE, NULL);
    CloseHandle(CreateThread(NULL, 0, RunSoakSteps, NULL, 0, NULL));

    CountObjects(&before); /* the counting's own first use */
    for (cycle = 0; cycle < SOAK_WARM_UP; ++cycle) {
        for (dialog = 0; dialog < SOAK_DIALOGS; ++dialog)
            SoakDialog(module, entry, data, dialog, cycle);
    }
    Sleep(SOAK_SETTLE_MS);
    CountObjects(&before);
    start = GetTickCount();
    for (cycle = 0; cycle < cycles; ++cycle) {
        for (dialog = 0; dialog < SOAK_DIALOGS; ++dialog)
            SoakDialog(module, entry, data, dialog, SOAK_WARM_UP + cycle);
    }
    Sleep(SOAK_SETTLE_MS);
    if (!CountObjects(&after)) {
        Say(NULL, "error soak-cannot-count");
        return 1;
    }
    FormatParts(&before, parts);
    printf("  before: USER %lu, GDI %lu, handles %lu (%s)\n", (unsigned long)before.user,
           (unsigned long)before.gdi, (unsigned long)before.handles, parts);
    FormatParts(&after, parts);
    printf("  after %d cycles of the three dialogs: USER %lu, GDI %lu, handles %lu (%s)\n", cycles,
           (unsigned long)after.user, (unsigned long)after.gdi, (unsigned long)after.handles,
           parts);
    FormatCounts(&before, &after, text);
    printf("soak lumora2.cpl: %s, %.0f s\n", text, (GetTickCount() - start) / 1000.0);
    fflush(stdout);
    entry(g_host, CPL_STOP, 0, data[0]);
    entry(g_host, CPL_STOP, 1, data[1]);
    entry(g_host, CPL_EXIT, 0, 0);
    FreeLibrary(module);
    return CountsGrew(&before, &after) ? GREW : 0;
}

/* --- another process that listens for the alignment message ------------------------------ */

static UINT g_alignment_message;
static int g_received;

/* The stored "TwinControlFlag", or -1 when there is none. */
static long StoredFlag(void) {
    HKEY key;
    DWORD flag = 0, type = 0, size = sizeof(flag);
    LONG rc;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Orvelcom\\ZYNTRA", &key) != ERROR_SUCCESS)
        return -1;
    rc = RegQueryValueExA(key, "TwinControlFlag", NULL, &type, (BYTE*)&flag, &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_DWORD ? (long)flag : -1;
}

static LRESULT CALLBACK ListenProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == g_alignment_message && msg != 0) {
        ++g_received;
        Say(NULL, "received message=%u wparam=%lu lparam=%ld count=%d flag=%ld", msg,
            (unsigned long)wp, (long)lp, g_received, StoredFlag());
        return 0;
    }
    if (msg == WM_CLOSE) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

static int Listen(int seconds) {
    WNDCLASSA wc;
    HWND hwnd;
    MSG msg;
    UINT_PTR timer;
    memset(&wc, 0, sizeof(wc));
    wc.lpfnWndProc = ListenProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "CplHostListener";
    RegisterClassA(&wc);
    g_alignment_message = RegisterWindowMessageA("orvelAlignmentChange");
    hwnd = CreateWindowExA(0, wc.lpszClassName, "cplhost listener", WS_OVERLAPPED, 0, 0, 10, 10,
                           NULL, NULL, wc.hInstance, NULL);
    if (!hwnd || !g_alignment_message) {
        Say(NULL, "error listener");
        return 1;
    }
    timer = SetTimer(NULL, 0, (UINT)seconds * 1000u, NULL);
    Say(NULL, "ready hwnd=%lu message=%u", Handle(hwnd), g_alignment_message);
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == NULL) {
            DestroyWindow(hwnd);
            continue;
        }
        DispatchMessageA(&msg);
    }
    KillTimer(NULL, timer);
    Say(NULL, "end count=%d", g_received);
    return 0;
}

/* A program that has stopped answering: its window exists, its thread takes no message. */
static int Hang(int seconds) {
    HWND hwnd = CreateWindowExA(0, "STATIC", "cplhost hung", WS_OVERLAPPED, 0, 0, 10, 10, NULL,
                                NULL, GetModuleHandleA(NULL), NULL);
    if (!hwnd) {
        Say(NULL, "error hung");
        return 1;
    }
    Say(NULL, "ready hwnd=%lu", Handle(hwnd));
    Sleep((DWORD)seconds * 1000u);
    return 0;
}

int main(int argc, char** argv) {
    InitializeCriticalSection(&g_print);
    g_pid = GetCurrentProcessId();
    if (argc == 3 && strcmp(argv[1], "listen") == 0)
        return Listen(atoi(argv[2]));
    if (argc == 3 && strcmp(argv[1], "hang") == 0)
        return Hang(atoi(argv[2]));
    if (argc < 3) {
        fprintf(stderr,
                "usage: cplhost list CPL | open CPL INDEX STEP... | dialog CPL TEMPLATE ORD "
                "STEP... | listen SECONDS | hang SECONDS | soak CPL CYCLES\n");
        return 1;
    }
    g_quiet = strcmp(argv[1], "soak") == 0;
    g_host = MakeHost();
    Say(NULL, "host hwnd=%lu", Handle(g_host));
    if (strcmp(argv[1], "list") == 0 && argc == 3)
        return List(argv[2]);
    if (strcmp(argv[1], "open") == 0 && argc >= 4) {
        g_steps = argv + 4;
        g_step_count = argc - 4;
        return Run(argv[2], atoi(argv[3]), 0, 0);
    }
    if (strcmp(argv[1], "soak") == 0 && argc == 4 && atoi(argv[3]) > 0)
        return Soak(argv[2], atoi(argv[3]));
    if (strcmp(argv[1], "dialog") == 0 && argc >= 5 && atoi(argv[3]) > 0) {
        g_steps = argv + 5;
        g_step_count = argc - 5;
        return Run(argv[2], 0, atoi(argv[3]), atoi(argv[4]));
    }
    fprintf(stderr, "cplhost: unknown verb or missing arguments\n");
    return 1;
}
