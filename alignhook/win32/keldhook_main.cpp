// Keldhook.dll: the library's entry point, its two exports and the hook procedure that the
// system calls in every hooked process. Everything here forwards to the hook library's logic.
// The library is loaded into other programs: it has no C runtime, no static constructors and
// nothing that can throw.
#include <windows.h>

#include "alignhook/hook_library.h"
#include "platform/win32/win32_hook.h"

// The registry the hook reads its settings from (hook_registry.cpp).
RegistryReaderW& HookRegistry();

extern "C" LRESULT CALLBACK AlignmentHookCallback(int code, WPARAM wParam, LPARAM lParam);

static_assert(sizeof(CWPSTRUCT) == sizeof(HookMessageRecord) &&
                  offsetof(CWPSTRUCT, lParam) == offsetof(HookMessageRecord, lParam) &&
                  offsetof(CWPSTRUCT, wParam) == offsetof(HookMessageRecord, wParam) &&
                  offsetof(CWPSTRUCT, message) == offsetof(HookMessageRecord, message) &&
                  offsetof(CWPSTRUCT, hwnd) == offsetof(HookMessageRecord, window),
              "the hook's message record is CWPSTRUCT");
static_assert(sizeof(MINMAXINFO) == sizeof(MinMaxInfoRecord) &&
                  offsetof(MINMAXINFO, ptMaxSize) == offsetof(MinMaxInfoRecord, maxSize) &&
                  offsetof(MINMAXINFO, ptMaxPosition) == offsetof(MinMaxInfoRecord, maxPosition),
              "MINMAXINFO is five points");
static_assert(sizeof(WINDOWPOS) == sizeof(WindowPosRecord) &&
                  offsetof(WINDOWPOS, x) == offsetof(WindowPosRecord, x) &&
                  offsetof(WINDOWPOS, cy) == offsetof(WindowPosRecord, cy) &&
                  offsetof(WINDOWPOS, flags) == offsetof(WindowPosRecord, flags),
              "WINDOWPOS is two handles, four integers and the flags");

namespace {

// One copy per process that has the library loaded; both are constant-initialised.
HookLibrary g_library;
Win32Hook g_port(&AlignmentHookCallback);

}  // namespace

extern "C" LRESULT CALLBACK AlignmentHookCallback(int code, WPARAM wParam, LPARAM lParam) {
    return AlignmentHookProc(g_library, g_port, HookRegistry(), code, wParam,
                             reinterpret_cast<HookMessageRecord*>(lParam));
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            return AttachHookLibrary(g_port, HookRegistry(), reinterpret_cast<uintptr_t>(instance),
                                     &g_library)
                       ? TRUE
                       : FALSE;
        case DLL_PROCESS_DETACH:
            DetachHookLibrary(g_port, &g_library);
            return TRUE;
        default:
            return TRUE;
    }
}

extern "C" int StartHooking(void) {
    return ::StartHooking(g_port, &g_library);
}

extern "C" int StopHooking(void) {
    return ::StopHooking(g_port, &g_library);
}
