/* Hook library that soak.exe loads into another process to count that process's objects there
 * (objcount.c says how; another process cannot see its GDI and USER handle tables under Wine).
 *
 * soak.exe hooks the window's thread (WH_GETMESSAGE) with this library for the whole soak and
 * posts the message "soakspy count" with wParam = soak.exe's process id, lParam = the window.
 * The request sits in the named shared block "soakspy request <pid>" (struct SoakRequest). The
 * counts are taken first, before the block is opened, so that the answer's own handles are not
 * in them; then they are written there and the event "soakspy done <pid>" is set. A request is
 * served once, even if the message arrives again.
 */
#include "soakspy.h"

static UINT g_countMessage;

static void Serve(DWORD requester, HWND hwnd) {
    char name[64];
    struct ObjectCounts counts;
    HANDLE block, done;
    struct SoakRequest* request;
    BOOL counted;
    counted = CountObjects(&counts);
    wsprintfA(name, SOAKSPY_REQUEST_NAME "%lu", (unsigned long)requester);
    block = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    if (!block)
        return;
    request = (struct SoakRequest*)MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, 0);
    if (request && request->size == sizeof(*request) && request->window == hwnd &&
        InterlockedCompareExchange(&request->status, SOAKSPY_BUSY, SOAKSPY_PENDING) ==
            SOAKSPY_PENDING) {
        request->counts = counts;
        InterlockedExchange(&request->status, counted ? SOAKSPY_DONE : SOAKSPY_FAILED);
        wsprintfA(name, SOAKSPY_DONE_NAME "%lu", (unsigned long)requester);
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
    if (code == HC_ACTION && removal == PM_REMOVE && msg && msg->message == g_countMessage &&
        g_countMessage != 0 && msg->hwnd && msg->hwnd == (HWND)msg->lParam) {
        Serve((DWORD)msg->wParam, msg->hwnd);
        msg->message = WM_NULL; /* the window itself need not see it */
    }
    return CallNextHookEx(NULL, code, removal, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        g_countMessage = RegisterWindowMessageA(SOAKSPY_MESSAGE);
    }
    return TRUE;
}
