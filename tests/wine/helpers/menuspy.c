/* Hook library that menudump.exe loads into another process to read a window's menu there.
 *
 * Under Wine one process cannot read another's menus, so menudump hooks the window's thread
 * (WH_GETMESSAGE) with this library and posts it the message "menuspy dump" with
 *   wParam = menudump's process id, lParam = the window.
 * The request itself sits in the named shared block "menuspy request <pid>" (struct
 * MenuRequest below): the file to write, and a status that this library sets when done; the
 * named event "menuspy done <pid>" is then set. A request is served once, even if the message
 * arrives again.
 *
 * The file gets one line per menu item, two spaces of indentation per submenu level:
 *   TEXT #ID FLAGS      a command
 *   TEXT > #ID FLAGS    a submenu, its items follow one level deeper; #ID only when the item
 *                       carries an id of its own (MF_POPUP items created with AppendMenu or
 *                       InsertMenu report their submenu's handle as id: that is left out)
 *   ---                 a separator
 * FLAGS are, in this order and each only when it applies: checked, grayed (state bit
 * MF_GRAYED 0x1), disabled (MF_DISABLED 0x2 without MF_GRAYED), default, radio, break,
 * barbreak, ownerdraw, bitmap. TEXT is empty for owner-drawn and bitmap items; in it a
 * backslash, tab, carriage return and line feed are written \\ \t \r \n. Lines end with a
 * bare "\n"; a menu bar without items gives an empty file.
 */
#include "menuspy.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

static UINT g_dumpMessage;

static void WriteText(FILE* out, const char* text) {
    for (; *text; ++text) {
        switch (*text) {
            case '\\':
                fputs("\\\\", out);
                break;
            case '\t':
                fputs("\\t", out);
                break;
            case '\r':
                fputs("\\r", out);
                break;
            case '\n':
                fputs("\\n", out);
                break;
            default:
                fputc(*text, out);
        }
    }
}

static void WriteFlags(FILE* out, UINT type, UINT state, BOOL bitmap) {
    if (state & MF_CHECKED)
        fputs(" checked", out);
    if (state & MF_GRAYED)
        fputs(" grayed", out);
    else if (state & MF_DISABLED)
        fputs(" disabled", out);
    if (state & MFS_DEFAULT)
        fputs(" default", out);
    if (type & MFT_RADIOCHECK)
        fputs(" radio", out);
    if (type & MFT_MENUBREAK)
        fputs(" break", out);
    if (type & MFT_MENUBARBREAK)
        fputs(" barbreak", out);
    if (type & MFT_OWNERDRAW)
        fputs(" ownerdraw", out);
    if (bitmap)
        fputs(" bitmap", out);
}

/* Writes the items of `menu`, indented for `depth`. */
static void WriteMenu(FILE* out, HMENU menu, int depth) {
    int count = GetMenuItemCount(menu);
    int i, d;
    for (i = 0; i < count; ++i) {
        char text[1024];
        MENUITEMINFOA info;
        BOOL bitmap;
        memset(&info, 0, sizeof(info));
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_BITMAP;
        info.dwTypeData = text;
        info.cch = sizeof(text);
        text[0] = '\0';
        for (d = 0; d < depth; ++d)
            fputs("  ", out);
        if (!GetMenuItemInfoA(menu, (UINT)i, TRUE, &info)) {
            fprintf(out, "?? error %lu\n", (unsigned long)GetLastError());
            continue;
        }
        bitmap = (info.fType & MFT_BITMAP) || info.hbmpItem != NULL;
        if (info.fType & MFT_SEPARATOR) {
            /* No flags: separators come back grayed, which tells nothing. */
            fputs("---\n", out);
            continue;
        }
        if (!(info.fType & (MFT_OWNERDRAW | MFT_BITMAP)))
            WriteText(out, text);
        if (info.hSubMenu) {
            fputs(" >", out);
            if (info.wID != (UINT)(UINT_PTR)info.hSubMenu)
                fprintf(out, " #%u", info.wID);
        } else {
            fprintf(out, " #%u", info.wID);
        }
        WriteFlags(out, info.fType, info.fState, bitmap);
        fputc('\n', out);
        /* Menus are trees; the depth bound only guards against a corrupt one. */
        if (info.hSubMenu && depth < 32)
            WriteMenu(out, info.hSubMenu, depth + 1);
    }
}

static void Serve(DWORD requester, HWND hwnd) {
    char name[64];
    HANDLE block, done;
    struct MenuRequest* request;
    wsprintfA(name, MENUSPY_REQUEST_NAME "%lu", (unsigned long)requester);
    block = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    if (!block)
        return;
    request = (struct MenuRequest*)MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, 0);
    if (request && request->size == sizeof(*request) && request->window == hwnd &&
        InterlockedCompareExchange(&request->status, MENUSPY_BUSY, MENUSPY_PENDING) ==
            MENUSPY_PENDING) {
        HMENU menu = GetMenu(hwnd);
        LONG status = MENUSPY_NO_MENU;
        if (menu) {
            FILE* out = fopen(request->path, "wb");
            status = MENUSPY_NO_FILE;
            if (out) {
                WriteMenu(out, menu, 0);
                status = fclose(out) == 0 ? MENUSPY_DONE : MENUSPY_NO_FILE;
            }
        }
        InterlockedExchange(&request->status, status);
        wsprintfA(name, MENUSPY_DONE_NAME "%lu", (unsigned long)requester);
        done = OpenEventA(EVENT_MODIFY_STATE, FALSE, name);
        if (done) {
            SetEvent(done);
            CloseHandle(done);
        }
    }
    if (request)
        UnmapViewOfFile(request);
    CloseHandle(block);
}

__declspec(dllexport) LRESULT CALLBACK GetMsgProc(int code, WPARAM removal, LPARAM lParam) {
    MSG* msg = (MSG*)lParam;
    if (code == HC_ACTION && removal == PM_REMOVE && msg && msg->message == g_dumpMessage &&
        g_dumpMessage != 0 && msg->hwnd && msg->hwnd == (HWND)msg->lParam) {
        Serve((DWORD)msg->wParam, msg->hwnd);
        msg->message = WM_NULL; /* the window itself need not see it */
    }
    return CallNextHookEx(NULL, code, removal, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        g_dumpMessage = RegisterWindowMessageA(MENUSPY_MESSAGE);
    }
    return TRUE;
}
