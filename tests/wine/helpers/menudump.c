/* Prints the menu of another process's window, for the end-to-end tests.
 *
 *   menudump TITLE OUTFILE [MS]
 *
 * Waits up to MS milliseconds (default 5000) for a top-level window titled exactly TITLE,
 * shown or not, then has menuspy.dll (next to this program) write that window's menu bar to
 * OUTFILE from inside the window's own process, and prints the file. menuspy.c describes the
 * lines. Exit code 0 when the menu was written, 1 otherwise (the reason goes to stderr).
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "menuspy.h"

/* How long the window's thread gets to answer, and how often the message is posted again. */
#define ANSWER_MS 5000
#define REPOST_MS 500

static const char* g_title;
static HWND g_found;
static int g_count;

static BOOL CALLBACK MatchTitle(HWND hwnd, LPARAM unused) {
    char text[256];
    (void)unused;
    GetWindowTextA(hwnd, text, sizeof(text));
    if (strcmp(text, g_title) == 0) {
        if (!g_found)
            g_found = hwnd;
        ++g_count;
    }
    return TRUE;
}

static HWND FindByTitle(const char* title, DWORD waitMs) {
    DWORD start = GetTickCount();
    g_title = title;
    for (;;) {
        g_found = NULL;
        g_count = 0;
        EnumWindows(MatchTitle, 0);
        if (g_found || GetTickCount() - start >= waitMs)
            break;
        Sleep(50);
    }
    if (g_count > 1)
        fprintf(stderr, "menudump: %d windows titled \"%s\", reading the first\n", g_count, title);
    return g_found;
}

static int Fail(const char* what) {
    fprintf(stderr, "menudump: %s\n", what);
    return 1;
}

static int PrintFile(const char* path) {
    char buffer[4096];
    size_t n;
    FILE* in = fopen(path, "rb");
    if (!in)
        return Fail("the dump file cannot be read");
    while ((n = fread(buffer, 1, sizeof(buffer), in)) > 0)
        fwrite(buffer, 1, n, stdout);
    fclose(in);
    fflush(stdout);
    return 0;
}

/* Hooks the window's thread, asks for the dump and waits for it. Returns the final status. */
static LONG Request(HWND hwnd, struct MenuRequest* request, HANDLE done) {
    char dll[MAX_PATH];
    char* slash;
    HMODULE spy;
    HOOKPROC proc;
    HHOOK hook;
    UINT message = RegisterWindowMessageA(MENUSPY_MESSAGE);
    DWORD thread = GetWindowThreadProcessId(hwnd, NULL);
    DWORD start;
    LONG status;

    GetModuleFileNameA(NULL, dll, sizeof(dll) - 16);
    slash = strrchr(dll, '\\');
    strcpy(slash ? slash + 1 : dll, "menuspy.dll");
    spy = LoadLibraryA(dll);
    if (!spy) {
        fprintf(stderr, "menudump: cannot load %s (error %lu)\n", dll,
                (unsigned long)GetLastError());
        return -1;
    }
    proc = (HOOKPROC)(void*)GetProcAddress(spy, "GetMsgProc");
    hook = proc && message && thread ? SetWindowsHookExA(WH_GETMESSAGE, proc, spy, thread) : NULL;
    if (!hook) {
        fprintf(stderr, "menudump: cannot hook the window's thread (error %lu)\n",
                (unsigned long)GetLastError());
        FreeLibrary(spy);
        return -1;
    }
    /* The message is posted again now and then, in case one is lost; menuspy serves the
     * request only once. */
    start = GetTickCount();
    do {
        if (!PostMessageA(hwnd, message, (WPARAM)GetCurrentProcessId(), (LPARAM)hwnd))
            break;
    } while (WaitForSingleObject(done, REPOST_MS) == WAIT_TIMEOUT &&
             GetTickCount() - start < ANSWER_MS);
    status = request->status;
    if (status == MENUSPY_BUSY) {
        /* Started but not finished: wait a little longer before letting go of the hook. */
        WaitForSingleObject(done, ANSWER_MS);
        status = request->status;
    }
    UnhookWindowsHookEx(hook);
    FreeLibrary(spy);
    return status;
}

int main(int argc, char** argv) {
    char name[64];
    HWND hwnd;
    HANDLE block, done;
    struct MenuRequest* request;
    DWORD waitMs = 5000, length;
    LONG status;

    if (argc < 3 || argc > 4) {
        fprintf(stderr, "usage: menudump TITLE OUTFILE [MS]\n");
        return 1;
    }
    if (argc == 4)
        waitMs = (DWORD)strtoul(argv[3], NULL, 10);

    wsprintfA(name, MENUSPY_REQUEST_NAME "%lu", (unsigned long)GetCurrentProcessId());
    block = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                               sizeof(struct MenuRequest), name);
    request = block ? (struct MenuRequest*)MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, 0) : NULL;
    wsprintfA(name, MENUSPY_DONE_NAME "%lu", (unsigned long)GetCurrentProcessId());
    done = CreateEventA(NULL, TRUE, FALSE, name);
    if (!request || !done)
        return Fail("cannot create the request block");
    memset(request, 0, sizeof(*request));
    request->size = sizeof(*request);
    request->status = MENUSPY_PENDING;
    /* The other process has its own current folder: give it a full path. */
    length = GetFullPathNameA(argv[2], sizeof(request->path), request->path, NULL);
    if (length == 0 || length >= sizeof(request->path))
        return Fail("bad output path");
    DeleteFileA(request->path);

    hwnd = FindByTitle(argv[1], waitMs);
    if (!hwnd) {
        fprintf(stderr, "menudump: no window titled \"%s\"\n", argv[1]);
        return 1;
    }
    request->window = hwnd;

    status = Request(hwnd, request, done);
    switch (status) {
        case -1:
            return 1;
        case MENUSPY_DONE:
            return PrintFile(request->path);
        case MENUSPY_NO_MENU:
            return Fail("the window has no menu bar");
        case MENUSPY_NO_FILE:
            return Fail("the window's process could not write the dump file");
        default:
            return Fail("no answer from the window's thread");
    }
}
