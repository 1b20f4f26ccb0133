/* Counts of the calling process's objects; objcount.h says how and why this way. */
#include "objcount.h"

#include <stdio.h>
#include <string.h>

/* Wine's USER handles: slot i is (i << 1) + 0x20, up to 0xffef. */
#define FIRST_USER_SLOT 0x0020
#define LAST_USER_SLOT 0xffef
#define GDI_SLOTS 0x10000

#define SYSTEM_HANDLE_INFORMATION_CLASS 16
#define STATUS_INFO_LENGTH_MISMATCH_ ((LONG)0xC0000004)

typedef struct {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
} SystemHandleEntry;

typedef struct {
    ULONG count;
    SystemHandleEntry handles[1];
} SystemHandleList;

typedef LONG(WINAPI* QuerySystemInformation)(ULONG, PVOID, ULONG, PULONG);
typedef HCURSOR(WINAPI* CursorFrameInfo)(HCURSOR, DWORD, DWORD, DWORD*, DWORD*);

static DWORD g_pid;
static DWORD g_windows;

static BOOL CALLBACK CountChild(HWND hwnd, LPARAM unused) {
    (void)hwnd;
    (void)unused;
    ++g_windows;
    return TRUE;
}

static void CountTree(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != g_pid)
        return;
    ++g_windows;
    EnumChildWindows(hwnd, CountChild, 0); /* every descendant */
}

static BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM unused) {
    (void)unused;
    CountTree(hwnd);
    return TRUE;
}

static DWORD CountWindows(void) {
    HWND messageOnly = NULL;
    g_pid = GetCurrentProcessId();
    g_windows = 0;
    EnumWindows(CountTopLevel, 0);
    while ((messageOnly = FindWindowExA(HWND_MESSAGE, messageOnly, NULL, NULL)) != NULL)
        CountTree(messageOnly);
    return g_windows;
}

/* The process's entries in the system's handle list; (DWORD)-1 when it cannot be read. */
static DWORD CountHandles(void) {
    QuerySystemInformation query = (QuerySystemInformation)(void*)GetProcAddress(
        GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    HANDLE heap = GetProcessHeap();
    ULONG size = 64 * 1024, needed = 0, i;
    DWORD pid = GetCurrentProcessId(), count = (DWORD)-1;
    SystemHandleList* list;
    LONG status;
    if (!query)
        return count;
    for (;;) {
        list = (SystemHandleList*)HeapAlloc(heap, 0, size);
        if (!list)
            return count;
        status = query(SYSTEM_HANDLE_INFORMATION_CLASS, list, size, &needed);
        if (status != STATUS_INFO_LENGTH_MISMATCH_ || size >= 64 * 1024 * 1024)
            break;
        HeapFree(heap, 0, list);
        size = needed > size ? needed + 4096 : size * 2;
    }
    if (status == 0) {
        count = 0;
        for (i = 0; i < list->count; ++i)
            count += list->handles[i].ownerPid == pid;
    }
    HeapFree(heap, 0, list);
    return count;
}

/* See objcount.h: every cache DC free and bound to the screen, with one region each. */
static void ParkDcCache(void) {
    HDC dcs[PARKED_DCS];
    int i;
    for (i = 0; i < PARKED_DCS; ++i)
        dcs[i] = GetDC(NULL);
    for (i = 0; i < PARKED_DCS; ++i) {
        if (dcs[i])
            ReleaseDC(NULL, dcs[i]);
    }
}

BOOL CountObjects(struct ObjectCounts* counts) {
    CursorFrameInfo frameInfo = (CursorFrameInfo)(void*)GetProcAddress(
        GetModuleHandleA("user32.dll"), "GetCursorFrameInfo");
    ULONG_PTR slot;
    memset(counts, 0, sizeof(*counts));
    ParkDcCache();
    for (slot = 1; slot < GDI_SLOTS; ++slot) {
        const DWORD type = GetObjectType((HGDIOBJ)slot);
        if (type) {
            ++counts->gdi;
            ++counts->gdiOfType[type & 15];
        }
    }
    for (slot = FIRST_USER_SLOT; slot <= LAST_USER_SLOT; slot += 2) {
        DWORD rate, steps;
        counts->menus += IsMenu((HMENU)slot) != 0;
        if (frameInfo)
            counts->icons += frameInfo((HCURSOR)slot, 0, 0, &rate, &steps) != NULL;
    }
    counts->windows = CountWindows();
    counts->user = counts->windows + counts->menus + counts->icons;
    counts->handles = CountHandles();
    return frameInfo != NULL && counts->handles != (DWORD)-1;
}

void FormatCounts(const struct ObjectCounts* before, const struct ObjectCounts* after, char* text) {
    sprintf(text, "USER %lu -> %lu, GDI %lu -> %lu, handles %lu -> %lu",
            (unsigned long)before->user, (unsigned long)after->user, (unsigned long)before->gdi,
            (unsigned long)after->gdi, (unsigned long)before->handles,
            (unsigned long)after->handles);
}

void FormatParts(const struct ObjectCounts* counts, char* text) {
    static const char* const kinds[16] = {
        NULL,      "pens",    "brushes",       "DCs",       "metafile DCs", "palettes",
        "fonts",   "bitmaps", "regions",       "metafiles", "memory DCs",   "extended pens",
        "EMF DCs", "EMFs",    "colour spaces", "others"};
    int type;
    text += sprintf(text, "windows %lu, menus %lu, icons and cursors %lu",
                    (unsigned long)counts->windows, (unsigned long)counts->menus,
                    (unsigned long)counts->icons);
    for (type = 1; type < 16; ++type) {
        if (counts->gdiOfType[type])
            text += sprintf(text, ", %s %lu", kinds[type], (unsigned long)counts->gdiOfType[type]);
    }
}

BOOL CountsGrew(const struct ObjectCounts* before, const struct ObjectCounts* after) {
    return after->user > before->user || after->gdi > before->gdi ||
           after->handles > before->handles;
}
