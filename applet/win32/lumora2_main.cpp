// lumora2.cpl's Win32 shell: the library's load and unload, CPlApplet and the dialog procedures
// around the applet's logic.
// clang-format off
#include <windows.h>
#include <cpl.h>
// clang-format on

#include <cstring>

#include "applet/applet_entry.h"
#include "applet/selection_dialog.h"
#include "applet/twin_control.h"
#include "platform/win32/win32_dialog.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"

#ifndef _WIN64
static_assert(sizeof(NEWCPLINFOA) == sizeof(NewCplInfo), "NEWCPLINFOA layout");
static_assert(offsetof(NEWCPLINFOA, hIcon) == offsetof(NewCplInfo, hIcon), "NEWCPLINFOA layout");
static_assert(offsetof(NEWCPLINFOA, szName) == offsetof(NewCplInfo, szName), "NEWCPLINFOA layout");
#endif

extern "C" {
LONG APIENTRY CPlApplet(HWND owner, UINT message, LPARAM lParam1, LPARAM lParam2);
INT_PTR CALLBACK SingleScreenDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DualScreenDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
}

namespace {

INT_PTR CALLBACK TwinControlDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RestartDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

DLGPROC ProcedureFor(uint32_t procedure) {
    switch (procedure) {
        case kSingleScreenProcedure:
            return SingleScreenDlgProc;
        case kDualScreenProcedure:
            return DualScreenDlgProc;
        case kRestartProcedure:
            return RestartDialog;
        default:
            return TwinControlDialog;
    }
}

Win32Registry g_registry;
Win32AppletSystem g_system;
Win32Profile g_profile;
Win32Dialog g_dialogs(nullptr, ProcedureFor);
AppletState g_state;
Applet g_applet{g_registry, g_system, g_profile, g_dialogs, g_state};

INT_PTR CALLBACK TwinControlDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return TwinControlDlgProc(g_applet, Handle(dialog), message, wParam);
}

INT_PTR CALLBACK RestartDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return RestartDlgProc(g_dialogs, Handle(dialog), message, wParam);
}

}  // namespace

extern "C" INT_PTR CALLBACK SingleScreenDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return MonitorSelectDlgProc(g_applet, Handle(dialog), message, wParam, false);
}

extern "C" INT_PTR CALLBACK DualScreenDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return MonitorSelectDlgProc(g_applet, Handle(dialog), message, wParam, true);
}

extern "C" LONG APIENTRY CPlApplet(HWND owner, UINT message, LPARAM lParam1, LPARAM lParam2) {
    NewCplInfo info = {};
    const bool describe = message == CPL_NEWINQUIRE && lParam2 != 0;
    const LONG result = AppletMessage(g_applet, Handle(owner), message,
                                      static_cast<uintptr_t>(lParam1), describe ? &info : nullptr);
    // A record that was filled carries its size.
    if (describe && info.dwSize == sizeof(info)) {
        NEWCPLINFOA* out = reinterpret_cast<NEWCPLINFOA*>(lParam2);
#ifdef _WIN64
        // The 64-bit record's data and icon are pointer-sized: copied field by field.
        out->dwSize = sizeof(*out);
        out->dwFlags = info.dwFlags;
        out->dwHelpContext = info.dwHelpContext;
        out->lData = info.lData;
        out->hIcon =
            reinterpret_cast<HICON>(static_cast<intptr_t>(static_cast<int32_t>(info.hIcon)));
        std::memcpy(out->szName, info.szName, sizeof(info.szName));
        std::memcpy(out->szInfo, info.szInfo, sizeof(info.szInfo));
        std::memcpy(out->szHelpFile, info.szHelpFile, sizeof(info.szHelpFile));
#else
        std::memcpy(out, &info, sizeof(info));
#endif
    }
    return result;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_dialogs = Win32Dialog(instance, ProcedureFor);
        AppletLoaded(g_applet);
    } else if (reason == DLL_PROCESS_DETACH) {
        AppletUnloaded(g_applet);
    }
    return TRUE;
}
